#include "host/zerafin/scripts/script_check.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "host/zerafin/files/host_files.h"
#include "host/zerafin/scripts/schema_check.h"
#include "host/zerafin/scripts/script_file.h"
#include "host/zerafin/terminal/suggestions.h"

using json = nlohmann::ordered_json;

namespace {
const json& publishedSchema() {
    static const json schema = json::parse(publishedSchemaText());
    return schema;
}

std::string channelList(const std::vector<std::string>& names) {
    std::string list;
    for (size_t i = 0; i < names.size(); ++i)
        list += (i == 0 ? "" : ", ") + std::to_string(i + 1) + " \"" + names[i] + "\"";
    return list;
}
} // namespace

std::vector<std::string> scriptMistakes(const std::string& text) {
    return schemaFaults(publishedSchema(), json::parse(text));
}

std::optional<std::string> reliefChannelMistake(const std::string& text,
                                                const std::vector<std::string>& channelNames) {
    const json script = json::parse(text);
    if (!script.is_object() || !script.contains("BmpC") || !script["BmpC"].is_object())
        return std::nullopt;
    const json& channel = script["BmpC"];
    const std::string have = "; the document's channels are " + channelList(channelNames) +
                             " (--channel NAME=GREY.png adds one)";
    if (channel.contains("name") && channel["name"].is_string()) {
        const std::string name = channel["name"].get<std::string>();
        if (std::find(channelNames.begin(), channelNames.end(), name) != channelNames.end())
            return std::nullopt;
        return "\"BmpC\" names the channel \"" + name + "\", which the document does not have" +
               didYouMean(name, channelNames) + have;
    }
    if (channel.contains("index") && channel["index"].is_number_integer()) {
        const int64_t index = channel["index"].get<int64_t>();
        if (index >= 1 && uint64_t(index) <= channelNames.size())
            return std::nullopt;
        return "\"BmpC\" names the channel " + std::to_string(index) +
               ", which the document does not have" + have;
    }
    return std::nullopt;
}

LoadedScript loadScriptFile(const std::string& path, const std::vector<uint8_t>& terminologyBytes,
                            bool check, const std::vector<std::string>* channelNames) {
    LoadedScript loaded;
    std::vector<uint8_t> bytes;
    std::string error;
    std::optional<Terminology> terminology;
    if (!readInputFile(path, "the script", kMaxScriptBytes, bytes, error)) {
        loaded.messages.push_back(error);
    } else if (terminologyBytes.empty()) {
        loaded.messages.push_back(
            "the module publishes no scripting terminology to check the script against");
    } else if (!(terminology = parseTerminology(terminologyBytes, error))) {
        loaded.messages.push_back("the module's terminology is malformed: " + error);
    }
    if (!terminology)
        return loaded;
    const std::string text(bytes.begin(), bytes.end());
    const std::string where = "script '" + path + "': ";
    loaded.descriptor = descriptorFromScript(text, *terminology, error);
    if (!loaded.descriptor) {
        loaded.messages.push_back(where + error);
        return loaded;
    }
    if (!check)
        return loaded;
    std::vector<std::string> mistakes = scriptMistakes(text);
    if (channelNames)
        if (const std::optional<std::string> channel = reliefChannelMistake(text, *channelNames))
            mistakes.push_back(*channel);
    for (const std::string& mistake : mistakes)
        loaded.messages.push_back(where + mistake);
    if (!mistakes.empty()) {
        loaded.descriptor.reset();
        loaded.refusedByCheck = true;
    }
    return loaded;
}
