#include "host/zerafin/scripts/script_file.h"

#include <limits>
#include <nlohmann/json.hpp>

#include "host/plugin_dll/point_descriptor.h"
#include "protocol/four_cc.h"

namespace {
using Json = nlohmann::ordered_json; // keeps the keys in the file's order

constexpr uint16_t kListOfItems = 0x4000;
constexpr uint16_t kEnumerated = 0x2000;
constexpr int kDeepestNesting = 32;
constexpr size_t kLongestChannelName = 255;

constexpr uint32_t kInteger = descriptorType::integer;
constexpr uint32_t kFloat = descriptorType::real;
constexpr uint32_t kBoolean = descriptorType::boolean;
constexpr uint32_t kColour = descriptorClass::rgbColor;
constexpr uint32_t kChannelReference = descriptorType::channelReference;
constexpr uint32_t kChannel = channelForm::channelClass;
constexpr uint32_t kByEnumerated = channelForm::byEnumerated;
constexpr uint32_t kByIndex = channelForm::byIndex;
constexpr uint32_t kByName = channelForm::byName;

// The keys of a colour, which the terminology does not list.
const std::vector<TerminologyItem> kColourComponents = {
    {"rouge", fourCC("Rd  "), kFloat, 0},
    {"vert", fourCC("Grn "), kFloat, 0},
    {"bleu", fourCC("Bl  "), kFloat, 0},
};

std::optional<uint32_t> codeOf(const std::string& text) {
    if (text.size() != 4)
        return std::nullopt;
    uint32_t code = 0;
    for (char c : text)
        code = code << 8 | uint8_t(c);
    return code;
}

std::string textOf(uint32_t code) {
    return {char(code >> 24), char(code >> 16), char(code >> 8), char(code)};
}

std::string keyPath(const std::string& parent, const std::string& key) {
    return parent + (parent.empty() ? "" : ".") + '"' + key + '"';
}

std::string indexPath(const std::string& parent, size_t index) {
    return parent + "[" + std::to_string(index) + "]";
}

const TerminologyItem* findItem(const std::vector<TerminologyItem>& items, uint32_t key) {
    for (const TerminologyItem& item : items)
        if (item.key == key)
            return &item;
    return nullptr;
}

std::optional<int32_t> int32Of(const Json& json) {
    if (!json.is_number_integer())
        return std::nullopt;
    if (json.is_number_unsigned())
        return json.get<uint64_t>() <= uint64_t(std::numeric_limits<int32_t>::max())
                   ? std::optional<int32_t>(int32_t(json.get<uint64_t>()))
                   : std::nullopt;
    const int64_t value = json.get<int64_t>();
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return int32_t(value);
}

std::optional<uint32_t> codeStringOf(const Json& json) {
    return json.is_string() ? codeOf(json.get<std::string>()) : std::nullopt;
}

// Turns the JSON of a script into a descriptor, stopping at the first value
// that does not fit its key.
class ScriptReader {
  public:
    ScriptReader(const Terminology& terminology, std::string& error)
        : terminology(terminology), error(error) {}

    std::optional<Descriptor> descriptor(const Json& json,
                                         const std::vector<TerminologyItem>* properties,
                                         const std::string& path, int depth);

  private:
    std::optional<DescriptorValue> value(const Json& json, uint32_t type, uint16_t flags,
                                         const std::string& path, int depth);
    std::optional<DescriptorValue> typedValue(const Json& json, uint32_t type,
                                              const std::string& path, int depth);
    std::optional<DescriptorValue> inferred(const Json& json, const std::string& path, int depth);
    std::optional<DescriptorValue> point(const Json& json, const std::string& path);
    std::optional<DescriptorValue> channelReference(const Json& json, const std::string& path);
    std::optional<DescriptorValue> object(uint32_t objectClass, const Json& json,
                                          const std::vector<TerminologyItem>* properties,
                                          const std::string& path, int depth);

    std::nullopt_t fail(const std::string& path, const std::string& wanted, const Json& found) {
        error =
            (path.empty() ? "the script" : path) + " wants " + wanted + ", not " + describe(found);
        return std::nullopt;
    }
    bool tooDeep(const std::string& path, int depth) {
        if (depth <= kDeepestNesting)
            return false;
        error = path + " is nested too deeply";
        return true;
    }
    static std::string describe(const Json& json) {
        const std::string shown = json.dump(-1, ' ', false, Json::error_handler_t::replace);
        return shown.size() <= 40 ? shown : std::string(json.type_name());
    }

