// Writes the shipped lighting styles from their readable description:
//   stylegen <description.json> <output folder>
// Every style becomes one style file in the output folder, named after the
// style (UTF-8 names; on Win32 the system shows them in its own code page).
// Fields a style or a light leaves out keep the values of the default style's
// material and of a new light.
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <string>

#include "platform/files.h"
#include "styles/style_record_of_settings.h"

using nlohmann::json;

namespace {
// Where a style's or a light's fields may be left out: the material of fresh
// settings and a new light.
StyleRecord defaultMaterial() {
    return styleRecordOf(Settings());
}

StyleLightRecord newLight() {
    return lightRecordOf(LightSource());
}

void refuseUnknownKeys(const json& object, const std::set<std::string>& known,
                       const std::string& where) {
    for (const auto& item : object.items())
        if (!known.count(item.key()))
            throw std::runtime_error(where + ": unknown field \"" + item.key() + "\"");
}

int16_t setting(const json& object, const char* key, int16_t fallback, int low, int high) {
    if (!object.contains(key))
        return fallback;
    const int value = object.at(key).get<int>();
    if (value < low || value > high)
        throw std::runtime_error(std::string(key) + " out of range: " + std::to_string(value));
    return int16_t(value);
}

// "#RRGGBB" into three 16-bit channels (each byte x 257, so FF is 65535).
void readColor(const json& object, const char* key, uint16_t* channels) {
    if (!object.contains(key))
        return;
    const std::string text = object.at(key).get<std::string>();
    if (text.size() != 7 || text[0] != '#')
        throw std::runtime_error(std::string(key) + " is not #RRGGBB: " + text);
    for (int c = 0; c < 3; ++c)
        channels[c] = uint16_t(std::stoi(text.substr(1 + 2 * c, 2), nullptr, 16) * 257);
}

void readPoint(const json& object, const char* key, int16_t& x, int16_t& y) {
    if (!object.contains(key))
        return;
    const json& point = object.at(key);
    if (point.size() != 2)
        throw std::runtime_error(std::string(key) + " needs two numbers");
    x = int16_t(point[0].get<int>());
    y = int16_t(point[1].get<int>());
}

uint16_t typeCode(const std::string& type) {
    if (type == "spot")
        return lightTypeEntry(Spot).styleCode;
    if (type == "omni")
        return lightTypeEntry(Omni).styleCode;
    if (type == "directional")
        return lightTypeEntry(Directional).styleCode;
    throw std::runtime_error("unknown light type " + type);
}

StyleLightRecord readLight(const json& object) {
    refuseUnknownKeys(
        object,
        {"type", "color", "intensity", "focus", "on", "position", "vector0", "vector1", "radius"},
        "light");
    StyleLightRecord light = newLight();
    if (object.contains("type"))
        light.typeCode = typeCode(object.at("type").get<std::string>());
    readColor(object, "color", light.color);
    light.intensity = setting(object, "intensity", light.intensity, -127, 129);
    light.focus = setting(object, "focus", light.focus, 0, 256);
    if (object.contains("on"))
        light.on = object.at("on").get<bool>() ? 1 : 0;
    readPoint(object, "position", light.positionX, light.positionY);
    readPoint(object, "vector0", light.vector0X, light.vector0Y);
    readPoint(object, "vector1", light.vector1X, light.vector1Y);
    light.radius = setting(object, "radius", light.radius, 0, INT16_MAX);
    return light;
}

StyleRecord readStyle(const json& object, int16_t halfFrame) {
    const std::string name = object.at("name").get<std::string>();
    refuseUnknownKeys(object,
                      {"name", "about", "texture", "whiteIsHigh", "relief", "ambientColor",
                       "material", "gloss", "exposure", "ambience", "currentLight", "lights"},
                      name);
    StyleRecord record = defaultMaterial();
    record.halfFrame = halfFrame;
    record.textureChannel = uint16_t(setting(object, "texture", 0, 0, 255));
    if (object.contains("whiteIsHigh"))
        record.whiteIsHigh = object.at("whiteIsHigh").get<bool>() ? 1 : 0;
    record.reliefAmount = setting(object, "relief", record.reliefAmount, 0, 256);
    readColor(object, "ambientColor", record.ambientColor);
    record.material = setting(object, "material", record.material, 0, 256);
    record.gloss = setting(object, "gloss", record.gloss, 0, 256);
    record.exposure = setting(object, "exposure", record.exposure, 0, 256);
    record.ambience = setting(object, "ambience", record.ambience, -127, 129);
    const json& lights = object.at("lights");
    if (lights.empty() || lights.size() > kMaxLights)
        throw std::runtime_error(name + ": a style holds 1 to " + std::to_string(kMaxLights) +
                                 " lights");
    record.lightCount = uint16_t(lights.size());
    for (size_t i = 0; i < lights.size(); ++i)
        record.lights[i] = readLight(lights[i]);
    record.currentLight = uint16_t(setting(object, "currentLight", 0, 0, record.lightCount - 1));
    return record;
}

void writeStyle(const std::string& folder, const std::string& name, const StyleRecord& record) {
    if (name.empty() || name.find('/') != std::string::npos)
        throw std::runtime_error("a style name is not a file name: " + name);
    const std::string path = folder + "/" + name;
    StyleFile file;
    const bool written = createStyleFileAt(file, path.c_str()) && writeStyleRecord(record, file);
    if (!CloseStyleFile(file) || !written)
        throw std::runtime_error("cannot write " + path);
}

void generate(const char* descriptionPath, const std::string& folder) {
    std::ifstream input(descriptionPath);
    if (!input)
        throw std::runtime_error(std::string("cannot read ") + descriptionPath);
    const json description = json::parse(input, nullptr, true, /*ignore_comments=*/true);
    const int halfFrame = description.at("halfFrame").get<int>();
    if (halfFrame < 1 || halfFrame > INT16_MAX)
        throw std::runtime_error("halfFrame out of range");
    if (platform::findEntry(folder.c_str()) != platform::EntryKind::Folder &&
        !platform::createFolder(folder.c_str()))
        throw std::runtime_error("cannot create " + folder);
    std::set<std::string> names;
    for (const json& style : description.at("styles")) {
        const StyleRecord record = readStyle(style, int16_t(halfFrame));
        const std::string name = style.at("name").get<std::string>();
        if (!names.insert(name).second)
            throw std::runtime_error("two styles are named " + name);
        writeStyle(folder, name, record);
    }
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: stylegen <description.json> <output folder>\n");
        return 2;
    }
    try {
        generate(argv[1], argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "stylegen: %s\n", error.what());
        return 1;
    }
    return 0;
}
