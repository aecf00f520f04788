#include "host/zerafin/commands/command_line.h"

#include <charconv>

#include "host/zerafin/commands/help.h"
#include "host/zerafin/terminal/suggestions.h"

namespace {
bool parseInt(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

bool parseArea(const std::string& text, Rect16& area) {
    int values[4];
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t comma = text.find(',', start);
        if ((i < 3) != (comma != std::string::npos))
            return false;
        const std::string part =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!parseInt(part, values[i]) || values[i] < 0 || values[i] > 32767)
            return false;
        start = comma + 1;
    }
    area = Rect16{int16_t(values[0]), int16_t(values[1]), int16_t(values[2]), int16_t(values[3])};
    return area.bottom > area.top && area.right > area.left;
}

bool parseCommand(const std::string& word, Command& command) {
    if (word == "info")
        command = Command::Info;
    else if (word == "about")
        command = Command::About;
    else if (word == "styles")
        command = Command::Styles;
    else if (word == "filter")
        command = Command::Filter;
    else if (word == "check")
        command = Command::Check;
    else if (word == "--version")
        command = Command::Version;
    else
        return false;
    return true;
}

bool isHelpOption(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

std::string unknownCommand(const std::string& word) {
    return "unknown command '" + word + "'" +
           didYouMean(word, {"info", "about", "styles", "filter", "check", "help", "--version"});
}

// `zerafin help [COMMAND]`, or --help or -h in its place.
bool parseHelp(const std::vector<std::string>& arguments, CommandLine& line, std::string& error) {
    line.command = Command::Help;
    line.commandGiven = true;
    if (arguments.size() == 1)
        return true; // every command's synopsis
    if (arguments.size() > 2) {
        error = arguments[0] + " takes one command";
        return false;
    }
    Command topic;
    if (!parseCommand(arguments[1], topic)) {
        error = unknownCommand(arguments[1]);
        return false;
    }
    line.helpTopic = topic;
    return true;
}

bool parseOutputFormat(CommandLine& line, std::string& error) {
    const std::optional<ImageFormat> format = imageFormatOfPath(line.output);
    if (!format) {
        error = "the output '" + line.output +
                "' must end in .png, .jpg, .jpeg, .bmp or .tga (its format)";
        return false;
    }
    line.outputFormat = *format;
    return true;
}

// IN... --out-dir DIR: every image gets the same settings and a file of its
// own, so what writes one file for the whole run has no place in it.
bool parseBatch(const std::vector<std::string>& inputs, std::optional<ImageFormat> format,
                CommandLine& line, std::string& error) {
    if (inputs.empty()) {
        error = "--out-dir needs at least one image to light";
        return false;
    }
    if (line.dialog || !line.record.empty() || !line.params.empty()) {
        error = "a batch (--out-dir) applies --script or --style to every image: --dialog, "
                "--record and --params are for a single image";
        return false;
    }
    line.inputs = inputs;
    line.outputFormat = format.value_or(ImageFormat::Png);
    return true;
}

// styles --gallery IN OUT [--font FILE]
bool parseGallery(const std::vector<std::string>& positional, CommandLine& line,
                  std::string& error) {
    if (!line.gallery || positional.size() != 2) {
        error = "styles --gallery needs IN and OUT (and --font only goes with it)";
        return false;
    }
    line.input = positional[0];
    line.output = positional[1];
    return parseOutputFormat(line, error);
}

// Reads a command's arguments after the command's name, in order.
struct OptionParser {
    const std::vector<std::string>& arguments;
    CommandLine& line;
    std::string& error;
    std::optional<ImageFormat> format; // --format
    size_t at = 0;                     // the option being read

    static bool set(bool& flag, bool value) {
        flag = value;
        return true;
    }

    bool takeValue(std::string& into) {
        if (at + 1 >= arguments.size()) {
            error = arguments[at] + " needs a value";
            return false;
        }
        into = arguments[++at];
        return true;
    }

    bool takeNumber(int& into, int lowest, int highest) {
        std::string text;
        if (!takeValue(text))
            return false;
        if (parseInt(text, into) && into >= lowest && into <= highest)
            return true;
        error = arguments[at - 1] + " wants a number from " + std::to_string(lowest) + " to " +
                std::to_string(highest) + ", not '" + text + "'";
        return false;
    }

    bool takeChannel() {
        std::string text;
        if (!takeValue(text))
            return false;
        const size_t equals = text.find('=');
        if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
            error = "--channel wants NAME=GRAY.png, not '" + text + "'";
            return false;
        }
        const std::string name = text.substr(0, equals);
        for (const auto& [given, path] : line.channels)
            if (given == name) {
                error = "the channel '" + name + "' is given twice ('" + path + "' and '" +
                        text.substr(equals + 1) + "'): each channel needs a name of its own";
                return false;
            }
        line.channels.emplace_back(name, text.substr(equals + 1));
        return true;
    }

    bool takeArea() {
        std::string text;
        Rect16 area;
        if (!takeValue(text))
            return false;
        if (!parseArea(text, area)) {
            error = "--area wants T,L,B,R with T < B and L < R, not '" + text + "'";
            return false;
        }
        line.area = area;
        return true;
    }

    bool takeFormat() {
        std::string text;
        if (!takeValue(text))
            return false;
        if (!(format = imageFormatOfPath("." + text))) {
            error = "--format wants png, jpg, jpeg, bmp or tga, not '" + text + "'";
            return false;
        }
        return true;
    }

    bool takeFolder(std::string& into) {
        if (!takeValue(into))
            return false;
        if (into.empty()) {
            error = arguments[at - 1] + " needs a folder's name, not an empty one";
            return false;
        }
        return true;
    }

    // An option of the filter command; false with `handled` clear when the
    // argument is none of them.
    bool filterOption(const std::string& option, bool& handled) {
        handled = true;
        if (option == "--script")
            return takeValue(line.script);
        if (option == "--style")
            return takeValue(line.style);
        if (option == "--record")
            return takeValue(line.record);
        if (option == "--params")
            return takeValue(line.params);
        if (option == "--no-check")
            return set(line.checkScript, false);
        if (option == "--dialog")
            return set(line.dialog, true);
        if (option == "--progress")
            return set(line.progress, true);
        if (option == "--channel")
            return takeChannel();
        if (option == "--area")
            return takeArea();
        if (option == "--threads")
            return takeNumber(line.threads, 1, 64);
        if (option == "--out-dir")
            return takeFolder(line.outDir);
        if (option == "--format")
            return takeFormat();
        if (option == "--quality")
            return set(line.qualityGiven, true) && takeNumber(line.quality, 1, 100);
        handled = false;
        return false;
    }

    bool option(const std::string& option) {
        if (option == "--plugin") {
#ifndef _WIN32
            error = "--plugin is for the Windows host (zerafin.exe): the native host has the "
                    "plug-in linked in";
            return false;
#else
            return takeValue(line.plugin);
#endif
        }
        bool handled = false;
        if (line.command == Command::Filter) {
            const bool taken = filterOption(option, handled);
            if (handled)
                return taken;
        }
        if (line.command == Command::Styles && option == "--gallery")
            return set(line.gallery, true);
        if (line.command == Command::Styles && option == "--font")
            return takeValue(line.font);
        const std::string suggestion = didYouMean(option, optionNames(line.command));
        error =
            "unknown option '" + option + "'" +
            (suggestion.empty() ? " (a file whose name starts with - goes after --)" : suggestion);
        return false;
    }

    // Reads the options and gathers the other arguments in order; "--" ends
    // the options, and "--help" or "-h" where an option may stand asks for
    // the command's help, whatever follows.
    bool parse(std::vector<std::string>& positional) {
        bool optionsEnded = false;
        for (at = 1; at < arguments.size(); ++at) {
            const std::string& argument = arguments[at];
            if (optionsEnded || argument.rfind("--", 0) != 0) {
                if (!optionsEnded && argument == "-h")
                    return askHelp();
                positional.push_back(argument);
            } else if (argument == "--") {
                optionsEnded = true;
            } else if (argument == "--help") {
                return askHelp();
            } else if (!option(argument)) {
                return false;
            }
        }
        return true;
    }

    bool askHelp() {
        line.helpTopic = line.command;
        line.command = Command::Help;
        return true;
    }
};

