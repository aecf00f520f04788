#include "host/zerafin/commands/filter_command.h"

#include <cstdio>
#include <future>

#include "host/zerafin/commands/host_styles.h"
#include "host/zerafin/commands/info_command.h"
#include "host/zerafin/files/host_files.h"
#include "host/zerafin/files/parameter_file.h"
#include "host/zerafin/image_files/image_io.h"
#include "host/zerafin/module/module_resources.h"
#include "host/zerafin/module/plugin_module.h"
#include "host/zerafin/scripts/script_check.h"
#include "host/zerafin/scripts/script_file.h"
#include "host/zerafin/terminal/messages.h"
#include "protocol/plugin_api.h"
#include "protocol/property_list.h"
#include "protocol/result_codes.h"
#include "protocol/selectors.h"

namespace {
int fail(int status, const std::string& message) {
    printMessage(stderr, message);
    return status;
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
                          std::string& entryName, std::string& error,
                          std::string* moduleName = nullptr) {
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
    const Property* name = findProperty(*list, propertyKey::name);
    if (moduleName && name)
        *moduleName = propertyPascalString(*name).value_or("");
    return true;
}

// The channels' files read up to the first that cannot be, with its reason,
// and the messages their reading printed.
struct ChannelFiles {
    std::vector<ChannelImage> images;
    bool allRead = true;
    std::string error;
    std::vector<std::pair<std::FILE*, std::string>> messages;
};

ChannelFiles readChannelFiles(const CommandLine& line) {
    HeldMessages held;
    ChannelFiles files;
    for (const auto& [name, path] : line.channels) {
        ChannelImage image;
        files.allRead = readChannelImage(path, name, image, files.error);
        if (!files.allRead)
            break;
        files.images.push_back(std::move(image));
    }
    files.messages = held.take();
    return files;
}

// The channels' files, when there are any, are read on a thread of their own
// while the image is read: reading a large image and its relief is otherwise a
// long stretch in which one processor works. Errors and messages come as they
// would from a reading of one file after the other.
bool loadInputs(const CommandLine& line, Document& document, std::string& error) {
    std::future<ChannelFiles> channels;
    if (!line.channels.empty())
        channels = std::async(std::launch::async, readChannelFiles, line);
    const bool imageRead = loadDocument(line.input, document, error);
    ChannelFiles files = channels.valid() ? channels.get() : ChannelFiles{};
    if (!imageRead)
        return false;
    printHeldMessages(files.messages);
    for (ChannelImage& image : files.images)
        if (!addChannel(std::move(image), document, error))
            return false;
    if (!files.allRead) {
        error = files.error;
        return false;
    }
    if (line.area && (line.area->bottom > document.height || line.area->right > document.width)) {
        error = "the area lies outside the " + std::to_string(document.width) + " x " +
                std::to_string(document.height) + " image";
        return false;
    }
    return true;
}

std::vector<std::string> channelNamesOf(const Document& document) {
    std::vector<std::string> names;
    for (const Channel& channel : document.channels)
        names.push_back(channel.name);
    return names;
}

// The --script file as a descriptor, checked before anything runs unless
// --no-check says otherwise; every mistake is printed.
bool loadScript(const CommandLine& line, const ModuleDescription& module, const Document& document,
                std::optional<Descriptor>& script) {
    const std::vector<std::string> channels = channelNamesOf(document);
    LoadedScript loaded =
        loadScriptFile(line.script, module.terminology, line.checkScript, &channels);
    for (const std::string& message : loaded.messages)
        printMessage(stderr, message);
    if (loaded.refusedByCheck)
        printMessage(stderr, "nothing was lit: correct the script, or give --no-check to let the "
                             "plug-in read it as it is");
    script = std::move(loaded.descriptor);
    return script.has_value();
}

// Everything a run needs that can be refused before the plug-in is called.
struct FilterInputs {
    ModuleDescription module;
    std::string entryName, moduleName;
    Document document;
    std::optional<Descriptor> script;
    std::optional<std::vector<uint8_t>> storedParameters;
};

// The files a run writes, each reserved before the plug-in runs.
struct FilterOutputs {
    PendingOutputs files;
    size_t image = 0, params = 0, record = 0;
};

// What the plug-in leaves besides the image, taken from its session when the
// command line asks for it.
struct FilterResults {
    std::optional<Descriptor> recorded;
    std::vector<uint8_t> parameters;
};

// Everything the run writes, written once the plug-in succeeded and put in
// place together only when all of it was written.
int writeResults(const CommandLine& line, const FilterInputs& inputs, const FilterResults& results,
                 FilterOutputs& outputs) {
    std::string error;
    if (!line.record.empty()) {
        const std::optional<Descriptor>& recorded = results.recorded;
        if (!recorded)
            return fail(kExitPluginFailed, "the plug-in recorded no settings; nothing was written");
        const std::string text = scriptFromDescriptor(*recorded);
        if (!outputs.files.write(outputs.record, std::vector<uint8_t>(text.begin(), text.end()),
                                 error))
            return fail(kExitUsage, error + "; nothing was written");
    }
    if (line.qualityGiven && line.outputFormat != ImageFormat::Jpeg)
        printMessage(stderr, "--quality is for JPEG: '" + line.output + "' is written without it");
    if (line.outputFormat == ImageFormat::Jpeg && inputs.document.hasAlpha)
        printMessage(stderr, "JPEG has no alpha channel: '" + line.output +
                                 "' is written without the image's alpha");
    std::vector<uint8_t> encoded;
    if (!encodeImage(line.outputFormat, inputs.document, encoded, error, line.quality) ||
        !outputs.files.write(outputs.image, encoded, error))
        return fail(kExitUsage, error + "; nothing was written");
    if (!line.params.empty() &&
        !outputs.files.write(outputs.params,
                             parameterFileBytes(inputs.moduleName, results.parameters), error))
        return fail(kExitUsage, error + "; nothing was written");
    // Encoding a large image takes a while: an interruption meanwhile still
    // counts. Putting the files in place is the last step, and past it the
    // run is done.
    if (abortRequested())
        return fail(kExitCancelled, "cancelled; nothing was written");
    if (!outputs.files.commit(error))
        return fail(kExitUsage, error);
    return kExitSuccess;
}

// One path of the command line and what it is for.
struct RolePath {
    std::string role, path;
    bool written;
};

// Two paths that name one file would make the run read what it overwrites, or
// write one result over another: a usage error, whatever the paths' spelling.
// The one exception is an image lit in place: the input is read whole before
// the result replaces it through a temporary file.
bool pathsAreDistinct(const CommandLine& line, std::string& error) {
    constexpr size_t kInputImage = 0, kOutputImage = 1;
    std::vector<RolePath> paths = {{"the input image", line.input, false},
                                   {"the output image", line.output, true}};
    for (const auto& [name, path] : line.channels)
        paths.push_back({"the channel '" + name + "'", path, false});
    if (!line.script.empty())
        paths.push_back({"--script", line.script, false});
    if (!line.record.empty())
        paths.push_back({"--record", line.record, true});
    // --params is read and then written again: it may be only itself.
    if (!line.params.empty())
        paths.push_back({"--params", line.params, true});
    std::vector<std::optional<FileIdentity>> identities;
    for (const RolePath& path : paths)
        identities.push_back(identityOf(path.path));
    for (size_t a = 0; a < paths.size(); ++a)
        for (size_t b = a + 1; b < paths.size(); ++b) {
            const bool imageInPlace = a == kInputImage && b == kOutputImage;
            if (!(paths[a].written || paths[b].written) || imageInPlace || !identities[a] ||
                identities[a] != identities[b])
                continue;
            error = paths[a].role + " and " + paths[b].role + " name the same file ('" +
                    paths[a].path + "', '" + paths[b].path + "')";
            return false;
        }
    return true;
}

bool reserveOutputs(const CommandLine& line, FilterOutputs& outputs, std::string& error) {
    return outputs.files.reserve(line.output, outputs.image, error) &&
           (line.params.empty() || outputs.files.reserve(line.params, outputs.params, error)) &&
           (line.record.empty() || outputs.files.reserve(line.record, outputs.record, error));
}

bool loadStoredParameters(const std::string& path, FilterInputs& inputs, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readInputFile(path, "the parameter file", kMaxParameterFileBytes, bytes, error))
        return false;
    inputs.storedParameters.emplace();
    if (readParameterFile(bytes, inputs.moduleName, *inputs.storedParameters, error))
        return true;
    error = "cannot use the parameter file '" + path + "': " + error;
    return false;
}

