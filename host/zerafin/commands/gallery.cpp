#include "host/zerafin/commands/gallery.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "host/zerafin/commands/filter_command.h"
#include "host/zerafin/commands/host_styles.h"
#include "host/zerafin/files/host_files.h"
#include "host/zerafin/image_files/image_io.h"
#include "host/zerafin/labels/label_font.h"
#include "host/zerafin/plugin_services/host_session.h"
#include "host/zerafin/terminal/messages.h"
#include "host/zerafin/terminal/reading_order.h"

namespace {
constexpr int kLabelHeight = 28;
constexpr int kMargin = 8;
constexpr int kMinimumCellWidth = 128;
constexpr float kLabelPixels = 17;
constexpr uint8_t kBackground = 32;
constexpr uint8_t kLabelColour[3] = {235, 235, 235};
// Far above any font file.
constexpr uint64_t kMaxFontBytes = uint64_t(64) << 20;

// The style names in reading order, each as the folder spells it (the
// system's code page) and as UTF-8.
std::vector<std::pair<std::string, std::string>> stylesInReadingOrder(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> names;
    for (const std::string& name : listStyles(folder))
        names.emplace_back(name, systemTextToUtf8(name));
    std::stable_sort(names.begin(), names.end(),
                     [](const auto& a, const auto& b) { return readsBefore(a.second, b.second); });
    return names;
}

int fail(int status, const std::string& message) {
    printMessage(stderr, message + "; nothing was written");
    return status;
}

bool loadFont(const std::string& path, LabelFont& font, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readInputFile(path, "the font", kMaxFontBytes, bytes, error)) {
        error += " (the labels need a TrueType font: install fonts-dejavu-core, or give --font "
                 "FILE.ttf)";
        return false;
    }
    if (font.load(std::move(bytes), error))
        return true;
    error = "damaged font '" + path + "': " + error;
    return false;
}
} // namespace

LabelFontChoice chooseLabelFont(const std::string& asked, const std::string& fallback,
                                LabelFont& font, std::string& message) {
    if (loadFont(asked.empty() ? fallback : asked, font, message))
        return LabelFontChoice::Labelled;
    if (!asked.empty())
        return LabelFontChoice::Refused;
    message += "; the styles are shown without their names";
    return LabelFontChoice::Unlabelled;
}

int GalleryLayout::cellLeft(int index) const {
    return margin + (index % columns) * (cellWidth + margin);
}

int GalleryLayout::cellTop(int index) const {
    return margin + (index / columns) * (imageHeight + labelHeight + margin);
}

GalleryLayout galleryLayout(int count, int imageWidth, int imageHeight) {
    GalleryLayout layout;
    layout.columns = std::max(1, int(std::ceil(std::sqrt(double(count)))));
    layout.rows = std::max(1, (count + layout.columns - 1) / layout.columns);
    layout.cellWidth = std::max(imageWidth, kMinimumCellWidth);
    layout.imageWidth = imageWidth;
    layout.imageHeight = imageHeight;
    layout.labelHeight = kLabelHeight;
    layout.margin = kMargin;
    layout.sheetWidth = kMargin + layout.columns * (layout.cellWidth + kMargin);
    layout.sheetHeight = kMargin + layout.rows * (imageHeight + kLabelHeight + kMargin);
    return layout;
}

Document reducedCopy(const Document& document, int longestSide) {
    const int longest = std::max(document.width, document.height);
    const double factor = longest > longestSide ? double(longestSide) / longest : 1.0;
    const int width = std::max(1, int(std::lround(document.width * factor)));
    const int height = std::max(1, int(std::lround(document.height * factor)));
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    for (int y = 0; y < height; ++y) {
        const int top = y * document.height / height, bottom = (y + 1) * document.height / height;
        for (int x = 0; x < width; ++x) {
            const int left = x * document.width / width, right = (x + 1) * document.width / width;
            const int covered = (bottom - top) * (right - left);
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int sy = top; sy < bottom; ++sy)
                    for (int sx = left; sx < right; ++sx)
                        sum += document.sample(c, sx, sy);
                rgb[(size_t(y) * size_t(width) + size_t(x)) * 3 + size_t(c)] =
                    uint8_t((sum + covered / 2) / covered);
            }
        }
    }
    return documentFromRgb(width, height, rgb);
}

void paste(const Document& document, RgbImage& image, int left, int top) {
    for (int y = 0; y < document.height; ++y)
        for (int x = 0; x < document.width; ++x)
            for (int c = 0; c < 3; ++c)
                image.rgb[(size_t(top + y) * size_t(image.width) + size_t(left + x)) * 3 +
                          size_t(c)] = document.sample(c, x, y);
}

int runGalleryCommand(const CommandLine& line) {
    const std::string pluginPath = line.plugin.empty() ? defaultPluginPath() : line.plugin;
    std::string folder, error;
    if (!styleFolderOf(pluginPath, folder, error))
        return fail(kExitUsage, error);
    const auto styles = stylesInReadingOrder(folder);
    if (styles.empty())
        return fail(kExitUsage, "no styles in '" + systemTextToUtf8(folder) + "'");
    LabelFont font;
    const LabelFontChoice fontChoice = chooseLabelFont(line.font, kDefaultGalleryFont, font, error);
    if (fontChoice == LabelFontChoice::Refused)
        return fail(kExitUsage, error);
    if (fontChoice == LabelFontChoice::Unlabelled)
        printMessage(stderr, error);
    Document input;
    if (!loadDocument(line.input, input, error))
        return fail(abortRequested() ? kExitCancelled : kExitUsage, error);
    const Document reduced = reducedCopy(input, kGalleryImageSide);
    PendingOutputs outputs;
    size_t sheetIndex = 0;
    if (!outputs.reserve(line.output, sheetIndex, error))
        return fail(kExitUsage, error);
    const auto module = loadFilterModule(pluginPath, error);
    if (!module)
        return fail(kExitUsage, error);

    const GalleryLayout layout = galleryLayout(int(styles.size()), reduced.width, reduced.height);
    RgbImage sheet(layout.sheetWidth, layout.sheetHeight, kBackground);
    for (size_t i = 0; i < styles.size(); ++i) {
        Document lit = reduced;
        if (const int status = lightWithStyle(*module, folder, styles[i].first, lit, error))
            return fail(status, "the style '" + styles[i].second + "': " + error);
        const int left = layout.cellLeft(int(i)), top = layout.cellTop(int(i));
        paste(lit, sheet, layout.imageLeft(int(i)), top);
        if (fontChoice == LabelFontChoice::Labelled)
            font.drawCentred(sheet, left, top + layout.imageHeight, layout.cellWidth,
                             layout.labelHeight, styles[i].second, kLabelPixels, kLabelColour);
    }
    std::vector<uint8_t> encoded;
    if (!encodeImage(line.outputFormat, documentFromRgb(sheet.width, sheet.height, sheet.rgb),
                     encoded, error, line.quality) ||
        !outputs.write(sheetIndex, encoded, error) || !outputs.commit(error))
        return fail(kExitUsage, error);
    return kExitSuccess;
}
