#include "tools/resgen/encode_terminology.h"

#include "resources/text_encoding.h"
#include "tools/resgen/byte_writer.h"

namespace {
class TerminologyWriter {
  public:
    bool write(const Terminology& terminology) {
        header();
        suite(terminology);
        event(terminology);
        classes(terminology);
        writer.u16(0); // no comparison operators
        enumeration(terminology);
        return error.empty();
    }

    ByteWriter writer;
    std::string error;

  private:
    void text(const std::string& utf8) {
        const std::optional<std::string> converted = utf8ToWindows1252(utf8);
        if (!converted || converted->size() > 255) {
            error =
                "terminology name \"" + utf8 + "\" has no Windows-1252 form of at most 255 bytes";
            return;
        }
        writer.u8(uint8_t(converted->size()));
        writer.append(
            std::span(reinterpret_cast<const uint8_t*>(converted->data()), converted->size()));
    }
    void emptyDescription() { writer.u8(0); }

    void items(const std::vector<TerminologyItem>& list) {
        writer.u16(uint16_t(list.size()));
        for (const TerminologyItem& item : list) {
            text(item.name);
            writer.u32(item.key);
            writer.u32(item.type);
            emptyDescription();
            writer.u16(item.flags);
        }
    }

    void header() {
        writer.u16(1);
        writer.u8(1);  // major version
        writer.u8(0);  // minor version
        writer.u16(0); // language
        writer.u16(0); // script
        writer.u16(1); // one suite
    }
    void suite(const Terminology& terminology) {
        text(terminology.suiteName);
        emptyDescription();
        writer.u32(terminology.suiteCode);
        writer.u16(terminology.suiteLevel);
        writer.u16(terminology.suiteVersion);
        writer.u16(1); // one event
    }
    void event(const Terminology& terminology) {
        text(terminology.eventName);
        emptyDescription();
        writer.u32(terminology.eventClass);
        writer.u32(terminology.eventCode);
        writer.u32(terminology.replyType);
        emptyDescription();
        writer.u16(terminology.replyFlags);
        writer.u32(terminology.directParameterType);
        emptyDescription();
        writer.u16(terminology.directParameterFlags);
        items(terminology.parameters);
    }
    void classes(const Terminology& terminology) {
        writer.u16(1); // one class
        text(terminology.className);
        writer.u32(terminology.classCode);
        emptyDescription();
        items(terminology.classProperties);
        writer.u16(0); // no elements
    }
    void enumeration(const Terminology& terminology) {
        writer.u16(1); // one enumeration
        writer.u32(terminology.enumerationCode);
        writer.u16(uint16_t(terminology.enumerators.size()));
        for (const TerminologyEnumerator& enumerator : terminology.enumerators) {
            text(enumerator.name);
            writer.u32(enumerator.code);
            emptyDescription();
        }
    }
};
} // namespace

std::optional<std::vector<uint8_t>> encodeTerminology(const Terminology& terminology,
                                                      std::string& error) {
    TerminologyWriter writer;
    if (!writer.write(terminology)) {
        error = writer.error;
        return std::nullopt;
    }
    return writer.writer.data();
}