int gatherInputs(const CommandLine& line, FilterInputs& inputs) {
    std::string error;
#ifndef _WIN32
    if (line.dialog)
        return fail(kExitUsage, "the native host has no dialog; use a script or a style");
#endif
    const bool haveParameters = !line.params.empty() && pathExists(line.params);
    const bool settingsGiven = !line.script.empty() || !line.style.empty() || line.dialog;
    if (!settingsGiven && !haveParameters)
        return fail(kExitUsage,
                    "nothing to apply: give --script, --style, --dialog or a stored --params file");
    if (!settingsGiven && !line.record.empty())
        return fail(kExitUsage, "--record needs the settings themselves (--script, --style or "
                                "--dialog): a stored --params file holds only their rendered form");
    if (!pathsAreDistinct(line, error))
        return fail(kExitUsage, error);
    if (!describeFilterModule(pluginPathOf(line), inputs.module, inputs.entryName, error,
                              &inputs.moduleName))
        return fail(kExitUsage, error);
    if (!loadInputs(line, inputs.document, error))
        return fail(abortRequested() ? kExitCancelled : kExitUsage, error);
    if (!line.script.empty() && !loadScript(line, inputs.module, inputs.document, inputs.script))
        return kExitUsage;
    if (haveParameters && !loadStoredParameters(line.params, inputs, error))
        return fail(kExitUsage, error);
    return kExitSuccess;
}

