// zerafin: the command-line host. Loads a filter module, drives its selectors
// and reads and writes real image files.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "host/zerafin/command_line.h"
#include "host/zerafin/filter_command.h"
#include "host/zerafin/host_session.h"

#ifdef _WIN32
#include <windows.h>

namespace {
BOOL WINAPI onConsoleInterrupt(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    requestAbort();
    return TRUE;
}
void installInterruptHandler() { SetConsoleCtrlHandler(onConsoleInterrupt, TRUE); }
} // namespace
#else
namespace {
void onInterrupt(int) { requestAbort(); }
void installInterruptHandler() { std::signal(SIGINT, onInterrupt); }
} // namespace
#endif

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    CommandLine line;
    std::string error;
    if (!parseCommandLine(arguments, line, error)) {
        std::fprintf(stderr, "zerafin: %s\n%s", error.c_str(), kUsage);
        return kExitUsage;
    }
    installInterruptHandler();
    switch (line.command) {
    case Command::About:
        return runAboutCommand(line);
    case Command::Filter:
        return runFilterCommand(line);
    case Command::Info:
        break;
    }
    std::fprintf(stderr, "zerafin: info is not available yet\n");
    return kExitUsage;
}
