#include <algorithm>
#include <cstring>

#include "protocol/plugin_api.h"
#include "scripting/script_parameters.h"
#include "styles/style_body.h"

namespace {
// A style's bytes in memory, read front to back and never beyond their end.
class StyleBytes : public StyleSource {
  public:
    explicit StyleBytes(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    int32_t readBytes(uint32_t count, void* buffer) override {
        const size_t available = bytes_.size() - position_;
        const size_t taken = count < available ? count : available;
        if (taken > 0)
            std::memcpy(buffer, bytes_.data() + position_, taken);
        position_ += taken;
        return int32_t(taken);
    }

  private:
    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
};
} // namespace

int LoadStyleFromBytes(std::span<const uint8_t> bytes, int16_t currentHalfFrame,
                       Settings& settings) {
    StyleBytes source(bytes);
    return CheckStyleHeader(source) && ReadStyleBodyForHalfFrame(settings, source, currentHalfFrame);
}

int16_t SavedHalfFrame(std::span<const uint8_t> bytes) {
    StyleBytes source(bytes);
    StyleRecord stored;
    if (!CheckStyleHeader(source) || !ReadStyleRecord(source, stored))
        return 0;
    return stored.halfFrame;
}

bool RecordStyleAsScript(std::span<const uint8_t> bytes, HostRecord& host, int16_t* errorCell) {
    const int16_t halfFrame = std::max<int16_t>(SavedHalfFrame(bytes), 1);
    Settings settings;
    settings.frameCorner = {0, 0};
    settings.frameCenter = {uint16_t(halfFrame), uint16_t(halfFrame)};
    if (!LoadStyleFromBytes(bytes, halfFrame, settings))
        return false;
    ScriptContext context{settings, &host};
    UtilWriteDescriptors(&context, host.handleTable, host.scriptRecord, WriteScriptParameters,
                         errorCell);
    return true;
}
