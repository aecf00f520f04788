#include "tools/script_docs/script_reference.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "host/zerafin/scripts/schema_check.h"
#include "protocol/four_cc.h"
#include "resources/terminology_table.h"
#include "scripting/script_keys.h"
#include "settings/parameter_table.h"
#include "settings/settings.h"

using nlohmann::ordered_json;

namespace {
std::string keyText(uint32_t key) {
    return std::string{char(key >> 24), char(key >> 16), char(key >> 8), char(key)};
}

// The parameter table's row of a key, of the filter or of a light.
const ParameterEntry& entryOf(uint32_t key, bool perLight) {
    for (const ParameterEntry& entry : parameterTable())
        if (entry.scriptKey == key && entry.perLight() == perLight)
            return entry;
    throw std::logic_error("the key '" + keyText(key) + "' has no row in the parameter table");
}

ordered_json colourSchema() {
    ordered_json component = {{"type", "number"}, {"minimum", 0}, {"maximum", 255}};
    ordered_json properties = ordered_json::object();
    for (uint32_t key : {scriptKey::red, scriptKey::green, scriptKey::blue})
        properties[keyText(key)] = component;
    return {{"type", "object"},
            {"properties", properties},
            {"required",
             {keyText(scriptKey::red), keyText(scriptKey::green), keyText(scriptKey::blue)}},
            {"additionalProperties", false}};
}

ordered_json channelSchema() {
    return {{"type", "object"},
            {"properties",
             {{"enum",
               {{"enum",
                 {keyText(scriptKey::red), keyText(scriptKey::green), keyText(scriptKey::blue)}}}},
              {"index", {{"type", "integer"}, {"minimum", 1}}},
              {"name", {{"type", "string"}}}}},
            {"minProperties", 1},
            {"maxProperties", 1},
            {"additionalProperties", false}};
}

ordered_json pointSchema() {
    return {{"type", "array"}, {"items", {{"type", "number"}}}, {"minItems", 2}, {"maxItems", 2}};
}

int32_t lowestPercent(const ParameterEntry& entry) {
    return entry.percentFromStored(entry.storedFromSlider(entry.sliderMinimum));
}
int32_t highestPercent(const ParameterEntry& entry) {
    return entry.percentFromStored(entry.storedFromSlider(entry.sliderMaximum));
}

ordered_json lightSchema(const Terminology& terminology);

ordered_json itemSchema(const TerminologyItem& item, const Terminology& terminology,
                        bool perLight) {
    const ParameterEntry& entry = entryOf(item.key, perLight);
    ordered_json schema;
    if (item.type == descriptorType::integer || item.type == descriptorType::real) {
        schema["type"] = item.type == descriptorType::integer ? "integer" : "number";
        if (entry.isSlider()) {
            schema["minimum"] = lowestPercent(entry);
            schema["maximum"] = highestPercent(entry);
        } else {
            const auto bound = [&](double value) {
                return item.type == descriptorType::integer ? ordered_json(int64_t(value))
                                                            : ordered_json(value);
            };
            if (entry.minimum)
                schema["minimum"] = bound(*entry.minimum);
            if (entry.maximum)
                schema["maximum"] = bound(*entry.maximum);
        }
    } else if (item.type == descriptorType::boolean) {
        schema["type"] = "boolean";
    } else if (item.type == descriptorClass::rgbColor) {
        schema = colourSchema();
    } else if (item.type == descriptorType::channelReference) {
        schema = channelSchema();
    } else if (item.type == descriptorClass::point) {
        schema = pointSchema();
    } else if (item.type == filterType::lightType) {
        schema["type"] = "string";
        for (const TerminologyEnumerator& enumerator : terminology.enumerators)
            schema["enum"].push_back(keyText(enumerator.code));
    } else if (item.type == filterType::light) {
        schema = {{"type", "array"}, {"maxItems", kMaxLights}, {"items", lightSchema(terminology)}};
    } else {
        throw std::logic_error("the key '" + keyText(item.key) +
                               "' has a type the generator does not know");
    }
    ordered_json described = {{"description", entry.meaning}};
    described.update(schema);
    return described;
}

ordered_json objectSchema(const std::vector<TerminologyItem>& items, const Terminology& terminology,
                          bool perLight) {
    ordered_json properties = ordered_json::object();
    for (const TerminologyItem& item : items)
        properties[keyText(item.key)] = itemSchema(item, terminology, perLight);
    return {{"type", "object"}, {"properties", properties}, {"additionalProperties", false}};
}

ordered_json lightSchema(const Terminology& terminology) {
    return objectSchema(terminology.classProperties, terminology, true);
}

// --- The reference's text.

std::string colourText(const uint16_t channels[3]) {
    std::ostringstream text;
    text << "{" << channels[0] / 257 << ", " << channels[1] / 257 << ", " << channels[2] / 257
         << "}";
    return text.str();
}

std::string lightTypeCode(uint32_t type) {
    return keyText(lightTypeEntry(type).scriptCode);
}

// A new light's geometry is kept in the preview's pixels; a script gives it in
// percent of the frame the preview measures.
std::string pixelsText(Point16 pixels) {
    return "(" + std::to_string(pixels.x) + ", " + std::to_string(pixels.y) + ") preview pixels";
}

// The value a fresh plug-in holds, where the settings or a new light give one.
std::string defaultOf(const TerminologyItem& item, bool perLight) {
    static const Settings settings;
    static const LightSource light;
    const ParameterEntry& entry = entryOf(item.key, perLight);
    if (entry.isSlider())
        return std::to_string(entry.percentFromStored(entry.defaultValue));
    switch (item.key) {
    case scriptKey::ambientColor:
        return colourText(settings.ambientColor);
    case scriptKey::whiteIsHigh:
        return settings.whiteIsHigh ? "true" : "false";
    case scriptKey::color:
        return colourText(light.color);
    case scriptKey::enabled:
        return light.enabled ? "true" : "false";
    case scriptKey::lightType:
        return "\"" + lightTypeCode(light.type) + "\"";
    case scriptKey::vector0:
        return pixelsText(light.vector0);
    case scriptKey::vector1:
        return pixelsText(light.vector1);
    case scriptKey::radius:
        return std::to_string(light.radius) + " preview pixels";
    }
    return entry.defaultText ? entry.defaultText : "—";
}

std::string typeText(const ordered_json& schema) {
    const std::string type = schema.value("type", "");
    if (schema.contains("enum") && type == "string") {
        std::string text = "one of";
        for (const auto& value : schema["enum"])
            text += " `" + value.get<std::string>() + "`";
        return text;
    }
    if (type == "array" && schema.contains("minItems"))
        return "[number, number]";
    if (type == "array")
        return "array of lights";
    if (type == "object" && schema["properties"].contains("index"))
        return "channel";
    if (type == "object")
        return "colour {\"Rd  \", \"Grn \", \"Bl  \"}";
    return type;
}

std::string rangeText(const ordered_json& schema) {
    if (schema.value("type", "") == "array" && !schema.contains("minItems"))
        return "at most " + schema["maxItems"].dump() + " used";
    const bool low = schema.contains("minimum"), high = schema.contains("maximum");
    if (low && high)
        return schema["minimum"].dump() + " to " + schema["maximum"].dump();
    if (low)
        return "≥ " + schema["minimum"].dump();
    return high ? "≤ " + schema["maximum"].dump() : "";
}

// A key in backticks, with its trailing blanks shown.
std::string shownKey(uint32_t key) {
    return "`\"" + keyText(key) + "\"`";
}

void writeTable(std::ostringstream& out, const std::vector<TerminologyItem>& items,
                const ordered_json& properties, bool perLight) {
    out << "| key | name | type | range | unit | default | meaning |\n"
           "|---|---|---|---|---|---|---|\n";
    for (const TerminologyItem& item : items) {
        const ordered_json& schema = properties[keyText(item.key)];
        const ParameterEntry& entry = entryOf(item.key, perLight);
        out << "| " << shownKey(item.key) << " | " << item.name << " | " << typeText(schema)
            << " | " << rangeText(schema) << " | " << entry.unit << " | "
            << defaultOf(item, perLight) << " | " << entry.meaning << " |\n";
    }
}

struct Example {
    const char* title;
    const char* text;
};

const Example kExamples[] = {
    {"Daylight from straight above that leaves a photograph as bright as it was",
     R"({
  "LghS": [
    {"LghT": "LghD", "Clr ": {"Rd  ": 255, "Grn ": 255, "Bl  ": 255}, "Intn": 24, "Vct0": [50, 50]}
  ],
  "AmbB": -1,
  "Exps": 0,
  "Glos": -100
})"},
    {"One warm spot with a little sheen in a dim room: the photograph's own brightness at the "
     "spot's centre, a quarter of it outside",
     R"({
  "LghS": [
    {
      "Clr ": {"Rd  ": 255, "Grn ": 225, "Bl  ": 190},
      "Intn": 17,
      "Fcs ": 60,
      "LghT": "LghS",
      "Pstn": [40, 40],
      "Vct0": [70, 70],
      "Vct1": [35, 65]
    }
  ],
  "AmbB": 11,
  "Glos": -80,
  "Mtrl": 40
})"},
    {"Half-high daylight from the upper left over a low relief of a channel named \"Relief\"",
     R"({
  "LghS": [
    {"LghT": "LghD", "Intn": 17, "Vct0": [30, 35]}
  ],
  "AmbB": 24,
  "Glos": -100,
  "BmpC": {"name": "Relief"},
  "WhHi": true,
  "BmpA": 12
})"},
};

