#include "host/zerafin/filter_command.h"

#include <cstdio>

#include "host/zerafin/host_styles.h"
#include "host/zerafin/image_io.h"
#include "host/zerafin/info_command.h"
#include "host/zerafin/module_resources.h"
#include "host/zerafin/plugin_module.h"
#include "host/zerafin/script_file.h"
#include "protocol/plugin_api.h"
#include "protocol/result_codes.h"
#include "protocol/selectors.h"

namespace {
int fail(int status, const std::string& message) {
    std::fprintf(stderr, "zerafin: %s\n", message.c_str());
    return status;
}

bool fileExists(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file)
        std::fclose(file);
    return file != nullptr;
}

std::string pluginPathOf(const CommandLine& line) {
    return line.plugin.empty() ? defaultPluginPath() : line.plugin;
}

// The hidden window that owns the plug-in's dialogs, for as long as a run lasts.
class OwnerWindow {
  public:
    OwnerWindow() : window(createOwnerWindow()) {}
    ~OwnerWindow() { destroyOwnerWindow(window); }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    void* get() const { return window; }

  private:
    void* window;
};

// What the module tells the host before any of its code runs: it must be a
// filter that works on RGB images. The entry point is the one 'wx86' names.
bool describeFilterModule(const std::string& path, ModuleDescription& module,
                          std::string& entryName, std::string& error) {
    if (!readModuleDescription(path, module, error))
        return false;
    const std::optional<PropertyList> list = parsePropertyList(module.propertyList, error);
    if (!list) {
        error = "the module's property list is unreadable: " + error;
        return false;
    }
    if (!checkFilterModule(*list, error, entryName)) {
        error = "'" + path + "' cannot run here: " + error;
        return false;
    }
    return true;
}

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

// The --script file as a descriptor, its values checked against the module's
// terminology before anything runs.
std::optional<Descriptor> loadScript(const std::string& path, const ModuleDescription& module,
                                     std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        error = "cannot read the script '" + path + "'";
        return std::nullopt;
    }
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
        error = "script '" + path + "': " + error;
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

// Everything a run needs that can be refused before the plug-in is called.
struct FilterInputs {
    ModuleDescription module;
    std::string entryName;
    Document document;
    std::optional<Descriptor> script;
    std::optional<std::vector<uint8_t>> storedParameters;
};

int gatherInputs(const CommandLine& line, FilterInputs& inputs) {
    std::string error;
#ifndef _WIN32
    if (line.dialog)
        return fail(kExitUsage, "the native host has no dialog; use a script or a style");
#endif
    const bool haveParameters = !line.params.empty() && fileExists(line.params);
    if (line.script.empty() && line.style.empty() && !line.dialog && !haveParameters)
        return fail(kExitUsage,
                    "nothing to apply: give --script, --style, --dialog or a stored --params file");
    if (!describeFilterModule(pluginPathOf(line), inputs.module, inputs.entryName, error))
        return fail(kExitUsage, error);
    if (!loadInputs(line, inputs.document, error))
        return fail(kExitUsage, error);
    if (!line.script.empty() && !(inputs.script = loadScript(line.script, inputs.module, error)))
        return fail(kExitUsage, error);
    if (haveParameters) {
        inputs.storedParameters.emplace();
        if (!readWholeFile(line.params, *inputs.storedParameters))
            return fail(kExitUsage, "cannot read '" + line.params + "'");
    }
    return kExitSuccess;
}

// The settings the run plays: the script's, the style's, or none.
int playSettings(const CommandLine& line, FilterInputs& inputs, HostSession& session) {
    std::string error;
    if (!line.style.empty() && !(inputs.script = styleDescriptor(styleFolderOf(pluginPathOf(line)),
                                                                 line.style, session, error)))
        return fail(kExitUsage, error);
    if (inputs.script && !session.playScript(*inputs.script, line.dialog))
        return fail(kExitPluginFailed, "not enough memory for the script");
    return kExitSuccess;
}

// What a plug-in's result code means, for the message of a failed run.
std::string meaningOf(int16_t code) {
    switch (code) {
    case result::missingResource:
        return " (a resource of the module is missing, or its dialog is not available)";
    case result::outOfMemory:
        return " (not enough memory)";
    case result::unknownSelector:
        return " (the module does not know that call)";
    case result::notRgbMode:
        return " (the module works on RGB images only)";
    case result::hostServiceMissing:
        return " (the module misses a service of the host)";
    default:
        return "";
    }
}

// An interruption counts from the moment it comes, also while the images are
// read: the plug-in stops at its next look at checkAbort, and whatever it lit
// is not written.
int finishRun(const CommandLine& line, int16_t code, HostSession& session,
              const Document& document) {
    if (code == 1 || abortRequested())
        return fail(kExitCancelled, "cancelled; nothing was written");
    if (code != 0)
        return fail(kExitPluginFailed,
                    "the plug-in failed with result " + std::to_string(code) + meaningOf(code));
    return writeResults(line, session, document);
}

int runPlugin(const CommandLine& line, FilterInputs& inputs, const PluginModule& module) {
    OwnerWindow owner;
    HostSession session(module.entryPoint(), owner.get());
    session.setDocument(&inputs.document);
    if (line.area)
        session.setArea(*line.area);
    session.showProgress = line.progress;
    PIThreadsSetCount(int16_t(line.threads));
    if (inputs.storedParameters)
        session.setParameterBytes(*inputs.storedParameters);
    if (const int status = playSettings(line, inputs, session); status != kExitSuccess)
        return status;

    const int status = finishRun(line, session.runFilter(line.dialog), session, inputs.document);
    module.discardState(session.dataSlot);
    return status;
}
} // namespace

int runFilterCommand(const CommandLine& line) {
    FilterInputs inputs;
    if (const int status = gatherInputs(line, inputs); status != kExitSuccess)
        return status;
    std::string error;
    auto module = PluginModule::load(pluginPathOf(line), inputs.entryName, error);
    if (!module)
        return fail(kExitUsage, error);
    return runPlugin(line, inputs, *module);
}

int runAboutCommand(const CommandLine& line) {
#ifndef _WIN32
    (void)line;
    return fail(kExitUsage, "the native host has no about box");
#else
    ModuleDescription description;
    std::string entryName, error;
    if (!describeFilterModule(pluginPathOf(line), description, entryName, error))
        return fail(kExitUsage, error);
    auto module = PluginModule::load(pluginPathOf(line), entryName, error);
    if (!module)
        return fail(kExitUsage, error);
    OwnerWindow owner;
    HostSession session(module->entryPoint(), owner.get());
    const int16_t code = session.showAbout();
    session.call(SelectorFinish);
    module->discardState(session.dataSlot);
    return code == 0 ? kExitSuccess
                     : fail(kExitPluginFailed, "about failed with " + std::to_string(code));
#endif
}
