// orvane_image_check: small image jobs for the host's command-line tests.
//   compare A B [T,L,B,R]  counts the pixels whose colour differs, inside and
//                          outside the rectangle (bottom and right exclusive;
//                          without one everything is outside); prints
//                          "inside N outside M" and exits 0 only when nothing
//                          outside differs.
//   convert IN OUT [ALPHA] writes IN's colour in the format of OUT's extension
//                          (.png, .bmp, .tga, .jpg), with ALPHA's grey as the
//                          alpha channel when given.
//   tile IN OUT N          writes IN repeated N times across and down.
//   scale IN OUT W H       writes IN stretched to W x H (bilinear), in the
//                          format of OUT's extension: a photograph made larger.
//   deepen IN OUT [grey]   writes IN as a 16-bit PNG (its red alone when grey)
//                          whose samples round to IN's, their low bytes
//                          varied.
//   match A B MEAN         exits 0 when B has A's size and alpha (or lack of
//                          it) and its samples differ from A's by at most MEAN
//                          on average (0: identical); prints the mean.
//   clipped IMAGE...       prints per image the percentage of its pixels with
//                          a colour channel at 255 and of its pure white
//                          pixels: "clipped C white W NAME".
//   phone IN OUT.jpg       writes IN as a phone stores a photograph taken
//                          upright: turned a quarter to the left, with EXIF
//                          orientation 6 and a made-up ICC profile of 70,000
//                          bytes (two JPEG segments).
//   metadata FILE          prints the EXIF orientation and the ICC profile's
//                          size and checksum of a JPEG or PNG file, as stored.
// Exits 2 on a usage or reading error.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/zerafin/files/host_files.h"
#include "host/zerafin/image_files/image_io.h"
#include "host/zerafin/image_files/photo_metadata.h"
#include "host/zerafin/image_files/png_writer.h"

