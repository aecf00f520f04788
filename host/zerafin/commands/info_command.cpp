#include "host/zerafin/commands/info_command.h"

#include <optional>

#include "host/zerafin/module/terminology.h"
#include "protocol/host_record.h"
#include "protocol/property_list.h"

namespace {
std::string quotedCode(uint32_t code) {
    return "'" + codeText(code) + "'";
}

// A name in double quotes, padded with blanks to `width` characters (UTF-8
// characters, not bytes, so that accented names line up too).
std::string paddedName(const std::string& name, size_t width) {
    std::string text = "\"" + name + "\"";
    size_t characters = 0;
    for (char byte : text)
        characters += (uint8_t(byte) & 0xC0) != 0x80;
    if (characters < width)
        text.append(width - characters, ' ');
    return text;
}

std::string hexBytes(const std::vector<uint8_t>& bytes) {
    std::string text;
    for (size_t index = 0; index < bytes.size(); ++index) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02X", unsigned(bytes[index]));
        text += (index == 0 ? "" : index % 4 == 0 ? "  " : " ") + std::string(byte);
    }
    return text;
}

// A property's data in words: its decoded value where the key is known, its
// bytes otherwise or when the data does not have the expected shape.
std::string describeProperty(const Property& property) {
    const std::optional<uint32_t> number = propertyNumber(property);
    switch (property.key) {
    case propertyKey::kind:
        if (number)
            return quotedCode(*number) +
                   (*number == kFilterModuleKind ? " (filter module)" : " (not a filter module)");
        break;
    case propertyKey::host:
        if (number)
            return quotedCode(*number);
        break;
    case propertyKey::category:
    case propertyKey::name:
        if (const std::optional<std::string> text = propertyPascalString(property))
            return "\"" + *text + "\"";
        break;
    case propertyKey::version:
        if (number)
            return std::to_string(*number >> 16) + "." + std::to_string(*number & 0xFFFF);
        break;
    case propertyKey::imageModes:
        return hexBytes(property.data) +
               (modeFlagsAllow(property, kImageModeRgb) ? " (RGB allowed)" : " (no RGB)");
    case propertyKey::entryPoint:
        if (const std::optional<std::string> name = propertyCString(property))
            return *name;
        break;
    case propertyKey::scripting:
        if (const std::optional<ScriptingInfo> info = propertyScriptingInfo(property))
            return "class " + quotedCode(info->classCode) + ", event " +
                   quotedCode(info->eventCode) + ", terminology resource " +
                   std::to_string(info->terminologyId) + " (version " +
                   std::to_string(info->version) + ", scope \"" + info->scope + "\")";
        break;
    }
    return hexBytes(property.data);
}

const char* propertyLabel(uint32_t key) {
    switch (key) {
    case propertyKey::kind:
        return "kind";
    case propertyKey::category:
        return "category";
    case propertyKey::name:
        return "name";
    case propertyKey::version:
        return "host interface version";
    case propertyKey::imageModes:
        return "mode flags";
    case propertyKey::host:
        return "host";
    case propertyKey::entryPoint:
        return "entry point";
    case propertyKey::inputHandling:
        return "layer and selection cases";
    case propertyKey::scripting:
        return "scripting";
    }
    return "property";
}

void printPropertyList(const PropertyList& list, std::FILE* out) {
    std::fprintf(out, "Property list (resource version %u, list version %u, %zu properties)\n",
                 unsigned(list.resourceVersion), unsigned(list.listVersion),
                 list.properties.size());
    for (const Property& property : list.properties)
        std::fprintf(out, "  %s %-26s %s\n", quotedCode(property.key).c_str(),
                     propertyLabel(property.key), describeProperty(property).c_str());
}

void printVersionBlock(const VersionBlock& block, std::FILE* out) {
    std::fprintf(out, "Version block\n");
    std::fprintf(out, "  file version     %s\n", versionText(block.fileVersion).c_str());
    std::fprintf(out, "  product version  %s\n", versionText(block.productVersion).c_str());
    std::fprintf(out, "  file flags       0x%X (mask 0x%X)\n", unsigned(block.fileFlags),
                 unsigned(block.fileFlagsMask));
    std::fprintf(out, "  operating system %u\n", unsigned(block.fileOs));
    std::fprintf(out, "  file type        %u\n", unsigned(block.fileType));
    std::fprintf(out, "  strings          %s\n", block.languageCodePage.c_str());
    for (const auto& [name, value] : block.strings)
        std::fprintf(out, "    %-17s \"%s\"\n", name.c_str(), value.c_str());
}

