#include "tests/support/script_fixture.h"

#include "shell/script_io.h"

#include <cstring>

#include "host/plugin_dll/point_descriptor.h"
#include "protocol/four_cc.h"
#include "protocol/host_tables.h"
#include "protocol/plugin_api.h"
#include "scripting/script_parameters.h"

namespace {
ScriptFixture* current = nullptr;
constexpr int16_t kNoSuchProperty = -1;

void disposeHandle(Handle handle) {
    HostDisposeHandle(nullptr, handle);
}
int32_t getHandleSize(Handle handle) {
    return HostGetHandleSize(nullptr, handle);
}

int16_t queryProperty(uint32_t signature, uint32_t key, int16_t index, intptr_t* simple,
                      Handle* complex) {
    if (!current || signature != kHostSignature)
        return kNoSuchProperty;
    const std::vector<std::string>& names = current->channelNames;
    if (key == hostProperty::channelCount) {
        *simple = intptr_t(names.size());
        return 0;
    }
    if (key != hostProperty::channelName || index < 0 || size_t(index) >= names.size())
        return kNoSuchProperty;
    const std::string& name = names[size_t(index)];
    *complex = NewHandle(int32_t(name.size()));
    std::memcpy(**complex, name.data(), name.size());
    return 0;
}
} // namespace

ScriptFixture::ScriptFixture(int frameSize) : owned(new PluginState), state(*owned) {
    handles.disposeHandle = disposeHandle;
    handles.getHandleSize = getHandleSize;
    properties.queryProperty = queryProperty;
    record.handleTable = &handles;
    record.propertyTable = &properties;
    script = HostScriptRecord{1, 0, 0, 0, nullptr, hostWriterTable(), hostReaderTable()};
    record.scriptRecord = &script;
    state.run.host = &record;
    state.settings.frameCorner = {20, 10};
    state.settings.frameCenter = {uint16_t(20 + frameSize / 2), uint16_t(10 + frameSize / 2)};
    state.preview.width = int16_t(frameSize * 3 / 4);
    current = this;
}

ScriptFixture::~ScriptFixture() {
    HostDisposeHandle(nullptr, script.descriptor);
    current = nullptr;
}

void ScriptFixture::play(const Descriptor& descriptor, int16_t playMode) {
    HostDisposeHandle(nullptr, script.descriptor);
    script.descriptor = descriptorToHandle(descriptor);
    script.playMode = playMode;
}

std::optional<Descriptor> ScriptFixture::takeWritten() {
    std::optional<Descriptor> written = descriptorFromHandle(script.descriptor);
    HostDisposeHandle(nullptr, script.descriptor);
    script.descriptor = nullptr;
    return written;
}

bool ScriptFixture::read(const Descriptor& descriptor, int16_t& errorCell, int16_t playMode) {
    play(descriptor, playMode);
    return readScriptParameters(record, state, &errorCell);
}

Descriptor ScriptFixture::write(int16_t& errorCell) {
    errorCell = 0;
    writeScriptParameters(record, state, &errorCell);
    return takeWritten().value_or(Descriptor{});
}

Descriptor ScriptFixture::write() {
    int16_t errorCell = 0;
    return write(errorCell);
}

DescriptorItem integerItem(const char (&key)[5], int32_t value) {
    return {fourCC(key), DescriptorValue::makeInteger(value)};
}

DescriptorItem floatItem(const char (&key)[5], double value) {
    return {fourCC(key), DescriptorValue::makeFloat(value)};
}

DescriptorItem booleanItem(const char (&key)[5], bool value) {
    return {fourCC(key), DescriptorValue::makeBoolean(value)};
}

DescriptorItem enumeratedItem(const char (&key)[5], const char (&type)[5], const char (&value)[5]) {
    return {fourCC(key), DescriptorValue::makeEnumerated(fourCC(type), fourCC(value))};
}

DescriptorItem colourItem(const char (&key)[5], double red, double green, double blue) {
    Descriptor colour{{floatItem("Rd  ", red), floatItem("Grn ", green), floatItem("Bl  ", blue)}};
    return {fourCC(key), DescriptorValue::makeObject(fourCC("RGBC"), colour)};
}

DescriptorItem pointItem(const char (&key)[5], double horizontal, double vertical) {
    Descriptor point{{{pointDescriptor::horizontal, DescriptorValue::makeFloat(horizontal)},
                      {pointDescriptor::vertical, DescriptorValue::makeFloat(vertical)}}};
    return {fourCC(key), DescriptorValue::makeObject(pointDescriptor::objectClass, point)};
}

namespace {
DescriptorItem channelItem(const ChannelReference& reference) {
    return {fourCC("BmpC"), DescriptorValue::makeReference(reference)};
}
} // namespace

DescriptorItem channelByEnumItem(const char (&value)[5]) {
    ChannelReference reference{};
    reference.desiredClass = fourCC("Chnl");
    reference.form = fourCC("Enmr");
    reference.type = fourCC("Chnl");
    reference.value = fourCC(value);
    return channelItem(reference);
}

DescriptorItem channelByIndexItem(int32_t index) {
    ChannelReference reference{};
    reference.desiredClass = fourCC("Chnl");
    reference.form = fourCC("indx");
    reference.index = index;
    return channelItem(reference);
}

DescriptorItem channelByNameItem(const std::string& name) {
    ChannelReference reference{};
    reference.desiredClass = fourCC("Chnl");
    reference.form = fourCC("name");
    reference.name[0] = uint8_t(name.size());
    std::memcpy(reference.name + 1, name.data(), name.size());
    return channelItem(reference);
}

DescriptorValue lightValue(std::vector<DescriptorItem> properties) {
    return DescriptorValue::makeObject(fourCC("LghS"), Descriptor{std::move(properties)});
}

DescriptorItem lightListItem(std::vector<DescriptorValue> lights) {
    return {fourCC("LghS"), DescriptorValue::makeList(std::move(lights))};
}

std::vector<std::string> keysOf(const Descriptor& descriptor) {
    std::vector<std::string> keys;
    for (const DescriptorItem& item : descriptor.items)
        keys.push_back(
            {char(item.key >> 24), char(item.key >> 16), char(item.key >> 8), char(item.key)});
    return keys;
}

const DescriptorValue* find(const Descriptor& descriptor, const char (&key)[5]) {
    for (const DescriptorItem& item : descriptor.items)
        if (item.key == fourCC(key))
            return &item.value;
    return nullptr;
}
