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

#include "protocol/host_tables.h"
#include "protocol/plugin_api.h"
#include "scripting/channel_queries.h"
#include "scripting/script_keys.h"
#include "scripting/script_parameters.h"
#include "scripting/script_values.h"
#include "settings/parameter_table.h"

namespace {
// What every step of one write needs.
struct ScriptWriting {
    const Settings& settings;
    const HostRecord* host;
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
    // A setting of the settings table as its percentage.
    void writeSetting(DescriptorWriteToken* writer, const ParameterEntry& entry, int16_t stored) {
        writeInteger(writer, entry.scriptKey, entry.percentFromStored(stored));
    }
    void writeSetting(DescriptorWriteToken* writer, Parameter which, int16_t stored) {
        writeSetting(writer, parameter(which), stored);
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
            horizontal = 50.0 + pixelsToFramePercent(pixels.x, frame);
            vertical = 50.0 + pixelsToFramePercent(pixels.y, frame);
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
        const double component = channelToComponent(rgb[c]);
        *writing.cell = writing.table.writeFloat(colour, componentKeys[c], &component);
    }
    writing.writeObject(writer, key, scriptCode::rgbColor, colour);
}

// Geometry is written only after the type went through.
void writeLightGeometry(ScriptWriting& writing, DescriptorWriteToken*& writer,
                        const LightSource& light) {
    writing.writePoint(writer, scriptKey::position, light.position, light.positionPct);
    writing.writePoint(writer, scriptKey::vector0, light.vector0, light.vector0Pct);
    writing.writePoint(writer, scriptKey::vector1, light.vector1, light.vector1Pct);
    writing.writeFloat(writer, scriptKey::radius,
                       writing.percentGeometry ? double(light.radiusPct)
                                               : pixelsToFramePercent(light.radius, writing.frame));
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
    writing.writeBoolean(writer, scriptKey::enabled, light.enabled);
    if (light.type == Spot)
        writing.writeSetting(writer, Parameter::Focus, light.focus);
    writing.writeSetting(writer, Parameter::Intensity, light.intensity);
    if (writing.clear()) {
        *writing.cell =
            writing.table.writeEnumerated(writer, scriptKey::lightType, scriptCode::lightTypeEnum,
                                          lightTypeEntry(light.type).scriptCode);
        if (writing.clear())
            writeLightGeometry(writing, writer, light);
    }
    writing.writeObject(listWriter, scriptKey::lights, scriptCode::lightClass, writer);
}

// Channels 1 to 3 are named by their colour, a further channel by the name the
// host gives it, or by its number when the host has no name for it.
ChannelReference textureReference(const Settings& settings, const HostRecord* host) {
    ChannelReference reference{};
    reference.desiredClass = channelForm::channelClass;
    const uint16_t channel = settings.textureChannel;
    if (channel <= 3) {
        const uint32_t colours[3] = {scriptKey::red, scriptKey::green, scriptKey::blue};
        reference.form = channelForm::byEnumerated;
        reference.type = channelForm::channelClass;
        reference.value = colours[channel - 1];
    } else if (host && GetChannelName(uint16_t(channel - 1), reference.name, *host) == 0) {
        reference.form = channelForm::byName;
    } else {
        reference.form = channelForm::byIndex;
        reference.index = channel;
    }
    return reference;
}

void writeTexture(ScriptWriting& writing, DescriptorWriteToken* writer) {
    const Settings& settings = writing.settings;
    if (!writing.clear() || int16_t(settings.textureChannel) <= 0)
        return;
    const ChannelReference reference = textureReference(settings, writing.host);
    *writing.cell = writing.table.writeReference(writer, scriptKey::texture, &reference);
    writing.writeBoolean(writer, scriptKey::whiteIsHigh, settings.whiteIsHigh);
    writing.writeSetting(writer, Parameter::Relief, settings.reliefAmount);
}

void writeMaterial(ScriptWriting& writing, DescriptorWriteToken* writer) {
    const Settings& settings = writing.settings;
    // The material's slider settings in the table's order; the relief goes
    // with the texture.
    for (const ParameterEntry& entry : sliderSettings())
        if (entry.setting && entry.setting != &Settings::reliefAmount)
            writing.writeSetting(writer, entry, settings.*entry.setting);
    writeColour(writing, writer, scriptKey::ambientColor, settings.ambientColor);
}
} // namespace

uint8_t WriteScriptParameters(void* context, HostScriptRecord* script,
                              DescriptorWriteToken** writer, int16_t* errorCell) {
    const ScriptContext& source = *static_cast<const ScriptContext*>(context);
    const Settings& settings = source.settings;
    script->recordMode = 0;
    HostHandleTable* handles = source.host ? source.host->handleTable : nullptr;
    ScriptWriting writing{settings,  source.host,          *script->writerTable, handles,
                          errorCell, settings.frameSize(), source.litFromPercent};
    // The count's result is not examined.
    writing.table.writeCount(*writer, scriptKey::lights, settings.lightCount);
    const int lightCount = std::min<int>(int16_t(settings.lightCount), kMaxLights);
    for (int i = 0; i < lightCount; ++i)
        writeLight(writing, *writer, settings.lights[i]);
    writing.writeInteger(*writer, scriptKey::currentLight, settings.currentLight + 1);
    writeMaterial(writing, *writer);
    writeTexture(writing, *writer);
    writing.writeFloat(*writer, scriptKey::imageWidth,
                       writing.percentGeometry
                           ? 100.0 * double(settings.imageWidthRatio)
                           : pixelsToFramePercent(source.previewWidth, writing.frame));
    return *errorCell == 0;
}
