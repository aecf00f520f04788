#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/zerafin/image_files/image_io.h"
#include "protocol/host_record.h"

enum class Command { Info, About, Styles, Filter, Check, Help, Version };

struct CommandLine {
    Command command = Command::Filter;
    bool commandGiven = false; // the command was recognised (a usage error then shows its options)
    std::string plugin;        // empty: the default module
    std::string input, output;
    ImageFormat outputFormat = ImageFormat::Png; // after the output's extension, or --format
    // A batch (--out-dir): every image to light, and the folder their results go to.
    std::vector<std::string> inputs;
    std::string outDir;
    // zerafin styles --gallery IN OUT: the contact sheet of every style, and
    // the font of its labels (empty: the default).
    bool gallery = false;
    std::string font;
    int quality = kDefaultJpegQuality;
    bool qualityGiven = false;
    std::optional<Command> helpTopic; // Command::Help: the command to explain, or all
    std::string script, record, params;
    std::string style;       // a style of the module's style folder, by name
    bool checkScript = true; // --no-check: the script goes to the plug-in as it reads it
    std::vector<std::string> scriptsToCheck; // zerafin check SCRIPT...
    bool dialog = false;
    bool progress = false;
    std::vector<std::pair<std::string, std::string>> channels; // name, grey image path
    std::optional<Rect16> area;
    int threads = 0; // 0: one per processor
};

// Exit statuses of the host.
constexpr int kExitSuccess = 0;
constexpr int kExitCancelled = 1;
constexpr int kExitUsage = 2;
constexpr int kExitPluginFailed = 3;

// Parses the arguments after the program name. False with a message on a
// usage error. "--help" and "-h" ask for help only where an option may stand
// (not as an option's value, nor after "--", which ends the options).
bool parseCommandLine(const std::vector<std::string>& arguments, CommandLine& line,
                      std::string& error);