void printItems(const char* title, const std::vector<TerminologyItem>& items, std::FILE* out) {
    std::fprintf(out, "  %s (%zu)\n", title, items.size());
    for (const TerminologyItem& item : items)
        std::fprintf(out, "    %s key %s type %s flags 0x%04X\n", paddedName(item.name, 20).c_str(),
                     quotedCode(item.key).c_str(), quotedCode(item.type).c_str(),
                     unsigned(item.flags));
}

void printTerminology(const Terminology& terminology, std::FILE* out) {
    std::fprintf(out, "Terminology\n");
    std::fprintf(out, "  suite \"%s\" %s (level %u, version %u)\n", terminology.suiteName.c_str(),
                 quotedCode(terminology.suiteCode).c_str(), unsigned(terminology.suiteLevel),
                 unsigned(terminology.suiteVersion));
    std::fprintf(out, "  event \"%s\" class %s code %s\n", terminology.eventName.c_str(),
                 quotedCode(terminology.eventClass).c_str(),
                 quotedCode(terminology.eventCode).c_str());
    std::fprintf(out, "    reply %s flags 0x%04X, direct parameter %s flags 0x%04X\n",
                 quotedCode(terminology.replyType).c_str(), unsigned(terminology.replyFlags),
                 quotedCode(terminology.directParameterType).c_str(),
                 unsigned(terminology.directParameterFlags));
    printItems("event parameters", terminology.parameters, out);
    std::fprintf(out, "  class \"%s\" %s\n", terminology.className.c_str(),
                 quotedCode(terminology.classCode).c_str());
    printItems("class properties", terminology.classProperties, out);
    std::fprintf(out, "  enumeration %s (%zu)\n", quotedCode(terminology.enumerationCode).c_str(),
                 terminology.enumerators.size());
    for (const TerminologyEnumerator& enumerator : terminology.enumerators)
        std::fprintf(out, "    %s %s\n", paddedName(enumerator.name, 20).c_str(),
                     quotedCode(enumerator.code).c_str());
}
} // namespace

std::string versionText(const std::array<uint16_t, 4>& parts) {
    return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
           std::to_string(parts[2]) + "." + std::to_string(parts[3]);
}

int runInfoCommand(std::span<const uint8_t> pipl, std::span<const uint8_t> aete, std::FILE* out,
                   const VersionBlock* version) {
    std::string error;
    const std::optional<PropertyList> list = parsePropertyList(pipl, error);
    if (!list) {
        std::fprintf(stderr, "zerafin: the module's property list is unreadable: %s\n",
                     error.c_str());
        return 2;
    }
    std::optional<Terminology> terminology;
    if (!aete.empty() && !(terminology = parseTerminology(aete, error))) {
        std::fprintf(stderr, "zerafin: the module's terminology is unreadable: %s\n",
                     error.c_str());
        return 2;
    }
    printPropertyList(*list, out);
    if (version)
        printVersionBlock(*version, out);
    if (terminology)
        printTerminology(*terminology, out);
    else
        std::fprintf(out, "Terminology: none\n");
    return 0;
}

bool modeFlagsAllow(const Property& mode, int imageMode) {
    if (imageMode < 0 || size_t(imageMode / 8) >= mode.data.size())
        return false;
    return (mode.data[size_t(imageMode / 8)] & (0x80 >> (imageMode % 8))) != 0;
}

bool checkFilterModule(const PropertyList& list, std::string& error, std::string& entryPointName) {
    const Property* kind = findProperty(list, propertyKey::kind);
    const std::optional<uint32_t> kindCode = kind ? propertyNumber(*kind) : std::nullopt;
    if (kindCode != kFilterModuleKind) {
        error = "the module is not a filter: its kind is " +
                (kindCode ? quotedCode(*kindCode) : std::string("missing")) + ", not '9ZFM'";
        return false;
    }
    const Property* mode = findProperty(list, propertyKey::imageModes);
    if (!mode || !modeFlagsAllow(*mode, kImageModeRgb)) {
        error = "the module's mode flags do not allow RGB images";
        return false;
    }
    const Property* entry = findProperty(list, propertyKey::entryPoint);
    const std::optional<std::string> name = entry ? propertyCString(*entry) : std::nullopt;
    if (!name || name->empty()) {
        error = "the module names no entry point ('wx86')";
        return false;
    }
    entryPointName = *name;
    return true;
}
