// zerafin: the command-line host. Loads a filter module, drives its selectors
// and reads and writes real image files.
#include <csignal>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "host/zerafin/commands/batch.h"
#include "host/zerafin/commands/command_line.h"
#include "host/zerafin/commands/filter_command.h"
#include "host/zerafin/commands/gallery.h"
#include "host/zerafin/commands/help.h"
#include "host/zerafin/commands/host_styles.h"
#include "host/zerafin/commands/info_command.h"
#include "host/zerafin/module/module_resources.h"
#include "host/zerafin/module/plugin_module.h"
#include "host/zerafin/plugin_services/host_session.h"
#include "host/zerafin/scripts/script_check.h"
#include "host/zerafin/terminal/messages.h"

#ifdef _WIN32
#include <windows.h>

namespace {
BOOL WINAPI onConsoleInterrupt(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    requestAbort();
    return TRUE;
}
void installInterruptHandler() {
    SetConsoleCtrlHandler(onConsoleInterrupt, TRUE);
}
} // namespace
#else
namespace {
void onInterrupt(int) {
    requestAbort();
}
// Being asked to end (by a terminal that closes, or a system that shuts down
// or stops a job) is an interruption too: the run stops and removes its
// temporary files.
void installInterruptHandler() {
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    std::signal(SIGHUP, onInterrupt);
    // A write beyond the process's file size limit fails like a full disk,
    // rather than ending the host before it can clean up.
    std::signal(SIGXFSZ, SIG_IGN);
}
} // namespace
#endif

namespace {
std::string modulePathOf(const CommandLine& line) {
    return line.plugin.empty() ? defaultPluginPath() : line.plugin;
}

// What the module says about itself, read without running it; false with a
// message.
bool describeModule(const CommandLine& line, ModuleDescription& description) {
    std::string error;
    if (readModuleDescription(modulePathOf(line), description, error))
        return true;
    printMessage(stderr, error);
    return false;
}

// zerafin info: what the module says about itself, read without running it.
int runInfo(const CommandLine& line) {
    ModuleDescription description;
    if (!describeModule(line, description))
        return kExitUsage;
    return runInfoCommand(description.propertyList, description.terminology, stdout,
                          description.version ? &*description.version : nullptr);
}

// zerafin --version: the host's version, then the module's as its resources
// give it.
int runVersion(const CommandLine& line) {
    std::printf("zerafin %s\n", kHostVersion);
    ModuleDescription description;
    if (!describeModule(line, description))
        return kExitUsage;
    if (!description.version) {
        printMessage(stderr, "the module '" + modulePathOf(line) + "' carries no version");
        return kExitUsage;
    }
    std::printf("module %s\n", versionText(description.version->fileVersion).c_str());
    return kExitSuccess;
}

// zerafin check SCRIPT...: each script read and checked as filter --script
// reads it, without a document (so its relief channel is not looked for).
int runCheck(const CommandLine& line) {
    ModuleDescription description;
    if (!describeModule(line, description))
        return kExitUsage;
    int status = kExitSuccess;
    for (const std::string& path : line.scriptsToCheck) {
        const LoadedScript loaded = loadScriptFile(path, description.terminology, true, nullptr);
        for (const std::string& message : loaded.messages)
            printMessage(stderr, message);
        if (loaded.descriptor)
            std::printf("%s: conforms\n", printable(path).c_str());
        else
            status = kExitUsage;
    }
    return status;
}

int runHelp(const CommandLine& line) {
    if (line.helpTopic)
        printCommandHelp(*line.helpTopic, stdout);
    else
        printUsage(stdout);
    return kExitSuccess;
}

int runCommand(const CommandLine& line) {
    switch (line.command) {
    case Command::About:
        return runAboutCommand(line);
    case Command::Filter:
        return line.outDir.empty() ? runFilterCommand(line) : runBatchCommand(line);
    case Command::Styles:
        return line.gallery ? runGalleryCommand(line) : runStylesCommand(line);
    case Command::Info:
        return runInfo(line);
    case Command::Check:
        return runCheck(line);
    case Command::Help:
        return runHelp(line);
    case Command::Version:
        return runVersion(line);
    }
    return kExitUsage;
}
} // namespace

int main(int argc, char** argv) {
    try {
        std::vector<std::string> arguments(argv + 1, argv + argc);
        CommandLine line;
        std::string error;
        if (!parseCommandLine(arguments, line, error)) {
            printMessage(stderr, error);
            if (line.commandGiven && line.command != Command::Help)
                printCommandHelp(line.command, stderr);
            else
                printUsage(stderr);
            return kExitUsage;
        }
        installInterruptHandler();
        return runCommand(line);
    } catch (const std::bad_alloc&) {
        printMessage(stderr, "not enough memory; nothing was written");
        return kExitPluginFailed;
    }
}