namespace {
struct Area {
    int top = 0, left = 0, bottom = 0, right = 0;
    bool contains(int x, int y) const { return y >= top && y < bottom && x >= left && x < right; }
};

int usage() {
    std::fprintf(stderr, "usage: orvane_image_check compare A B [T,L,B,R]\n"
                         "       orvane_image_check convert IN OUT [ALPHA]\n"
                         "       orvane_image_check tile IN OUT N\n"
                         "       orvane_image_check scale IN OUT W H\n"
                         "       orvane_image_check match A B MEAN\n"
                         "       orvane_image_check deepen IN OUT [grey]\n"
                         "       orvane_image_check clipped IMAGE...\n"
                         "       orvane_image_check phone IN OUT.jpg\n"
                         "       orvane_image_check metadata FILE\n");
    return 2;
}

int failWith(const std::string& error) {
    std::fprintf(stderr, "orvane_image_check: %s\n", error.c_str());
    return 2;
}

bool colourDiffers(const Document& a, const Document& b, int x, int y) {
    for (int c = 0; c < 3; ++c)
        if (a.sample(c, x, y) != b.sample(c, x, y))
            return true;
    return false;
}

int compare(const std::string& pathA, const std::string& pathB, const Area& area) {
    Document a, b;
    std::string error;
    if (!loadDocument(pathA, a, error) || !loadDocument(pathB, b, error))
        return failWith(error);
    if (a.width != b.width || a.height != b.height)
        return failWith("the images differ in size");
    long inside = 0, outside = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (colourDiffers(a, b, x, y))
                ++(area.contains(x, y) ? inside : outside);
    std::printf("inside %ld outside %ld\n", inside, outside);
    return outside == 0 ? 0 : 1;
}

int convert(const std::string& in, const std::string& out, const char* alphaPath) {
    Document document;
    std::string error;
    if (!loadDocument(in, document, error))
        return failWith(error);
    document.channels.resize(3);
    document.hasAlpha = alphaPath != nullptr;
    if (alphaPath && !loadChannel(alphaPath, "Alpha 1", document, error))
        return failWith(error);
    return saveImage(out, document, error) ? 0 : failWith(error);
}

int tile(const std::string& in, const std::string& out, int times) {
    Document source;
    std::string error;
    if (!loadDocument(in, source, error))
        return failWith(error);
    Document tiled;
    tiled.width = source.width * times;
    tiled.height = source.height * times;
    for (int c = 0; c < 3; ++c) {
        tiled.channels.push_back(
            Channel{source.channels[size_t(c)].name,
                    std::vector<uint8_t>(size_t(tiled.width) * size_t(tiled.height))});
        for (int y = 0; y < tiled.height; ++y)
            for (int x = 0; x < tiled.width; ++x)
                tiled.sample(c, x, y) = source.sample(c, x % source.width, y % source.height);
    }
    return savePng(out, tiled, error) ? 0 : failWith(error);
}
// The sample at (x, y) in the source's own coordinates, between its pixels'
// centres: the four nearest pixels weighted by their nearness.
uint8_t bilinear(const Document& source, int c, double x, double y) {
    const double fx = std::clamp(x, 0.0, double(source.width - 1));
    const double fy = std::clamp(y, 0.0, double(source.height - 1));
    const int x0 = int(fx), y0 = int(fy);
    const int x1 = std::min(x0 + 1, source.width - 1), y1 = std::min(y0 + 1, source.height - 1);
    const double ax = fx - x0, ay = fy - y0;
    const double top = source.sample(c, x0, y0) * (1 - ax) + source.sample(c, x1, y0) * ax;
    const double bottom = source.sample(c, x0, y1) * (1 - ax) + source.sample(c, x1, y1) * ax;
    return uint8_t(top * (1 - ay) + bottom * ay + 0.5);
}

int scale(const std::string& in, const std::string& out, int width, int height) {
    Document source;
    std::string error;
    if (!loadDocument(in, source, error))
        return failWith(error);
    Document scaled;
    scaled.width = width;
    scaled.height = height;
    for (int c = 0; c < 3; ++c) {
        scaled.channels.push_back(Channel{source.channels[size_t(c)].name,
                                          std::vector<uint8_t>(size_t(width) * size_t(height))});
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                scaled.sample(c, x, y) = bilinear(source, c, (x + 0.5) * source.width / width - 0.5,
                                                  (y + 0.5) * source.height / height - 0.5);
    }
    return saveImage(out, scaled, error) ? 0 : failWith(error);
}

// A 16-bit sample that rounds to `value`: 257 * value, moved by up to 128
// either way.
uint16_t deepened(uint8_t value, size_t index) {
    const int offset = int(index * 7 % 257) - 128;
    return uint16_t(std::clamp(value * 257 + offset, 0, 65535));
}

int deepen(const std::string& in, const std::string& out, bool grey) {
    Document document;
    std::string error;
    if (!loadDocument(in, document, error))
        return failWith(error);
    const size_t channels = grey ? 1 : document.channels.size();
    const size_t count = size_t(document.width) * size_t(document.height);
    std::vector<uint8_t> samples(count * channels * 2);
    for (size_t i = 0; i < count; ++i)
        for (size_t c = 0; c < channels; ++c) {
            const uint16_t sample = deepened(document.channels[c].samples[i], i * channels + c);
            samples[(i * channels + c) * 2] = uint8_t(sample >> 8);
            samples[(i * channels + c) * 2 + 1] = uint8_t(sample);
        }
    const std::vector<uint8_t> file =
        encodePngFile(PngImage{document.width, document.height, int(channels), 16, samples});
    std::FILE* stream = std::fopen(out.c_str(), "wb");
    const bool written = stream && std::fwrite(file.data(), 1, file.size(), stream) == file.size();
    if (!stream || std::fclose(stream) != 0 || !written)
        return failWith("cannot write '" + out + "'");
    return 0;
}

int match(const std::string& pathA, const std::string& pathB, double allowedMean) {
    Document a, b;
    std::string error;
    if (!loadDocument(pathA, a, error) || !loadDocument(pathB, b, error))
        return failWith(error);
    if (a.width != b.width || a.height != b.height || a.hasAlpha != b.hasAlpha) {
        std::printf("%s is %d x %d%s, %s is %d x %d%s\n", pathA.c_str(), a.width, a.height,
                    a.hasAlpha ? " with alpha" : "", pathB.c_str(), b.width, b.height,
                    b.hasAlpha ? " with alpha" : "");
        return 1;
    }
    double sum = 0;
    const size_t samples = a.hasAlpha ? 4 : 3;
    for (size_t c = 0; c < samples; ++c)
        for (size_t i = 0; i < a.channels[c].samples.size(); ++i)
            sum += std::abs(a.channels[c].samples[i] - b.channels[c].samples[i]);
    const double mean = sum / double(samples * a.channels[0].samples.size());
    std::printf("mean difference %.3f\n", mean);
    return mean <= allowedMean ? 0 : 1;
}

// How much of a lit photograph is burnt out: pixels with any channel at 255
// have lost detail there, pure white ones everything.
int clipped(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        Document document;
        std::string error;
        if (!loadDocument(path, document, error))
            return failWith(error);
        long anyChannel = 0, white = 0;
        double sum = 0;
        for (int y = 0; y < document.height; ++y)
            for (int x = 0; x < document.width; ++x) {
                int full = 0;
                for (int c = 0; c < 3; ++c) {
                    full += document.sample(c, x, y) == 255 ? 1 : 0;
                    sum += document.sample(c, x, y);
                }
                anyChannel += full > 0 ? 1 : 0;
                white += full == 3 ? 1 : 0;
            }
        const double pixels = std::max(1.0, double(document.width) * document.height);
        std::printf("clipped %.2f white %.2f size %dx%d mean %.1f %s\n",
                    100.0 * anyChannel / pixels, 100.0 * white / pixels, document.width,
                    document.height, sum / (3 * pixels), path.c_str());
    }
    return 0;
}

