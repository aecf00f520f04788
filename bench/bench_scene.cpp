#include "bench/bench_scene.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "host/zerafin/module/terminology.h"
#include "host/zerafin/scripts/script_file.h"
#include "resources/resource_data.h"

namespace {
uint8_t noise(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return uint8_t(h >> 24);
}

struct BenchLight {
    const char* kind;
    int red, green, blue, intensity, focus;
    int x, y, v0x, v0y, v1x, v1y, radius;
};
constexpr BenchLight kLights[] = {
    {"LghS", 255, 214, 150, 30, 60, 32, 38, 60, 40, -30, 45, 15},
    {"LghO", 90, 140, 255, 20, 0, 85, 75, 0, 0, 0, 0, 30},
    {"LghD", 255, 255, 255, 20, 0, 50, 50, -30, -10, 0, 0, 0},
};

std::string lightScript(const BenchLight& l, int shift) {
    char text[400];
    std::snprintf(text, sizeof text,
                  R"({"Clr ": {"Rd  ": %d, "Grn ": %d, "Bl  ": %d}, "Intn": %d, "Fcs ": %d,)"
                  R"( "On  ": true, "LghT": "%s", "Pstn": [%d, %d], "Vct0": [%d, %d],)"
                  R"( "Vct1": [%d, %d], "Rds ": %d})",
                  l.red, l.green, l.blue, l.intensity, l.focus, l.kind, (l.x + shift) % 100,
                  (l.y + shift) % 100, l.v0x, l.v0y, l.v1x, l.v1y, l.radius);
    return text;
}
} // namespace

std::string benchMaterialAndLights(int count) {
    std::string text = R"({"Glos": 40, "Mtrl": 20, "Exps": 0, "AmbB": -10,)"
                       R"( "AmbC": {"Rd  ": 255, "Grn ": 255, "Bl  ": 255}, "FrmW": 100.0,)"
                       R"( "CrnL": 1, "LghS": [)";
    for (int k = 0; k < count; ++k)
        text += (k ? ", " : "") + lightScript(kLights[k % 3], (k / 3) * 13);
    return text + "]";
}

Document makeBenchDocument(int size) {
    Document document;
    document.width = document.height = size;
    for (const char* name : {"Rouge", "Vert", "Bleu", "Relief"}) {
        Channel channel{name, std::vector<uint8_t>(size_t(size) * size_t(size))};
        const uint32_t seed = uint32_t(document.channels.size());
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                channel.samples[size_t(y) * size + x] =
                    uint8_t((noise(x / 8, y / 8, seed) + noise(x, y, seed + 9)) / 2);
        document.channels.push_back(std::move(channel));
    }
    return document;
}

std::string benchScriptText(const std::string& materialAndLights, bool relief) {
    return materialAndLights +
           (relief ? R"(, "BmpC": {"name": "Relief"}, "BmpA": 60, "WhHi": true})" : "}");
}

std::optional<Descriptor> benchScript(const std::string& materialAndLights, bool relief) {
    const std::string text = benchScriptText(materialAndLights, relief);
    std::string error;
    const std::optional<Terminology> terminology = parseTerminology(terminologyBytes(), error);
    std::optional<Descriptor> descriptor =
        terminology ? descriptorFromScript(text, *terminology, error) : std::nullopt;
    if (!descriptor)
        std::fprintf(stderr, "benchmark script: %s\n", error.c_str());
    return descriptor;
}