// What a setting's stored value shows as in a script.
int32_t percentOf(Parameter which, int16_t stored) {
    return parameter(which).percentFromStored(stored);
}

// Which settings leave a photograph as bright as it was. A light's strength is
// its colour x intensity / 32 and the ambient light's the ambient colour x
// ambience / 64 (stored values); exposure 128 keeps their sum, and a sum of one
// full colour gives each pixel back its own colour.
void writeBrightness(std::ostringstream& out) {
    constexpr int16_t kNeutralIntensity = 32, kNoAmbience = 0, kNeutralExposure = 128, kMatt = 0;
    const int16_t defaultAmbience = parameter(Parameter::Ambience).defaultValue;
    const int16_t intensityBesideAmbience = int16_t(kNeutralIntensity - defaultAmbience / 2);
    const int16_t defaultGloss = parameter(Parameter::Gloss).defaultValue;
    out << "\n## Brightness\n\n"
           "The lights and the ambience add up, and the exposure multiplies their sum; when "
           "they add up to one full light the photograph keeps its brightness:\n\n"
           "- one white light from straight above (`\"LghT\": \"LghD\"`, `\"Vct0\": [50, 50]`) "
           "of `\"Intn\": "
        << percentOf(Parameter::Intensity, kNeutralIntensity)
        << "`, with `\"AmbB\": " << percentOf(Parameter::Ambience, kNoAmbience)
        << "` (no ambient light) and `\"Exps\": "
        << percentOf(Parameter::Exposure, kNeutralExposure)
        << "`, leaves a photograph as bright as it was;\n"
           "- with the default ambience (`\"AmbB\": "
        << percentOf(Parameter::Ambience, defaultAmbience)
        << "`, a quarter of a full light) the light needs `\"Intn\": "
        << percentOf(Parameter::Intensity, intensityBesideAmbience)
        << "`;\n"
           "- roughly, a light gives `Intn` / 25 of the photograph's brightness where it falls "
           "straight on it and less as it slants (a grazing light almost nothing), the ambience "
           "`AmbB` / 50 everywhere, and the exposure multiplies both by (100 + `Exps`) / 100;\n"
           "- gloss adds a highlight on top, which a light from above spreads over the whole "
           "picture: `\"Glos\": "
        << percentOf(Parameter::Gloss, kMatt) << "` (matt) adds none, the default `"
        << percentOf(Parameter::Gloss, defaultGloss) << "` about " << defaultGloss
        << " of 255 levels for a neutral light: keep it low on photographs.\n\n"
           "A light given by its type alone has a new light's `\"Intn\": "
        << percentOf(Parameter::Intensity, LightSource().intensity)
        << "`, about twice the neutral strength.\n";
}
} // namespace

