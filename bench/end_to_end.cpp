// A whole run from files to a file, timed as a user feels it: a BMP image and
// its BMP relief channel read, three lights and relief applied by the plug-in
// through the host's session, the result encoded as PNG and written through
// the host's safe outputs. Each round writes the PNG with the host's encoder
// (zlib) and then with stb's single-threaded encoder as a yardstick, so that
// both are measured side by side under the same load; best of three rounds
// each.
//
//   orvane_end_to_end [SIZE] [FOLDER]     (default 4096 and the system's temporary folder)
//
// For timing whole commands from outside (bench/whole_runs.sh):
//   orvane_end_to_end --inputs SIZE FOLDER   writes image.bmp, relief.bmp and lights.json
//                                            there, and plain.json: the lights without relief
//   orvane_end_to_end --convert IN OUT       reads IN and writes OUT with the host's own
//                                            reader and writer, nothing lit: a plain copy
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <stb/stb_image_write.h>

#include "bench/bench_scene.h"
#include "host/zerafin/files/host_files.h"
#include "host/zerafin/image_files/image_io.h"
#include "host/zerafin/plugin_services/host_session.h"
#include "protocol/plugin_api.h"
#include "shell/entry_point.h"

namespace {
using Encoder = std::function<bool(const Document&, std::vector<uint8_t>&, std::string&)>;

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    PendingOutputs outputs;
    size_t index = 0;
    return outputs.reserve(path, index, error) && outputs.write(index, bytes, error) &&
           outputs.commit(error);
}

// The bench image's colour as a BMP, and its relief channel as a grey BMP.
bool writeInputs(int size, const std::string& image, const std::string& relief,
                 std::string& error) {
    Document document = makeBenchDocument(size);
    Document grey = document;
    for (int c = 0; c < 3; ++c)
        grey.channels[size_t(c)].samples = document.channels[3].samples;
    std::vector<uint8_t> bytes;
    return encodeImage(ImageFormat::Bmp, document, bytes, error) &&
           writeFile(image, bytes, error) && encodeImage(ImageFormat::Bmp, grey, bytes, error) &&
           writeFile(relief, bytes, error);
}

// The whole run and its three stages: reading the files, lighting, and
// encoding and writing the PNG.
struct Outcome {
    double seconds = 0, reading = 0, lighting = 0;
    size_t bytes = 0;
};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One whole run; false with a message when a step fails.
bool timedRun(const std::string& image, const std::string& relief, const std::string& output,
              const Descriptor& script, const Encoder& encode, Outcome& outcome,
              std::string& error) {
    const auto start = std::chrono::steady_clock::now();
    Document document;
    if (!loadDocument(image, document, error) || !loadChannel(relief, "Relief", document, error))
        return false;
    outcome.reading = secondsSince(start);
    HostSession session(ENTRYPOINT1, nullptr);
    session.setDocument(&document);
    if (!session.playScript(script, false) || session.runFilter(false) != 0) {
        error = "the run failed";
        return false;
    }
    outcome.lighting = secondsSince(start) - outcome.reading;
    std::vector<uint8_t> encoded;
    if (!encode(document, encoded, error) || !writeFile(output, encoded, error))
        return false;
    outcome.seconds = secondsSince(start);
    outcome.bytes = encoded.size();
    return true;
}

void appendBytes(void* context, void* data, int size) {
    auto* file = static_cast<std::vector<uint8_t>*>(context);
    file->insert(file->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// The yardstick PNG file: stb's encoder over the interleaved colour.
bool encodeWithStb(const Document& document, std::vector<uint8_t>& file, std::string&) {
    std::vector<uint8_t> rgb(size_t(document.width) * size_t(document.height) * 3);
    for (size_t i = 0; i < rgb.size() / 3; ++i)
        for (size_t c = 0; c < 3; ++c)
            rgb[i * 3 + c] = document.channels[c].samples[i];
    file.clear();
    return stbi_write_png_to_func(appendBytes, &file, document.width, document.height, 3,
                                  rgb.data(), document.width * 3) != 0;
}

bool encodeWithZlib(const Document& document, std::vector<uint8_t>& file, std::string& error) {
    return encodeImage(ImageFormat::Png, document, file, error);
}
// The inputs of the timed commands, in the folder.
int writeCommandInputs(int size, const std::string& folder) {
    std::string error;
    const std::string script = benchScriptText(benchMaterialAndLights(3), true);
    const std::string plain = benchScriptText(benchMaterialAndLights(3), false);
    if (!writeInputs(size, pathInFolder(folder, "image.bmp"), pathInFolder(folder, "relief.bmp"),
                     error) ||
        !writeFile(pathInFolder(folder, "lights.json"),
                   std::vector<uint8_t>(script.begin(), script.end()), error) ||
        !writeFile(pathInFolder(folder, "plain.json"),
                   std::vector<uint8_t>(plain.begin(), plain.end()), error)) {
        std::fprintf(stderr, "orvane_end_to_end: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int convert(const std::string& input, const std::string& output) {
    std::string error;
    Document document;
    if (!loadDocument(input, document, error) || !saveImage(output, document, error)) {
        std::fprintf(stderr, "orvane_end_to_end: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc == 4 && mode == "--inputs")
        return writeCommandInputs(std::atoi(argv[2]), argv[3]);
    if (argc == 4 && mode == "--convert")
        return convert(argv[2], argv[3]);
    const int size = argc > 1 ? std::atoi(argv[1]) : 4096;
    const std::string folder = argc > 2 ? argv[2] : std::filesystem::temp_directory_path().string();
    if (size < 16 || size > 8192) {
        std::fprintf(stderr, "usage: orvane_end_to_end [SIZE from 16 to 8192] [FOLDER]\n");
        return 2;
    }
    const std::string image = pathInFolder(folder, "orvane-e2e.bmp");
    const std::string relief = pathInFolder(folder, "orvane-e2e-relief.bmp");
    const std::string output = pathInFolder(folder, "orvane-e2e.png");
    std::string error;
    const std::optional<Descriptor> script = benchScript(benchMaterialAndLights(3), true);
    if (!script || !writeInputs(size, image, relief, error)) {
        std::fprintf(stderr, "orvane_end_to_end: %s\n", error.c_str());
        return 1;
    }
    PIThreadsSetCount(0);
    const char* names[2] = {"host's zlib", "stb yardstick"};
    const Encoder encoders[2] = {encodeWithZlib, encodeWithStb};
    Outcome best[2] = {{1e30, 0}, {1e30, 0}};
    for (int round = 0; round < 3; ++round)
        for (int e = 0; e < 2; ++e) {
            Outcome outcome;
            if (!timedRun(image, relief, output, *script, encoders[e], outcome, error)) {
                std::fprintf(stderr, "orvane_end_to_end: %s\n", error.c_str());
                return 1;
            }
            std::printf("round %d %-14s %7.3f s (reading %.3f, lighting %.3f, PNG %.3f)\n",
                        round + 1, names[e], outcome.seconds, outcome.reading, outcome.lighting,
                        outcome.seconds - outcome.reading - outcome.lighting);
            if (outcome.seconds < best[e].seconds)
                best[e] = outcome;
        }
    std::printf("%d x %d, three lights and relief, BMP in, PNG out; best of three\n", size, size);
    for (int e = 0; e < 2; ++e)
        std::printf("%-14s %7.3f s %12zu bytes\n", names[e], best[e].seconds, best[e].bytes);
    std::printf("stb / zlib: %.2f times the time\n", best[1].seconds / best[0].seconds);
    for (const std::string& path : {image, relief, output})
        std::remove(path.c_str());
    return 0;
}
