// Writing the settings as a scripting descriptor for recording. Each write's
// result goes into the error cell; once it holds an error every later write
// that checks it is skipped. Keys appear in this order: 'LghS' (count, then one
// object per light), 'CrnL', 'Glos', 'Mtrl', 'Exps', 'AmbB', 'AmbC', then
// 'BmpC', 'WhHi', 'BmpA' only with a texture channel, and 'FrmW' last.
//
// The geometry written is the one the run lit: after the dialog, the lights'
// preview pixels and the measured image width; after a run without the dialog,
// the percent geometry the script gave, so that replaying a recording lights
// the very same image (pixels would round every point to the preview's grid).
#include <algorithm>

#include "scripting/channel_queries.h"
#include "scripting/percent_scale.h"
#include "scripting/script_keys.h"
#include "scripting/script_parameters.h"
#include "scripting/script_values.h"
#include "protocol/host_tables.h"
#include "protocol/plugin_api.h"
#include "shell/plugin_state.h"

namespace {
// What every step of one write needs.
struct ScriptWriting {
    const PluginState& state;
    DescriptorWriterTable& table;
    HostHandleTable* handles;
    int16_t* cell;
    uint16_t frame;       // frame size in preview pixels
    bool percentGeometry; // the run lit the lights from their percent geometry

    bool clear() const { return *cell == 0; }