// A made-up profile: an ICC header's size and signature, then a pattern.
std::vector<uint8_t> madeUpProfile() {
    std::vector<uint8_t> profile(70000);
    for (size_t i = 0; i < profile.size(); ++i)
        profile[i] = uint8_t(i * 7 + i / 251);
    const uint32_t size = uint32_t(profile.size());
    for (int i = 0; i < 4; ++i)
        profile[size_t(i)] = uint8_t(size >> (24 - 8 * i));
    std::copy_n("acsp", 4, profile.begin() + 36);
    return profile;
}

int phone(const std::string& in, const std::string& out) {
    Document document;
    std::string error;
    if (!loadDocument(in, document, error))
        return failWith(error);
    turnUpright(document, 8); // a quarter to the left, which orientation 6 undoes
    // A big-endian TIFF header, one directory of one entry: orientation 6.
    document.metadata.exif = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0,
                              3,   0,   0, 0,  1, 0, 6, 0, 0, 0, 0,    0,    0};
    document.metadata.iccProfile = madeUpProfile();
    std::vector<uint8_t> encoded;
    PendingOutputs outputs;
    size_t index = 0;
    if (!encodeImage(ImageFormat::Jpeg, document, encoded, error, 95) ||
        !outputs.reserve(out, index, error) || !outputs.write(index, encoded, error) ||
        !outputs.commit(error))
        return failWith(error);
    return 0;
}

uint32_t fnv1a(const std::vector<uint8_t>& bytes) {
    uint32_t hash = 2166136261u;
    for (uint8_t byte : bytes)
        hash = (hash ^ byte) * 16777619u;
    return hash;
}

int metadata(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!readInputFile(path, "the image", kMaxImageFileBytes, bytes, error))
        return failWith(error);
    const bool png = bytes.size() > 1 && bytes[1] == 'P';
    const PhotoMetadata found = png ? pngMetadata(bytes) : jpegMetadata(bytes);
    std::printf("orientation %d\n", exifOrientation(found.exif));
    if (found.iccProfile.empty())
        std::printf("no profile\n");
    else
        std::printf("profile %zu bytes checksum %08x\n", found.iccProfile.size(),
                    fnv1a(found.iccProfile));
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    const std::string job = argc > 1 ? argv[1] : "";
    Area area;
    if (job == "compare" && argc == 4)
        return compare(argv[2], argv[3], area);
    if (job == "compare" && argc == 5 &&
        std::sscanf(argv[4], "%d,%d,%d,%d", &area.top, &area.left, &area.bottom, &area.right) == 4)
        return compare(argv[2], argv[3], area);
    if (job == "convert" && (argc == 4 || argc == 5))
        return convert(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    if (job == "tile" && argc == 5 && std::atoi(argv[4]) >= 1)
        return tile(argv[2], argv[3], std::atoi(argv[4]));
    if (job == "scale" && argc == 6 && std::atoi(argv[4]) >= 1 && std::atoi(argv[5]) >= 1)
        return scale(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
    if (job == "deepen" && (argc == 4 || (argc == 5 && std::string(argv[4]) == "grey")))
        return deepen(argv[2], argv[3], argc == 5);
    if (job == "phone" && argc == 4)
        return phone(argv[2], argv[3]);
    if (job == "metadata" && argc == 3)
        return metadata(argv[2]);
    if (job == "match" && argc == 5)
        return match(argv[2], argv[3], std::atof(argv[4]));
    if (job == "clipped" && argc >= 3)
        return clipped(std::vector<std::string>(argv + 2, argv + argc));
    return usage();
}
