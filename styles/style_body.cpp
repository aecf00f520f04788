// A style's settings: written from and read into the settings, rescaled to
// the frame, and read from bytes in memory.
#include "styles/style_body.h"

#include <algorithm>
#include <cstring>

#include "protocol/plugin_api.h"
#include "scripting/script_parameters.h"
#include "settings/parameter_table.h"
#include "styles/style_record_of_settings.h"

// A hostile file's slider settings are brought into the sliders' ranges, so
// that nothing downstream ever sees a setting the dialog could not have made.
namespace {
void storeLight(const StyleLightRecord& stored, int16_t savedHalfFrame, int16_t currentHalfFrame,
                PointU16 frameCenter, LightSource& light) {
    auto rescale = [&](int16_t value) {
        return RescaleToFrame(value, savedHalfFrame, currentHalfFrame);
    };
    light.origin = frameCenter;
    for (int c = 0; c < 3; ++c)
        light.color[c] = stored.color[c];
    for (const StyleSliderField& slider : styleSliderFields())
        if (slider.lightField)
            light.*parameter(slider.which).lightSetting = stored.*slider.lightField;
    light.enabled = stored.on == 1;
    light.type = lightTypeOfStyleCode(stored.typeCode);
    light.position = {rescale(stored.positionX), rescale(stored.positionY)};
    light.vector0 = {rescale(stored.vector0X), rescale(stored.vector0Y)};
    light.vector1 = {rescale(stored.vector1X), rescale(stored.vector1Y)};
    light.radius = rescale(stored.radius);
    clampToSliders(light);
}

void storeStyle(const StyleRecord& stored, int16_t currentHalfFrame, Settings& settings) {
    for (int i = 0; i < stored.lightCount; ++i)
        storeLight(stored.lights[i], stored.halfFrame, currentHalfFrame, settings.frameCenter,
                   settings.lights[i]);
    settings.lightCount = stored.lightCount;
    settings.currentLight = stored.currentLight < stored.lightCount ? stored.currentLight : 0;
    for (int c = 0; c < 3; ++c)
        settings.ambientColor[c] = stored.ambientColor[c];
    for (const StyleSliderField& slider : styleSliderFields())
        if (slider.field)
            settings.*parameter(slider.which).setting = stored.*slider.field;
    // The run checks the channel against the image before it uses it.
    settings.textureChannel = stored.textureChannel;
    settings.whiteIsHigh = stored.whiteIsHigh != 0;
    clampToSliders(settings);
}
} // namespace

int readStyleBodyForHalfFrame(Settings& settings, StyleSource& source, int16_t currentHalfFrame) {
    // Everything is read before anything is stored, so that a short or
    // refused file leaves the state exactly as it was.
    StyleRecord stored;
    if (!readStyleRecord(source, stored))
        return 0;
    storeStyle(stored, currentHalfFrame, settings);
    return 1;
}

int ReadStyleBody(Settings& settings, StyleSource& source) {
    return readStyleBodyForHalfFrame(settings, source, int16_t(settings.halfFrame()));
}

int WriteStyleBody(const Settings& settings, StyleFile& file) {
    return writeStyleRecord(styleRecordOf(settings), file);
}

int16_t RescaleToFrame(int16_t value, int16_t savedHalfFrame, int16_t currentHalfFrame) {
    if (savedHalfFrame == 0)
        return 0;
    // The product of two 16-bit values always fits 32 bits.
    const int32_t scaled = int32_t(value) * currentHalfFrame;
    const int32_t half = savedHalfFrame / 2;
    return int16_t((value >= 0 ? scaled + half : scaled - half) / savedHalfFrame);
}

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

int loadStyleFromBytes(std::span<const uint8_t> bytes, int16_t currentHalfFrame,
                       Settings& settings) {
    StyleBytes source(bytes);
    return checkStyleHeader(source) &&
           readStyleBodyForHalfFrame(settings, source, currentHalfFrame);
}

int16_t savedHalfFrame(std::span<const uint8_t> bytes) {
    StyleBytes source(bytes);
    StyleRecord stored;
    if (!checkStyleHeader(source) || !readStyleRecord(source, stored))
        return 0;
    return stored.halfFrame;
}

bool recordStyleAsScript(std::span<const uint8_t> bytes, HostRecord& host, int16_t* errorCell) {
    const int16_t halfFrame = std::max<int16_t>(savedHalfFrame(bytes), 1);
    Settings settings;
    settings.frameCorner = {0, 0};
    settings.frameCenter = {uint16_t(halfFrame), uint16_t(halfFrame)};
    if (!loadStyleFromBytes(bytes, halfFrame, settings))
        return false;
    ScriptContext context{settings, &host};
    UtilWriteDescriptors(&context, host.handleTable, host.scriptRecord, WriteScriptParameters,
                         errorCell);
    return true;
}