    const Terminology& terminology;
    std::string& error;
};

std::optional<Descriptor> ScriptReader::descriptor(const Json& json,
                                                   const std::vector<TerminologyItem>* properties,
                                                   const std::string& path, int depth) {
    if (!json.is_object())
        return fail(path, "a JSON object of four-character keys", json);
    if (tooDeep(path, depth))
        return std::nullopt;
    Descriptor made;
    for (const auto& [name, member] : json.items()) {
        const std::string memberPath = keyPath(path, name);
        const std::optional<uint32_t> key = codeOf(name);
        if (!key) {
            error = memberPath + " is not a four-character key (blanks count: \"Clr \", \"On  \")";
            return std::nullopt;
        }
        const TerminologyItem* item = properties ? findItem(*properties, *key) : nullptr;
        std::optional<DescriptorValue> converted =
            item ? value(member, item->type, item->flags, memberPath, depth)
                 : inferred(member, memberPath, depth);
        if (!converted)
            return std::nullopt;
        made.items.push_back({*key, std::move(*converted)});
    }
    return made;
}

std::optional<DescriptorValue> ScriptReader::value(const Json& json, uint32_t type, uint16_t flags,
                                                   const std::string& path, int depth) {
    if (tooDeep(path, depth))
        return std::nullopt;
    if ((flags & kListOfItems) == 0)
        return (flags & kEnumerated) != 0
                   ? typedValue(json, terminology.enumerationCode, path, depth)
                   : typedValue(json, type, path, depth);
    if (!json.is_array())
        return fail(path, "an array", json);
    std::vector<DescriptorValue> items;
    for (size_t i = 0; i < json.size(); ++i) {
        std::optional<DescriptorValue> item =
            value(json[i], type, uint16_t(flags & ~kListOfItems), indexPath(path, i), depth + 1);
        if (!item)
            return std::nullopt;
        items.push_back(std::move(*item));
    }
    return DescriptorValue::makeList(std::move(items));
}

std::optional<DescriptorValue> ScriptReader::typedValue(const Json& json, uint32_t type,
                                                        const std::string& path, int depth) {
    if (type == kInteger) {
        const std::optional<int32_t> integer = int32Of(json);
        if (!integer)
            return fail(path, "a whole number (32 bits)", json);
        return DescriptorValue::makeInteger(*integer);
    }
    if (type == kFloat) {
        if (!json.is_number())
            return fail(path, "a number", json);
        return DescriptorValue::makeFloat(json.get<double>());
    }
    if (type == kBoolean) {
        if (!json.is_boolean())
            return fail(path, "true or false", json);
        return DescriptorValue::makeBoolean(json.get<bool>());
    }
    if (type == terminology.enumerationCode) {
        const std::optional<uint32_t> code = codeStringOf(json);
        if (!code)
            return fail(path, "a four-character value such as \"LghS\"", json);
        return DescriptorValue::makeEnumerated(type, *code);
    }
    if (type == kColour)
        return object(kColour, json, &kColourComponents, path, depth);
    if (type == pointDescriptor::objectClass)
        return point(json, path);
    if (type == kChannelReference)
        return channelReference(json, path);
    if (type == terminology.classCode)
        return object(type, json, &terminology.classProperties, path, depth);
    return inferred(json, path, depth);
}

std::optional<DescriptorValue> ScriptReader::object(uint32_t objectClass, const Json& json,
                                                    const std::vector<TerminologyItem>* properties,
                                                    const std::string& path, int depth) {
    std::optional<Descriptor> made = descriptor(json, properties, path, depth + 1);
    if (!made)
        return std::nullopt;
    return DescriptorValue::makeObject(objectClass, std::move(*made));
}

std::optional<DescriptorValue> ScriptReader::point(const Json& json, const std::string& path) {
    if (!json.is_array() || json.size() != 2 || !json[0].is_number() || !json[1].is_number())
        return fail(path, "[horizontal, vertical] (two numbers)", json);
    Descriptor coordinates;
    coordinates.items.push_back(
        {pointDescriptor::horizontal, DescriptorValue::makeFloat(json[0].get<double>())});
    coordinates.items.push_back(
        {pointDescriptor::vertical, DescriptorValue::makeFloat(json[1].get<double>())});
    return DescriptorValue::makeObject(pointDescriptor::objectClass, std::move(coordinates));
}

std::optional<DescriptorValue> ScriptReader::channelReference(const Json& json,
                                                              const std::string& path) {
    const char* wanted = "{\"enum\": \"Grn \"}, {\"index\": 5} or {\"name\": \"Alpha 1\"}";
    if (!json.is_object() || json.size() != 1)
        return fail(path, wanted, json);
    ChannelReference reference{};
    reference.desiredClass = kChannel;
    const std::string& form = json.begin().key();
    const Json& member = json.begin().value();
    if (form == "enum" && codeStringOf(member)) {
        reference.form = kByEnumerated;
        reference.type = kChannel;
        reference.value = *codeStringOf(member);
    } else if (form == "index" && int32Of(member)) {
        reference.form = kByIndex;
        reference.index = *int32Of(member);
    } else if (form == "name" && member.is_string() &&
               member.get<std::string>().size() <= kLongestChannelName) {
        const std::string name = member.get<std::string>();
        reference.form = kByName;
        reference.name[0] = uint8_t(name.size());
        std::copy(name.begin(), name.end(), reference.name + 1);
    } else {
        return fail(path, wanted, json);
    }
    return DescriptorValue::makeReference(reference);
}

// A key of no known type keeps the type its JSON value suggests.
std::optional<DescriptorValue> ScriptReader::inferred(const Json& json, const std::string& path,
                                                      int depth) {
    if (tooDeep(path, depth))
        return std::nullopt;
    if (const std::optional<int32_t> integer = int32Of(json))
        return DescriptorValue::makeInteger(*integer);
    if (json.is_number())
        return DescriptorValue::makeFloat(json.get<double>());
    if (json.is_boolean())
        return DescriptorValue::makeBoolean(json.get<bool>());
    if (const std::optional<uint32_t> code = codeStringOf(json))
        return DescriptorValue::makeEnumerated(0, *code);
    if (json.is_object())
        return object(0, json, nullptr, path, depth);
    if (!json.is_array())
        return fail(path, "a number, true or false, a four-character string, an object or an array",
                    json);
    std::vector<DescriptorValue> items;
    for (size_t i = 0; i < json.size(); ++i) {
        std::optional<DescriptorValue> item = inferred(json[i], indexPath(path, i), depth + 1);
        if (!item)
            return std::nullopt;
        items.push_back(std::move(*item));
    }
    return DescriptorValue::makeList(std::move(items));
}

// The deepest nesting of arrays and objects, counted on the text itself, so
// that a hostile file is refused before anything that recurses sees it.
bool nestedWithin(const std::string& text, int limit) {
    int depth = 0;
    bool inString = false, escaped = false;
    for (char c : text) {
        if (inString) {
            inString = escaped || c != '"';
            escaped = !escaped && c == '\\';
        } else if (c == '"') {
            inString = true;
        } else if ((c == '[' || c == '{') && ++depth > limit) {
            return false;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

// ---- Descriptor to JSON ---------------------------------------------------

Json jsonOf(const Descriptor& descriptor);

std::optional<double> floatItem(const Descriptor& descriptor, uint32_t key) {
    for (const DescriptorItem& item : descriptor.items)
        if (item.key == key && item.value.kind == ValueKind::Float)
            return item.value.number;
    return std::nullopt;
}

Json jsonOfReference(const ChannelReference& reference) {
    Json json = Json::object();
    if (reference.form == kByEnumerated)
        json["enum"] = textOf(reference.value);
    else if (reference.form == kByIndex)
        json["index"] = reference.index;
    else
        json["name"] = std::string(reference.name + 1, reference.name + 1 + reference.name[0]);
    return json;
}

Json jsonOfObject(const DescriptorValue& value) {
    if (value.objectClass == pointDescriptor::objectClass) {
        const auto horizontal = floatItem(value.object, pointDescriptor::horizontal);
        const auto vertical = floatItem(value.object, pointDescriptor::vertical);
        if (horizontal && vertical)
            return Json::array({*horizontal, *vertical});
    }
    return jsonOf(value.object);
}

Json jsonOf(const DescriptorValue& value) {
    switch (value.kind) {
    case ValueKind::Integer:
        return value.integer;
    case ValueKind::Float:
        return value.number;
    case ValueKind::Boolean:
        return value.boolean;
    case ValueKind::Enumerated:
        return textOf(value.enumValue);
    case ValueKind::Reference:
        return jsonOfReference(value.reference);
    case ValueKind::Object:
        return jsonOfObject(value);
    case ValueKind::List:
        break;
    }
    Json items = Json::array();
    for (const DescriptorValue& item : value.list)
        items.push_back(jsonOf(item));
    return items;
}

Json jsonOf(const Descriptor& descriptor) {
    Json json = Json::object();
    for (const DescriptorItem& item : descriptor.items)
        json[textOf(item.key)] = jsonOf(item.value);
    return json;
}
} // namespace

std::optional<Descriptor> descriptorFromScript(const std::string& text,
                                               const Terminology& terminology, std::string& error) {
    if (!nestedWithin(text, kDeepestScriptNesting)) {
        error = "arrays and objects are nested more than " + std::to_string(kDeepestScriptNesting) +
                " deep";
        return std::nullopt;
    }
    Json json;
    try {
        json = Json::parse(text);
    } catch (const Json::exception& failure) {
        error = std::string("not valid JSON: ") + failure.what();
        return std::nullopt;
    }
    ScriptReader reader(terminology, error);
    return reader.descriptor(json, &terminology.parameters, "", 0);
}

std::string scriptFromDescriptor(const Descriptor& descriptor) {
    return jsonOf(descriptor).dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
