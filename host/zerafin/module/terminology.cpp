#include "host/zerafin/module/terminology.h"

#include "host/zerafin/module/byte_reader.h"
#include "resources/text_encoding.h"

namespace {
// Reads the terminology in its stored order. Every read failure means the
// bytes ended early; `expect` checks the counts a filter's terminology fixes.
class TerminologyReader {
  public:
    explicit TerminologyReader(std::span<const uint8_t> bytes) : reader(bytes) {}

    bool read(Terminology& terminology) {
        return readHeader() && readSuite(terminology) && readEvent(terminology) &&
               readClass(terminology) && readComparisons() && readEnumeration(terminology) &&
               readToEnd();
    }

    std::string error;

  private:
    bool fail(const std::string& what) {
        error = what + " (at byte " + std::to_string(reader.offset()) + ")";
        return false;
    }
    bool number(uint16_t& value, const char* what) {
        return reader.readU16(value) || fail(std::string("terminology ends before ") + what);
    }
    bool code(uint32_t& value, const char* what) {
        return reader.readU32(value) || fail(std::string("terminology ends before ") + what);
    }
    bool text(std::string& value, const char* what) {
        if (!reader.readPascalString(value))
            return fail(std::string("terminology ends inside ") + what);
        value = windows1252ToUtf8(value);
        return true;
    }
    bool skipText(const char* what) {
        std::string ignored;
        return text(ignored, what);
    }
    bool count(uint16_t expected, const char* what) {
        uint16_t value = 0;
        if (!number(value, what))
            return false;
        if (value != expected)
            return fail(std::string("terminology has ") + std::to_string(value) + " " + what +
                        ", a filter's terminology has " + std::to_string(expected));
        return true;
    }
    bool items(std::vector<TerminologyItem>& out, const char* what) {
        uint16_t itemCount = 0;
        if (!number(itemCount, what))
            return false;
        // Items are added as they are read: a count is no reason to allocate.
        out.clear();
        for (uint16_t i = 0; i < itemCount; ++i) {
            TerminologyItem item{};
            if (!text(item.name, what) || !code(item.key, what) || !code(item.type, what) ||
                !skipText(what) || !number(item.flags, what))
                return false;
            out.push_back(std::move(item));
        }
        return true;
    }

    bool readHeader() {
        uint16_t format = 0, language = 0, script = 0;
        uint8_t major = 0, minor = 0;
        if (!number(format, "the header") || !reader.readU8(major) || !reader.readU8(minor) ||
            !number(language, "the header") || !number(script, "the header"))
            return fail("terminology header cut short");
        if (format != 1 || major != 1)
            return fail("terminology format " + std::to_string(format) + ", version " +
                        std::to_string(major) + " is not known");
        return count(1, "suites");
    }
    bool readSuite(Terminology& terminology) {
        return text(terminology.suiteName, "the suite") && skipText("the suite") &&
               code(terminology.suiteCode, "the suite") &&
               number(terminology.suiteLevel, "the suite") &&
               number(terminology.suiteVersion, "the suite") && count(1, "events");
    }
    bool readEvent(Terminology& terminology) {
        return text(terminology.eventName, "the event") && skipText("the event") &&
               code(terminology.eventClass, "the event") &&
               code(terminology.eventCode, "the event") &&
               code(terminology.replyType, "the event") && skipText("the event") &&
               number(terminology.replyFlags, "the event") &&
               code(terminology.directParameterType, "the event") && skipText("the event") &&
               number(terminology.directParameterFlags, "the event") &&
               items(terminology.parameters, "event parameters");
    }
    bool readClass(Terminology& terminology) {
        return count(1, "classes") && text(terminology.className, "the class") &&
               code(terminology.classCode, "the class") && skipText("the class") &&
               items(terminology.classProperties, "class properties") && count(0, "class elements");
    }
    bool readComparisons() { return count(0, "comparison operators"); }
    bool readEnumeration(Terminology& terminology) {
        uint16_t enumeratorCount = 0;
        if (!count(1, "enumerations") || !code(terminology.enumerationCode, "the enumeration") ||
            !number(enumeratorCount, "the enumeration"))
            return false;
        terminology.enumerators.clear();
        for (uint16_t i = 0; i < enumeratorCount; ++i) {
            TerminologyEnumerator enumerator{};
            if (!text(enumerator.name, "enumerators") || !code(enumerator.code, "enumerators") ||
                !skipText("enumerators"))
                return false;
            terminology.enumerators.push_back(std::move(enumerator));
        }
        return true;
    }
    bool readToEnd() {
        return reader.remaining() == 0 ||
               fail(std::to_string(reader.remaining()) + " bytes follow the terminology");
    }

    ByteReader reader;
};
} // namespace

std::optional<Terminology> parseTerminology(std::span<const uint8_t> bytes, std::string& error) {
    TerminologyReader reader(bytes);
    Terminology terminology{};
    if (!reader.read(terminology)) {
        error = reader.error;
        return std::nullopt;
    }
    return terminology;
}