bool parseFilter(const std::vector<std::string>& positional, std::optional<ImageFormat> format,
                 CommandLine& line, std::string& error) {
    if (!line.outDir.empty()) {
        if (!parseBatch(positional, format, line, error))
            return false;
    } else {
        if (format) {
            error =
                "--format is for batches (--out-dir); a single OUT's extension gives its format";
            return false;
        }
        if (positional.size() != 2) {
            error = positional.size() < 2 ? "filter needs IN and OUT (or IN... --out-dir DIR)"
                                          : "filter takes one IN and one OUT; for several "
                                            "images give --out-dir DIR";
            return false;
        }
        line.input = positional[0];
        line.output = positional[1];
        if (!parseOutputFormat(line, error))
            return false;
    }
    if (!line.script.empty() && !line.style.empty()) {
        error = "--script and --style both give the settings: choose one";
        return false;
    }
    if (!line.checkScript && line.script.empty()) {
        error = "--no-check is for a --script";
        return false;
    }
    return true;
}
} // namespace

bool parseCommandLine(const std::vector<std::string>& arguments, CommandLine& line,
                      std::string& error) {
    if (arguments.empty()) {
        error = "no command given";
        return false;
    }
    if (isHelpOption(arguments[0]) || arguments[0] == "help")
        return parseHelp(arguments, line, error);
    if (!parseCommand(arguments[0], line.command)) {
        error = unknownCommand(arguments[0]);
        return false;
    }
    line.commandGiven = true;
    std::vector<std::string> positional;
    OptionParser options{arguments, line, error};
    if (!options.parse(positional))
        return false;
    if (line.command == Command::Help)
        return true;
    if (line.command == Command::Styles && (line.gallery || !line.font.empty()))
        return parseGallery(positional, line, error);
    if (line.command == Command::Check) {
        line.scriptsToCheck = positional;
        if (positional.empty())
            error = "check needs at least one script";
        return !positional.empty();
    }
    if (line.command == Command::Filter)
        return parseFilter(positional, options.format, line, error);
    if (!positional.empty()) {
        error = "unexpected argument '" + positional[0] + "'";
        return false;
    }
    return true;
}