ordered_json scriptSchema() {
    const Terminology terminology = orvaneTerminology();
    ordered_json schema = {
        {"$schema", "https://json-schema.org/draft/2020-12/schema"},
        {"title", "Orvane lighting script"},
        {"description",
         "A script for zerafin filter --script: the lights, material and relief, "
         "under the keys of the module's terminology. Generated by tools/script_docs."}};
    schema.update(objectSchema(terminology.parameters, terminology, false));
    return schema;
}

std::string scriptReference() {
    const Terminology terminology = orvaneTerminology();
    const ordered_json schema = scriptSchema();
    const ordered_json& light = schema["properties"][keyText(scriptKey::lights)]["items"];
    std::ostringstream out;
    out << "# Writing scripts by hand\n\n"
           "<!-- Generated by tools/script_docs from the module's terminology and the settings "
           "table; the tests check that it is up to date. -->\n\n"
           "A script is what `zerafin filter IN OUT --script FILE.json` applies and what "
           "`--record FILE.json` writes: one JSON object whose keys are the plug-in's keys, "
           "each exactly four characters, trailing blanks included (`\"Clr \"`, `\"On  \"`). "
           "Every key may be left out: the plug-in then keeps the value it holds, except the "
           "texture: a script without `\"BmpC\"` lights without relief. zerafin starts a fresh "
           "plug-in for every run, so a left-out key takes the default below; `--params` keeps "
           "only the rendered form of a run's settings, which a later run without `--script` or "
           "`--style` repeats, and a script's left-out keys never come from it. "
           "A light the plug-in did not hold yet starts as the dialog's new light (the white "
           "spot of the light well, at the frame's centre), so its defaults below are a new "
           "light's; a light it already held keeps what the script leaves out. Geometry "
           "defaults are in the preview's pixels: the dialog's frame is about 250 pixels wide. "
           "Percentages are the dialog's "
           "sliders. Geometry is in percent of the light frame, the square the dialog shows "
           "the image in: [50, 50] is its centre.\n\n"
           "[`script.schema.json`](script.schema.json) is the same as a JSON Schema; every "
           "shipped style and every recording validates against it. zerafin checks a script "
           "against it before anything runs (`zerafin check SCRIPT.json` checks without "
           "lighting) and refuses one that departs from it, naming each mistake where it lies "
           "and, for an unknown key, the nearest known one; it also refuses a relief channel "
           "(`\"BmpC\"`) that the document does not have, listing the channels it has. With "
           "`--no-check` the plug-in reads the script as it is: it skips unknown keys, brings "
           "numbers beyond a slider's range into it, takes an unknown light type for a spot, "
           "keeps the first "
        << kMaxLights
        << " lights, and lights without relief when the channel is missing."
           "\n\n"
           "## The settings\n\n";
    writeTable(out, terminology.parameters, schema["properties"], false);
    out << "\n## A light (an item of `\"LghS\"`)\n\n";
    writeTable(out, terminology.classProperties, light["properties"], true);
    out << "\nA colour is an object of its red, green and blue components (`\"Rd  \"`, `\"Grn \"`, "
           "`\"Bl  \"`), each a number from 0 to 255. The plug-in keeps each as a 16-bit channel, "
           "the component × 257 without its fraction: whole numbers are the 256 colours of 8 bits, "
           "and a fraction reaches the channels in between (a recording writes 127.504 for the "
           "channel 32768). A point is [horizontal, vertical].\n";
    writeBrightness(out);
    out << "\n## Examples\n";
    for (const Example& example : kExamples) {
        const std::vector<std::string> faults =
            schemaFaults(schema, nlohmann::json::parse(example.text));
        if (!faults.empty())
            throw std::logic_error(std::string("the example '") + example.title +
                                   "' does not conform: " + faults[0]);
        out << "\n" << example.title << ":\n\n```json\n" << example.text << "\n```\n";
    }
    return out.str();
}
