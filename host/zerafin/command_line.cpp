#include "host/zerafin/command_line.h"

#include <charconv>

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
    else if (word == "--version")
        command = Command::Version;
    else
        return false;
    return true;
}

bool isHelpOption(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

// `zerafin --help`, `zerafin help [COMMAND]`, or a command with --help or -h
// among its arguments, whatever else they say.
bool parseHelp(const std::vector<std::string>& arguments, CommandLine& line, std::string& error) {
    line.command = Command::Help;
    const bool named = arguments[0] == "help";
    if (named && arguments.size() > 2) {
        error = "help takes one command";
        return false;
    }
    const std::string word = !named ? arguments[0] : arguments.size() == 2 ? arguments[1] : "";
    if (word.empty() || isHelpOption(word))
        return true; // every command's synopsis
    Command topic;
    if (!parseCommand(word, topic)) {
        error = "unknown command '" + word + "'";
        return false;
    }
    line.helpTopic = topic;
    return true;
}

bool wantsHelp(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments)
        if (isHelpOption(argument))
            return true;
    return arguments[0] == "help";
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
} // namespace

bool parseCommandLine(const std::vector<std::string>& arguments, CommandLine& line,
                      std::string& error) {
    if (arguments.empty()) {
        error = "no command given";
        return false;
    }
    if (wantsHelp(arguments))
        return parseHelp(arguments, line, error);
    if (!parseCommand(arguments[0], line.command)) {
        error = "unknown command '" + arguments[0] + "'";
        return false;
    }
    std::vector<std::string> positional;
    std::optional<ImageFormat> format; // --format
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= arguments.size()) {
                error = argument + " needs a value";
                return false;
            }
            into = arguments[++i];
            return true;
        };
        std::string text;
        if (argument == "--plugin") {
            if (!value(line.plugin))
                return false;
        } else if (argument == "--script" && line.command == Command::Filter) {
            if (!value(line.script))
                return false;
        } else if (argument == "--style" && line.command == Command::Filter) {
            if (!value(line.style))
                return false;
        } else if (argument == "--record" && line.command == Command::Filter) {
            if (!value(line.record))
                return false;
        } else if (argument == "--params" && line.command == Command::Filter) {
            if (!value(line.params))
                return false;
        } else if (argument == "--dialog" && line.command == Command::Filter) {
            line.dialog = true;
        } else if (argument == "--progress" && line.command == Command::Filter) {
            line.progress = true;
        } else if (argument == "--channel" && line.command == Command::Filter) {
            if (!value(text))
                return false;
            const size_t equals = text.find('=');
            if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
                error = "--channel wants NAME=GRAY.png, not '" + text + "'";
                return false;
            }
            line.channels.emplace_back(text.substr(0, equals), text.substr(equals + 1));
        } else if (argument == "--area" && line.command == Command::Filter) {
            Rect16 area;
            if (!value(text))
                return false;
            if (!parseArea(text, area)) {
                error = "--area wants T,L,B,R with T < B and L < R, not '" + text + "'";
                return false;
            }
            line.area = area;
        } else if (argument == "--threads" && line.command == Command::Filter) {
            if (!value(text))
                return false;
            if (!parseInt(text, line.threads) || line.threads < 1 || line.threads > 64) {
                error = "--threads wants a number from 1 to 64, not '" + text + "'";
                return false;
            }
        } else if (argument == "--gallery" && line.command == Command::Styles) {
            line.gallery = true;
        } else if (argument == "--font" && line.command == Command::Styles) {
            if (!value(line.font))
                return false;
        } else if (argument == "--out-dir" && line.command == Command::Filter) {
            if (!value(line.outDir))
                return false;
        } else if (argument == "--format" && line.command == Command::Filter) {
            if (!value(text))
                return false;
            if (!(format = imageFormatOfPath("." + text))) {
                error = "--format wants png, jpg, jpeg, bmp or tga, not '" + text + "'";
                return false;
            }
        } else if (argument == "--quality" && line.command == Command::Filter) {
            if (!value(text))
                return false;
            if (!parseInt(text, line.quality) || line.quality < 1 || line.quality > 100) {
                error = "--quality wants a number from 1 to 100, not '" + text + "'";
                return false;
            }
        } else if (argument.rfind("--", 0) == 0) {
            error = "unknown option '" + argument + "'";
            return false;
        } else {
            positional.push_back(argument);
        }
    }
    if (line.command == Command::Styles && (line.gallery || !line.font.empty()))
        return parseGallery(positional, line, error);
    if (line.command != Command::Filter && !positional.empty()) {
        error = "unexpected argument '" + positional[0] + "'";
        return false;
    }
    if (line.command == Command::Filter && !line.outDir.empty()) {
        if (!parseBatch(positional, format, line, error))
            return false;
    } else if (line.command == Command::Filter) {
        if (format) {
            error =
                "--format is for batches (--out-dir); a single OUT's extension gives its format";
            return false;
        }
        if (positional.size() != 2) {
            error = "filter needs IN and OUT (or IN... --out-dir DIR)";
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
    return true;
}