    void writeInteger(DescriptorWriteToken* writer, uint32_t key, int32_t value) {
        if (clear())
            *cell = table.writeInteger(writer, key, value);
    }
    void writeFloat(DescriptorWriteToken* writer, uint32_t key, double value) {
        if (clear())
            *cell = table.writeFloat(writer, key, &value);
    }
    void writeBoolean(DescriptorWriteToken* writer, uint32_t key, bool value) {
        if (clear())
            *cell = table.writeBoolean(writer, key, value ? 1 : 0);
    }
    // A point in percent of the frame, (50, 50) at its centre.
    void writePoint(DescriptorWriteToken*& writer, uint32_t key, Point16 pixels, PointF percent) {
        if (!clear())
            return;
        double horizontal = 50.0 + double(percent.x), vertical = 50.0 + double(percent.y);
        if (!percentGeometry) {
            horizontal = 50.0 + PixelsToFramePercent(pixels.x, frame);
            vertical = 50.0 + PixelsToFramePercent(pixels.y, frame);
        }
        UtilWritePointDescriptor(handles, &table, &writer, key, &horizontal, &vertical, cell);
    }
    // Hands a finished nested descriptor to `writer` under `key` and releases it.
    void writeObject(DescriptorWriteToken* writer, uint32_t key, uint32_t objectClass,
                     DescriptorWriteToken* nested) {
        Handle descriptor = nullptr;
        *cell = table.closeWriter(nested, &descriptor);
        if (!descriptor)
            return;
        *cell = table.writeObject(writer, key, objectClass, descriptor);
        HostDisposeHandle(handles, descriptor);
    }
};

int32_t widePercent(int32_t position) {
    return PositionToPercent(position, PercentScale::Wide);
}

// The three components follow one another without checks in between.
void writeColour(ScriptWriting& writing, DescriptorWriteToken* writer, uint32_t key,
                 const uint16_t rgb[3]) {
    if (!writing.clear())
        return;
    DescriptorWriteToken* colour = writing.table.openWriter();
    if (!colour)
        return;
    const uint32_t componentKeys[3] = {scriptKey::red, scriptKey::green, scriptKey::blue};
    for (int c = 0; c < 3; ++c) {
        const double component = ChannelToComponent(rgb[c]);
        *writing.cell = writing.table.writeFloat(colour, componentKeys[c], &component);
    }
    writing.writeObject(writer, key, scriptCode::rgbColor, colour);
}

uint32_t lightTypeCode(uint32_t type) {
    if (type == Directional)
        return scriptCode::directional;
    return type == Omni ? scriptCode::omni : scriptCode::spot;
}

// Geometry is written only after the type went through.
void writeLightGeometry(ScriptWriting& writing, DescriptorWriteToken*& writer,
                        const LightSource& light) {
    writing.writePoint(writer, scriptKey::position, light.position, light.positionPct);
    writing.writePoint(writer, scriptKey::vector0, light.vector0, light.vector0Pct);
    writing.writePoint(writer, scriptKey::vector1, light.vector1, light.vector1Pct);
    writing.writeFloat(writer, scriptKey::radius,
                       writing.percentGeometry ? double(light.radiusPct)
                                               : PixelsToFramePercent(light.radius, writing.frame));
}

void writeLight(ScriptWriting& writing, DescriptorWriteToken* listWriter,
                const LightSource& light) {
    if (!writing.clear())
        return;
    DescriptorWriteToken* writer = writing.table.openWriter();
    if (!writer)
        return;
    writeColour(writing, writer, scriptKey::color, light.color);
    // Only a light whose flag is exactly 1 takes part in a render.
    writing.writeBoolean(writer, scriptKey::enabled, light.enabled == 1);
    if (light.type == Spot)
        writing.writeInteger(writer, scriptKey::focus, widePercent(light.focus));
    writing.writeInteger(writer, scriptKey::intensity, widePercent(light.intensity + 127));
    if (writing.clear()) {
        *writing.cell = writing.table.writeEnumerated(
            writer, scriptKey::lightType, scriptCode::lightTypeEnum, lightTypeCode(light.type));
        if (writing.clear())
            writeLightGeometry(writing, writer, light);
    }
    writing.writeObject(listWriter, scriptKey::lights, scriptCode::lightClass, writer);
}

// Channels 1 to 3 are named by their colour, a further channel by the name the
// host gives it, or by its number when the host has no name for it.
ChannelReference textureReference(const PluginState& state) {
    ChannelReference reference{};
    reference.desiredClass = scriptCode::channel;
    const uint16_t channel = state.textureChannel;
    if (channel <= 3) {
        const uint32_t colours[3] = {scriptKey::red, scriptKey::green, scriptKey::blue};
        reference.form = scriptCode::byEnumerated;
        reference.type = scriptCode::channel;
        reference.value = colours[channel - 1];
    } else if (state.host &&
               GetChannelName(uint16_t(channel - 1), reference.name, *state.host) == 0) {
        reference.form = scriptCode::byName;
    } else {
        reference.form = scriptCode::byIndex;
        reference.index = channel;
    }
    return reference;
}

void writeTexture(ScriptWriting& writing, DescriptorWriteToken* writer) {
    if (!writing.clear() || int16_t(writing.state.textureChannel) <= 0)
        return;
    const ChannelReference reference = textureReference(writing.state);
    *writing.cell = writing.table.writeReference(writer, scriptKey::texture, &reference);
    writing.writeBoolean(writer, scriptKey::whiteIsHigh, writing.state.whiteIsHigh != 0);
    writing.writeInteger(writer, scriptKey::relief,
                         PositionToPercent(writing.state.reliefAmount, PercentScale::Narrow));
}

void writeMaterial(ScriptWriting& writing, DescriptorWriteToken* writer) {
    const PluginState& state = writing.state;
    writing.writeInteger(writer, scriptKey::gloss, widePercent(state.gloss));
    writing.writeInteger(writer, scriptKey::material, widePercent(state.material));
    writing.writeInteger(writer, scriptKey::exposure, widePercent(state.exposure));
    writing.writeInteger(writer, scriptKey::ambience, widePercent(state.ambience + 127));
    writeColour(writing, writer, scriptKey::ambientColor, state.ambientColor);
}
} // namespace

uint8_t WriteScriptParameters(void* context, HostScriptRecord* script,
                              DescriptorWriteToken** writer, int16_t* errorCell) {
    const PluginState* state = static_cast<const PluginState*>(context);
    script->recordMode = 0;
    HostHandleTable* handles = state->host ? state->host->handleTable : nullptr;
    ScriptWriting writing{*state,    *script->writerTable, handles,
                          errorCell, state->frameSize(),   state->litFromPercent};
    // The count's result is not examined.
    writing.table.writeCount(*writer, scriptKey::lights, state->lightCount);
    const int lightCount = std::min<int>(int16_t(state->lightCount), kMaxLights);
    for (int i = 0; i < lightCount; ++i)
        writeLight(writing, *writer, state->lights[i]);
    writing.writeInteger(*writer, scriptKey::currentLight, state->currentLight + 1);
    writeMaterial(writing, *writer);
    writeTexture(writing, *writer);
    writing.writeFloat(*writer, scriptKey::imageWidth,
                       writing.percentGeometry
                           ? 100.0 * double(state->imageWidthRatio)
                           : PixelsToFramePercent(state->previewImageWidth, writing.frame));
    return *errorCell == 0;
}
