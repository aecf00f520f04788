#pragma once
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "host/zerafin/commands/command_line.h"

// The host's version, printed by --version beside the module's.
constexpr const char* kHostVersion = "1.1";

// The synopsis of every command, one line each, as printed after a usage error
// and by `zerafin --help`.
void printUsage(std::FILE* out);

// The usage of one command: its synopsis, what it does, then one line per
// option.
void printCommandHelp(Command command, std::FILE* out);

// The options a command takes, as its help lists them ("--style", "-h"), for
// the suggestion after an unknown option.
std::vector<std::string> optionNames(Command command);
