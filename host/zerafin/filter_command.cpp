#include "host/zerafin/filter_command.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "host/zerafin/image_io.h"
#include "host/zerafin/module_resources.h"
#include "host/zerafin/plugin_module.h"
#include "host/zerafin/script_file.h"
#include "shell/plugin_api.h"

namespace {
constexpr const char* kEntryPointName = "ENTRYPOINT1";

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "zerafin: %s\n", message.c_str());
    return status;
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

bool fileExists(const std::string& path) { return std::ifstream(path).good(); }

bool loadInputs(const CommandLine& line, Document& document, std::string& error) {
    if (!loadDocument(line.input, document, error))
        return false;
    for (const auto& [name, path] : line.channels)
        if (!loadChannel(path, name, document, error))
            return false;
    if (line.area && (line.area->bottom > document.height || line.area->right > document.width)) {
        error = "the area lies outside the " + std::to_string(document.width) + " x " +
                std::to_string(document.height) + " image";
        return false;
    }
    return true;
}

std::string pluginPathOf(const CommandLine& line) {
    return line.plugin.empty() ? defaultPluginPath() : line.plugin;
}

// The --script file as a descriptor, its values checked against the module's
// terminology before anything runs.
std::optional<Descriptor> loadScript(const CommandLine& line, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(line.script, bytes)) {
        error = "cannot read the script '" + line.script + "'";
        return std::nullopt;
    }
    ModuleDescription module;
    if (!readModuleDescription(pluginPathOf(line), module, error))
        return std::nullopt;
    if (module.terminology.empty()) {
        error = "the module publishes no scripting terminology to check the script against";
        return std::nullopt;
    }
    const std::optional<Terminology> terminology = parseTerminology(module.terminology, error);
    if (!terminology) {
        error = "the module's terminology is malformed: " + error;
        return std::nullopt;
    }
    std::optional<Descriptor> descriptor =
        descriptorFromScript(std::string(bytes.begin(), bytes.end()), *terminology, error);
    if (!descriptor)
        error = "script '" + line.script + "': " + error;
    return descriptor;
}

// Everything the run writes, written only once the plug-in succeeded.
int writeResults(const CommandLine& line, HostSession& session, const Document& document) {
    std::string error;
    std::vector<uint8_t> recording;
    if (!line.record.empty()) {
        const std::optional<Descriptor> recorded = session.takeRecordedDescriptor();
        if (!recorded)
            return fail(kExitPluginFailed, "the plug-in recorded no settings; nothing was written");
        const std::string text = scriptFromDescriptor(*recorded);
        recording.assign(text.begin(), text.end());
    }
    if (!savePng(line.output, document, error))
        return fail(kExitUsage, error);
    if (!line.params.empty() && !writeWholeFile(line.params, session.parameterBytes(), error))
        return fail(kExitUsage, error);
    if (!line.record.empty() && !writeWholeFile(line.record, recording, error))
        return fail(kExitUsage, error);
    return kExitSuccess;
}
} // namespace

int runFilterCommand(const CommandLine& line) {
    std::string error;
    Document document;
    if (!loadInputs(line, document, error))
        return fail(kExitUsage, error);
#ifndef _WIN32
    if (line.dialog)
        return fail(kExitUsage, "the native host has no dialog; use a script");
#endif
    const bool storedParameters = !line.params.empty() && fileExists(line.params);
    if (line.script.empty() && !line.dialog && !storedParameters)
        return fail(kExitUsage, "nothing to apply: give --script, --dialog or a stored --params file");
    std::optional<Descriptor> script;
    if (!line.script.empty() && !(script = loadScript(line, error)))
        return fail(kExitUsage, error);

    auto module = PluginModule::load(pluginPathOf(line), kEntryPointName, error);
    if (!module)
        return fail(kExitUsage, error);
    void* owner = createOwnerWindow();
    HostSession session(module->entryPoint(), owner);
    session.setDocument(&document);
    if (line.area)
        session.setArea(*line.area);
    session.showProgress = line.progress;
    PIThreadsSetCount(int16_t(line.threads));
    if (storedParameters) {
        std::vector<uint8_t> bytes;
        if (!readWholeFile(line.params, bytes))
            return fail(kExitUsage, "cannot read '" + line.params + "'");
        session.setParameterBytes(bytes);
    }
    if (script && !session.playScript(*script, line.dialog))
        return fail(kExitPluginFailed, "not enough memory for the script");

    clearAbortRequest();
    const int16_t code = session.runFilter(line.dialog);
    destroyOwnerWindow(owner);
    if (code == 1 || abortRequested())
        return fail(kExitCancelled, "cancelled; nothing was written");
    if (code != 0)
        return fail(kExitPluginFailed, "the plug-in failed with result " + std::to_string(code));
    return writeResults(line, session, document);
}

int runAboutCommand(const CommandLine& line) {
#ifndef _WIN32
    (void)line;
    return fail(kExitUsage, "the native host has no about box");
#else
    std::string error;
    auto module = PluginModule::load(pluginPathOf(line), kEntryPointName, error);
    if (!module)
        return fail(kExitUsage, error);
    void* owner = createOwnerWindow();
    HostSession session(module->entryPoint(), owner);
    const int16_t code = session.showAbout();
    session.call(5);
    destroyOwnerWindow(owner);
    return code == 0 ? kExitSuccess : fail(kExitPluginFailed, "about failed with " + std::to_string(code));
#endif
}
