#include "tools/resgen/encode_dialog.h"

#include "resources/text_encoding.h"
#include "resources/window_styles.h"
#include "tools/resgen/byte_writer.h"

namespace {
// The system classes are stored as 0xFFFF and their atom.
constexpr std::pair<const char*, uint16_t> kSystemClassAtoms[] = {
    {"BUTTON", 0x80}, {"EDIT", 0x81}, {"STATIC", 0x82}, {"COMBOBOX", 0x85}};

class DialogWriter {
  public:
    bool write(const DialogDescription& dialog) {
        writer.u32(dialog.style | style::kSetFont);
        writer.u32(0); // extended style
        writer.u16(uint16_t(dialog.controls.size()));
        rectangle(dialog.x, dialog.y, dialog.width, dialog.height);
        writer.u16(0); // no menu
        writer.u16(0); // the standard dialog class
        text(dialog.caption);
        writer.u16(uint16_t(dialog.pointSize));
        text(dialog.font);
        for (const DialogControl& control : dialog.controls)
            item(control);
        return error.empty();
    }

    ByteWriter writer;
    std::string error;

  private:
    void rectangle(int x, int y, int width, int height) {
        for (int value : {x, y, width, height})
            writer.u16(uint16_t(int16_t(value)));
    }
    // UTF-16 characters and a terminating zero.
    void text(const std::string& utf8) {
        const std::optional<std::u16string> wide = utf8ToUtf16(utf8);
        if (!wide)
            error = "dialog text \"" + utf8 + "\" is not valid UTF-8";
        for (char16_t character : wide.value_or(u""))
            writer.u16(character);
        writer.u16(0);
    }
    void className(const std::string& name) {
        for (const auto& [systemName, atom] : kSystemClassAtoms)
            if (name == systemName) {
                writer.u16(0xFFFF);
                writer.u16(atom);
                return;
            }
        text(name);
    }
    void item(const DialogControl& control) {
        writer.padToFour();
        writer.u32(control.style);
        writer.u32(0); // extended style
        rectangle(control.x, control.y, control.width, control.height);
        writer.u16(uint16_t(control.id));
        className(control.className);
        text(control.text);
        writer.u16(0); // no creation data
    }
};
} // namespace

std::optional<std::vector<uint8_t>> encodeDialog(const DialogDescription& dialog,
                                                 std::string& error) {
    DialogWriter writer;
    if (!writer.write(dialog)) {
        error = writer.error;
        return std::nullopt;
    }
    return writer.writer.data();
}