// The settings the run plays: the script's, the style's, or none.
int playSettings(const CommandLine& line, FilterInputs& inputs, HostSession& session) {
    std::string error;
    std::string folder;
    if (!line.style.empty() &&
        !(styleFolderOf(pluginPathOf(line), folder, error) &&
          (inputs.script = styleDescriptor(folder, line.style, session, error))))
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

std::string failureOf(int16_t code) {
    return "the plug-in failed with result " + std::to_string(code) + meaningOf(code);
}

// An interruption counts from the moment it comes, also while the images are
// read: the plug-in stops at its next look at checkAbort, and whatever it lit
// is not written.
int finishRun(const CommandLine& line, int16_t code, HostSession& session, FilterResults& results) {
    if (code == result::cancelled || abortRequested())
        return fail(kExitCancelled, "cancelled; nothing was written");
    if (code != result::ok)
        return fail(kExitPluginFailed, failureOf(code));
    if (!line.record.empty())
        results.recorded = session.takeRecordedDescriptor();
    if (!line.params.empty())
        results.parameters = session.parameterBytes();
    return kExitSuccess;
}

int runPlugin(const CommandLine& line, FilterInputs& inputs, FilterResults& results,
              const PluginModule& module) {
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

    const int status = finishRun(line, session.runFilter(line.dialog), session, results);
    module.discardState(session.dataSlot);
    return status;
}
} // namespace

struct FilterRun {
    FilterInputs inputs;
    FilterOutputs outputs;
    FilterResults results;
};

FilterRunStages::FilterRunStages(const CommandLine& line) : line(line), run(new FilterRun) {}
FilterRunStages::~FilterRunStages() = default;
FilterRunStages::FilterRunStages(FilterRunStages&&) noexcept = default;

int FilterRunStages::read() {
    if (const int status = gatherInputs(line, run->inputs); status != kExitSuccess)
        return status;
    std::string error;
    if (!reserveOutputs(line, run->outputs, error))
        return fail(kExitUsage, error);
    return kExitSuccess;
}

int FilterRunStages::light() {
    std::string error;
    auto module = PluginModule::load(pluginPathOf(line), run->inputs.entryName, error);
    if (!module)
        return fail(kExitUsage, error);
    return runPlugin(line, run->inputs, run->results, *module);
}

int FilterRunStages::write() {
    return writeResults(line, run->inputs, run->results, run->outputs);
}

int runFilterCommand(const CommandLine& line) {
    FilterRunStages stages(line);
    int status = stages.read();
    if (status == kExitSuccess)
        status = stages.light();
    if (status == kExitSuccess)
        status = stages.write();
    return status;
}

std::unique_ptr<PluginModule> loadFilterModule(const std::string& path, std::string& error) {
    ModuleDescription description;
    std::string entryName;
    if (!describeFilterModule(path, description, entryName, error))
        return nullptr;
    return PluginModule::load(path, entryName, error);
}

int lightWithStyle(const PluginModule& module, const std::string& folder, const std::string& style,
                   Document& document, std::string& error) {
    OwnerWindow owner;
    HostSession session(module.entryPoint(), owner.get());
    session.setDocument(&document);
    const std::optional<Descriptor> script = styleDescriptor(folder, style, session, error);
    int status = kExitSuccess;
    if (!script) {
        status = kExitUsage;
    } else if (!session.playScript(*script, false)) {
        error = "not enough memory for the style";
        status = kExitPluginFailed;
    } else if (const int16_t code = session.runFilter(false);
               code == result::cancelled || abortRequested()) {
        error = "cancelled";
        status = kExitCancelled;
    } else if (code != result::ok) {
        error = failureOf(code);
        status = kExitPluginFailed;
    }
    module.discardState(session.dataSlot);
    return status;
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
