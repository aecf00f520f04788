#include "host/zerafin/commands/host_styles.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "host/zerafin/files/host_files.h"
#include "host/zerafin/module/plugin_module.h"
#include "host/zerafin/plugin_services/host_session.h"
#include "host/zerafin/terminal/messages.h"
#include "host/zerafin/terminal/reading_order.h"
#include "host/zerafin/terminal/suggestions.h"
#include "platform/files.h"
#include "protocol/four_cc.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "styles/style_body.h"
#include "styles/style_library.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
// Far above any style: a header, 16 lights and the settings take under 1 KiB.
constexpr uint64_t kMaxStyleFileBytes = 1 << 20;

void removeKey(Descriptor& descriptor, uint32_t key) {
    std::erase_if(descriptor.items, [key](const DescriptorItem& item) { return item.key == key; });
}
} // namespace

bool styleFolderOf(const std::string& modulePath, std::string& folder, std::string& error) {
    const std::optional<std::string> directory = moduleDirectory(modulePath);
    if (!directory) {
        error = "the style folder cannot be found: the module's path is unknown or longer than " +
                std::to_string(platform::kMaxPath - 1) + " characters";
        return false;
    }
    const std::string separator(1, platform::kPathSeparator);
    folder = *directory + separator + stringTableText(kStringStyleFolderName) + separator;
    return true;
}

std::vector<std::string> listStyles(const std::string& folder) {
    std::vector<std::string> names;
    platform::FolderListing listing(folder.c_str());
    while (const char* entry = listing.next())
        if (IsStyleFile(entry, folder.c_str()))
            names.emplace_back(entry);
    return names;
}

std::optional<Descriptor> styleDescriptor(const std::string& folder, const std::string& name,
                                          HostSession& session, std::string& error) {
    const std::string styleName = storedStyleName(name);
    char path[platform::kMaxPath];
    const bool named = name == styleName && isUsableStyleName(styleName.c_str()) &&
                       joinPath(folder.c_str(), styleName.c_str(), path);
    if (!named || !IsStyleFile(styleName.c_str(), folder.c_str())) {
        if (named && platform::isHeldForWriting(path)) {
            error = "the style '" + systemTextToUtf8(name) +
                    "' is in use: another program is writing it; try again";
            return std::nullopt;
        }
        // Names match exactly: one typed without its accents or in another
        // case is offered, not taken, since it could name another file.
        std::vector<std::string> names;
        for (const std::string& style : listStyles(folder))
            names.push_back(systemTextToUtf8(style));
        const std::string suggestion = didYouMean(systemTextToUtf8(name), names);
        error = "no style named '" + systemTextToUtf8(name) + "' in '" + systemTextToUtf8(folder) +
                "'" + (suggestion.empty() ? " (zerafin styles lists them)" : suggestion);
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    if (!readInputFile(path, "the style", kMaxStyleFileBytes, bytes, error))
        return std::nullopt;
    std::optional<Descriptor> descriptor = styleDescriptorOfBytes(bytes, session, error);
    if (!descriptor)
        error = "the style '" + systemTextToUtf8(styleName) + "' " + error;
    return descriptor;
}

std::optional<Descriptor> styleDescriptorOfBytes(const std::vector<uint8_t>& bytes,
                                                 HostSession& session, std::string& error) {
    int16_t errorCell = 0;
    if (!recordStyleAsScript(bytes, session.record, &errorCell)) {
        error = "cannot be read";
        return std::nullopt;
    }
    std::optional<Descriptor> descriptor = session.takeRecordedDescriptor();
    if (errorCell != 0 || !descriptor) {
        error = "cannot be turned into a script";
        return std::nullopt;
    }
    removeKey(*descriptor, fourCC("FrmW"));
    return descriptor;
}

int runStylesCommand(const CommandLine& line) {
    std::string folder, error;
    if (!styleFolderOf(line.plugin.empty() ? defaultPluginPath() : line.plugin, folder, error)) {
        printMessage(stderr, error);
        return kExitUsage;
    }
    std::vector<std::string> names;
    for (const std::string& name : listStyles(folder))
        names.push_back(systemTextToUtf8(name));
    if (names.empty())
        printMessage(stderr, "no styles in '" + systemTextToUtf8(folder) + "'");
    sortForReading(names);
    for (const std::string& name : names)
        std::printf("%s\n", name.c_str());
    return kExitSuccess;
}

#ifdef _WIN32
std::string systemTextToUtf8(const std::string& text) {
    if (text.empty())
        return text;
    const int wideLength =
        MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), wideLength);
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
    return utf8;
}
#else
std::string systemTextToUtf8(const std::string& text) {
    return text;
}
#endif
