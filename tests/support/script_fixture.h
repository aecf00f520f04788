#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/zerafin/plugin_services/descriptor_model.h"
#include "protocol/host_record.h"
#include "protocol/host_tables.h"
#include "shell/plugin_state.h"

// A plug-in state with a measured preview frame, next to a host record that
// offers the handle and property services and this host's script record with
// its descriptor tables: the setting in which the plug-in reads and writes its
// scripting descriptors at start and finish.
class ScriptFixture {
  public:
    // frameSize: the preview frame in preview pixels (even).
    explicit ScriptFixture(int frameSize = 200);
    ~ScriptFixture();
    ScriptFixture(const ScriptFixture&) = delete;
    ScriptFixture& operator=(const ScriptFixture&) = delete;

    // Puts a descriptor into the script record for the next start, and takes
    // out the one the last finish left there. A host record of a whole run can
    // point at `script` to use them.
    void play(const Descriptor& descriptor, int16_t playMode = 0);
    std::optional<Descriptor> takeWritten();

    // Hands the descriptor to the plug-in as at start; the error cell comes back.
    bool read(const Descriptor& descriptor, int16_t& errorCell, int16_t playMode = 0);
    // Lets the plug-in write its settings as at finish.
    Descriptor write(int16_t& errorCell);
    Descriptor write();

    // The document's channels that the property services report ('nuch',
    // 'nmch'); no property services at all when withoutPropertyServices().
    void withoutPropertyServices() { record.propertyTable = nullptr; }

    std::unique_ptr<PluginState> owned;
    PluginState& state;
    HostRecord record{};
    HostScriptRecord script{};
    std::vector<std::string> channelNames{"Rouge", "Vert", "Bleu", "Alpha 1", "Alpha 2"};

  private:
    HostHandleTable handles{};
    HostPropertyTable properties{};
};

// Builders for descriptors as a script would give them.
DescriptorItem integerItem(const char (&key)[5], int32_t value);
DescriptorItem floatItem(const char (&key)[5], double value);
DescriptorItem booleanItem(const char (&key)[5], bool value);
DescriptorItem enumeratedItem(const char (&key)[5], const char (&type)[5], const char (&value)[5]);
DescriptorItem colourItem(const char (&key)[5], double red, double green, double blue);
DescriptorItem pointItem(const char (&key)[5], double horizontal, double vertical);
DescriptorItem channelByEnumItem(const char (&value)[5]);
DescriptorItem channelByIndexItem(int32_t index);
DescriptorItem channelByNameItem(const std::string& name);
// A light of the 'LghS' class with the given properties.
DescriptorValue lightValue(std::vector<DescriptorItem> properties);
DescriptorItem lightListItem(std::vector<DescriptorValue> lights);

// The keys of a descriptor in order, as text ("Glos").
std::vector<std::string> keysOf(const Descriptor& descriptor);
// The value under a key, or null.
const DescriptorValue* find(const Descriptor& descriptor, const char (&key)[5]);
