#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/zerafin/plugin_services/descriptor_model.h"

// What a script must pass before it runs (zerafin filter --script, zerafin
// check): the schema the host publishes (docs/script.schema.json, built into
// the host), and a relief channel that the document has. The plug-in itself
// skips unknown keys, brings numbers into their ranges and lights without
// relief when the channel is missing: mistakes the user would never hear of.

// The schema's text, as docs/script.schema.json holds it.
std::string_view publishedSchemaText();

// Every place where the script departs from the schema, one message each;
// empty when it conforms. The text is JSON the host's script reader accepted.
std::vector<std::string> scriptMistakes(const std::string& text);

// When the script's "BmpC" names a channel by name or number that the
// document does not have, a message that lists the channels it has; nullopt
// otherwise. Names are compared as the plug-in compares them: byte for byte.
std::optional<std::string> reliefChannelMistake(const std::string& text,
                                                const std::vector<std::string>& channelNames);

// A script file read for a run or a check.
struct LoadedScript {
    std::optional<Descriptor> descriptor; // nullopt when refused
    std::vector<std::string> messages;    // one per mistake, each naming the file
    bool refusedByCheck = false;          // the plug-in would have read it
};

// The script file as a descriptor of the module's terminology (its resource
// bytes). With `check`, the script must also conform to the schema and, when
// the document's channel names are given, name a relief channel it has.
LoadedScript loadScriptFile(const std::string& path, const std::vector<uint8_t>& terminologyBytes,
                            bool check, const std::vector<std::string>* channelNames);
