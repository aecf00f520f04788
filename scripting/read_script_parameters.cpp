// Reading the settings from a scripting descriptor. Every host call stores its
// result in the error cell, replacing what it held; keys the descriptor leaves
// out keep the values the settings already hold. The caller drops whatever it
// cached from the old settings.
#include <algorithm>

#include "protocol/host_tables.h"
#include "protocol/plugin_api.h"
#include "scripting/channel_queries.h"
#include "scripting/script_keys.h"
#include "scripting/script_parameters.h"
#include "scripting/script_values.h"
#include "settings/geometry_conversion.h"
#include "settings/parameter_table.h"

namespace {
// What every step of one read needs.
struct ScriptReading {
    Settings& settings;
    const HostRecord* host;
    HostScriptRecord* script;
    const DescriptorReaderTable& table;
    HostHandleTable* handles;
    int16_t* cell;

    bool readInteger(DescriptorReadToken* reader, int32_t& value) {
        *cell = table.readInteger(reader, &value);
        return *cell == 0;
    }
    bool readFloat(DescriptorReadToken* reader, double& value) {
        *cell = table.readFloat(reader, &value);
        return *cell == 0;
    }
    bool readBoolean(DescriptorReadToken* reader, bool& value) {
        uint8_t byte = 0;
        *cell = table.readBoolean(reader, &byte);
        value = byte != 0;
        return *cell == 0;
    }
    void readPoint(DescriptorReadToken*& reader, PointF& percent) {
        double horizontal = 0.0, vertical = 0.0;
        if (!UtilReadPointDescriptor(handles, script, &reader, &horizontal, &vertical, cell) ||
            *cell != 0)
            return;
        // The frame runs 0..100 in a script; the settings keep it centred on 0.
        percent.x = float(boundedGeometry(horizontal) - 50.0);
        percent.y = float(boundedGeometry(vertical) - 50.0);
    }
};

// The first channel whose name matches byte for byte (1-based), or 0.
uint16_t channelNamed(const HostRecord* host, const uint8_t* name) {
    uint16_t count = 0;
    if (!host || GetChannelCount(&count, *host) != 0)
        return 0;
    uint8_t candidate[256];
    for (uint16_t i = 0; i < count; ++i) {
        if (GetChannelName(i, candidate, *host) != 0)
            return 0;
        if (LengthPrefixedEqual(candidate, name))
            return uint16_t(i + 1);
    }
    return 0;
}

// An index that names no channel of the document gives no texture, so that a
// large index cannot wrap onto a real channel when kept to 16 bits.
uint16_t channelAtIndex(const HostRecord* host, int32_t index) {
    uint16_t count = 0;
    if (!host || GetChannelCount(&count, *host) != 0)
        return 0;
    return index >= 1 && index <= count ? uint16_t(index) : 0;
}

uint16_t channelOf(const HostRecord* host, const ChannelReference& reference) {
    if (reference.form == channelForm::byEnumerated) {
        if (reference.value == scriptKey::red)
            return 1;
        if (reference.value == scriptKey::green)
            return 2;
        return reference.value == scriptKey::blue ? 3 : 0;
    }
    if (reference.form == channelForm::byIndex)
        return channelAtIndex(host, reference.index);
    return channelNamed(host, reference.name);
}

void readEnabled(ScriptReading& reading, DescriptorReadToken* reader, LightSource& light) {
    light.enabled = true;
    bool on = false;
    if (reading.readBoolean(reader, on))
        light.enabled = on;
}

// A setting of the settings table: its percentage as the stored value.
void readTableSetting(ScriptReading& reading, DescriptorReadToken* reader,
                      const ParameterEntry& entry, int16_t& stored) {
    int32_t percent = 0;
    if (reading.readInteger(reader, percent))
        stored = entry.storedFromPercent(percent);
}

void readLightProperty(ScriptReading& reading, DescriptorReadToken*& reader, uint32_t key,
                       LightSource& light) {
    if (const ParameterEntry* entry = parameterWithKey(key, true)) {
        readTableSetting(reading, reader, *entry, light.*entry->lightSetting);
        return;
    }
    double number = 0.0;
    uint32_t enumerated = 0;
    uint16_t rgb[3];
    switch (key) {
    case scriptKey::color:
        if (ReadRgbDescriptor(reading.handles, reading.script, &reader, rgb, reading.cell) &&
            *reading.cell == 0)
            std::copy(rgb, rgb + 3, light.color);
        break;
    case scriptKey::lightType:
        *reading.cell = reading.table.readEnumerated(reader, &enumerated);
        if (*reading.cell == 0)
            light.type = lightTypeOfScriptCode(enumerated);
        break;
    case scriptKey::enabled:
        readEnabled(reading, reader, light);
        break;
    case scriptKey::position:
        reading.readPoint(reader, light.positionPct);
        break;
    case scriptKey::vector0:
        reading.readPoint(reader, light.vector0Pct);
        break;
    case scriptKey::vector1:
        reading.readPoint(reader, light.vector1Pct);
        break;
    case scriptKey::radius:
        if (reading.readFloat(reader, number))
            light.radiusPct = float(boundedGeometry(number));
        break;
    default:
        break; // a key of a later version: skipped
    }
}

// An error of one light ends that light only; the next light's object read
// replaces the cell's value.
void readLight(ScriptReading& reading, DescriptorReadToken* reader, LightSource& light) {
    Handle descriptor = nullptr;
    *reading.cell = reading.table.readObject(reader, nullptr, &descriptor);
    if (*reading.cell != 0 || !descriptor) {
        HostDisposeHandle(reading.handles, descriptor);
        return;
    }
    DescriptorReadToken* nested = reading.table.openReader(descriptor, nullptr);
    if (!nested) {
        HostDisposeHandle(reading.handles, descriptor);
        return;
    }
    uint32_t key = 0;
    while (*reading.cell == 0 && reading.table.nextKey(nested, &key, nullptr, nullptr))
        readLightProperty(reading, nested, key, light);
    *reading.cell = reading.table.closeReader(nested);
    HostDisposeHandle(reading.handles, descriptor);
    // The preview geometry follows the percent geometry at once, as the render
    // preparation would, so that a light it does not prepare (one switched
    // off) keeps the script's place too.
    refreshPixelGeometry(light, reading.settings.frameSize());
}

// A light the settings did not hold before the script starts as the dialog's
// new light (a white spot of the light well's size, intensity and focus), so
// that the keys the script leaves out give a light that shines rather than one
// without extent or height.
void startAsNewLight(Settings& settings, LightSource& light) {
    light = LightSource();
    light.origin = settings.frameCenter;
    refreshPercentGeometry(light, settings.frameSize());
}

// The settings hold 16 lights: a longer list gives its first 16, the rest is
// never read. Lights already in use keep what the script leaves out.
void readLightList(ScriptReading& reading, DescriptorReadToken* reader) {
    uint32_t count = 0;
    *reading.cell = reading.table.readCount(reader, &count);
    if (*reading.cell != 0)
        return;
    const uint16_t inUse = reading.settings.lightCount;
    const uint16_t kept = uint16_t(std::min<uint32_t>(count, kMaxLights));
    reading.settings.lightCount = kept;
    for (uint16_t i = 0; i < kept; ++i) {
        if (i >= inUse)
            startAsNewLight(reading.settings, reading.settings.lights[i]);
        readLight(reading, reader, reading.settings.lights[i]);
    }
}

void readTexture(ScriptReading& reading, DescriptorReadToken* reader, bool& textureSeen) {
    ChannelReference reference{};
    *reading.cell = reading.table.readReference(reader, &reference);
    if (*reading.cell != 0)
        return;
    reading.settings.textureChannel = channelOf(reading.host, reference);
    textureSeen = true;
}

void readCurrentLight(ScriptReading& reading, DescriptorReadToken* reader) {
    int32_t value = 0;
    if (reading.readInteger(reader, value))
        reading.settings.currentLight =
            uint16_t(std::clamp<int64_t>(int64_t(value) - 1, 0, kMaxLights - 1));
}

void readSetting(ScriptReading& reading, DescriptorReadToken*& reader, uint32_t key,
                 bool& textureSeen) {
    Settings& settings = reading.settings;
    if (const ParameterEntry* entry = parameterWithKey(key, false)) {
        readTableSetting(reading, reader, *entry, settings.*entry->setting);
        return;
    }
    bool flag = false;
    double number = 0.0;
    uint16_t rgb[3];
    switch (key) {
    case scriptKey::currentLight:
        readCurrentLight(reading, reader);
        break;
    case scriptKey::whiteIsHigh:
        if (reading.readBoolean(reader, flag))
            settings.whiteIsHigh = flag;
        break;
    case scriptKey::ambientColor:
        if (ReadRgbDescriptor(reading.handles, reading.script, &reader, rgb, reading.cell) &&
            *reading.cell == 0)
            std::copy(rgb, rgb + 3, settings.ambientColor);
        break;
    case scriptKey::imageWidth:
        if (reading.readFloat(reader, number)) {
            settings.imageWidthRatio = float(boundedGeometry(number) * 0.01);
            settings.imageWidthRatioSet = true;
        }
        break;
    case scriptKey::texture:
        readTexture(reading, reader, textureSeen);
        break;
    case scriptKey::lights:
        readLightList(reading, reader);
        break;
    default:
        break; // a key of a later version: skipped
    }
}

// 'CrnL' may name any number (it is clamped to the 16 records when read) and
// may come before the light list: the selected light is kept among the lights
// in use.
void keepCurrentLightInRange(Settings& settings) {
    const uint16_t last = settings.lightCount > 0 ? uint16_t(settings.lightCount - 1) : 0;
    settings.currentLight = std::min(settings.currentLight, last);
}
} // namespace

uint8_t ReadScriptParameters(void* context, HostScriptRecord* script, DescriptorReadToken** reader,
                             int16_t* errorCell) {
    ScriptContext& target = *static_cast<ScriptContext*>(context);
    HostHandleTable* handles = target.host ? target.host->handleTable : nullptr;
    ScriptReading reading{target.settings,      target.host, script,
                          *script->readerTable, handles,     errorCell};
    bool textureSeen = false;
    uint32_t key = 0;
    while (reading.table.nextKey(*reader, &key, nullptr, nullptr)) {
        if (*errorCell != 0)
            break;
        readSetting(reading, *reader, key, textureSeen);
    }
    keepCurrentLightInRange(target.settings);
    if (*errorCell != 0) {
        target.showDialog = true;
        return false;
    }
    if (!textureSeen)
        target.settings.textureChannel = 0;
    target.showDialog = script->playMode == kPlayModeShowDialog;
    return true;
}
