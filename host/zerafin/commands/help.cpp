#include "host/zerafin/commands/help.h"

#include <span>

namespace {
struct OptionHelp {
    const char* option;
    const char* meaning;
};

constexpr OptionHelp kPluginOption{"--plugin PATH",
                                   "the filter module (Windows host only; default: the "
                                   "Orvane.9zf beside zerafin.exe)"};
constexpr OptionHelp kHelpOption{"--help, -h", "print this help"};
constexpr OptionHelp kEndOfOptions{"--", "what follows is not an option (a file named -h)"};

constexpr OptionHelp kFilterOptions[] = {
    kPluginOption,
    {"--script FILE.json", "apply the settings of a script, checked first (see zerafin check)"},
    {"--no-check", "pass the script to the plug-in as it is, unchecked"},
    {"--style NAME", "apply a style of the module's style folder (see zerafin styles)"},
    {"--dialog", "set the lights in the plug-in's dialog (Windows only)"},
    {"--record FILE.json", "write the settings applied as a script"},
    {"--params FILE", "keep the rendered settings in FILE; without --script or --style, "
                      "repeat them"},
    {"--channel NAME=GREY.png", "add a grey image (8 or 16 bits) as the channel NAME"},
    {"--area T,L,B,R", "light only this rectangle (top, left, bottom, right in pixels)"},
    {"--threads N", "use N threads (1 to 64; default: one per processor)"},
    {"--quality N", "JPEG quality from 1 to 100 (default 92)"},
    {"--out-dir DIR", "a batch: light every IN, each into DIR under its own name"},
    {"--format EXT", "a batch's format: png (default), jpg, jpeg, bmp or tga"},
    {"--progress", "show the progress on stderr (a batch: each image and a summary)"},
    kHelpOption,
    kEndOfOptions,
};

struct CommandHelp {
    Command command;
    const char* synopsis;
    const char* summary;
    std::span<const OptionHelp> options;
};

constexpr OptionHelp kStylesOptions[] = {
    kPluginOption,
    {"--gallery IN OUT", "light IN (reduced) with every style into one labelled sheet OUT"},
    {"--font FILE.ttf", "the labels' font (default: DejaVu Sans of fonts-dejavu-core)"},
    kHelpOption,
};

constexpr OptionHelp kPluginOnly[] = {kPluginOption, kHelpOption};
constexpr OptionHelp kCheckOptions[] = {kPluginOption, kHelpOption, kEndOfOptions};

constexpr CommandHelp kCommands[] = {
    {Command::Info, "zerafin info [--plugin PATH]",
     "Prints what the module says about itself, without running it.", kPluginOnly},
    {Command::About, "zerafin about [--plugin PATH]",
     "Shows the module's about box (Windows only).", kPluginOnly},
    {Command::Styles, "zerafin styles [--plugin PATH] [--gallery IN OUT [--font FILE.ttf]]",
     "Lists the styles beside the module, in alphabetical order; with --gallery, draws them.",
     kStylesOptions},
    {Command::Filter, "zerafin filter (IN OUT | IN... --out-dir DIR) [options]",
     "Lights the image IN and writes OUT as .png, .jpg/.jpeg, .bmp or .tga, after its extension.\n"
     "A batch lights every IN, one after another, with the same settings, into DIR/NAME.EXT\n"
     "(NAME: the input's name without its extension); --dialog, --record and --params are\n"
     "for a single image. An image that fails is reported and skipped, the others are written,\n"
     "and the status says the worst failure (2, or 3 when the plug-in failed).",
     kFilterOptions},
    {Command::Check, "zerafin check SCRIPT.json... [--plugin PATH]",
     "Checks scripts as filter --script does, without lighting anything: every key, type and\n"
     "range against the module's terminology and docs/script.schema.json. Prints each\n"
     "mistake where it lies; the status is 0 when every script conforms, else 2.",
     kCheckOptions},
    {Command::Version, "zerafin --version [--plugin PATH]",
     "Prints the versions of zerafin and of the module.", kPluginOnly},
};

const CommandHelp& helpOf(Command command) {
    for (const CommandHelp& help : kCommands)
        if (help.command == command)
            return help;
    return kCommands[0];
}
} // namespace

std::vector<std::string> optionNames(Command command) {
    std::vector<std::string> names;
    for (const OptionHelp& option : helpOf(command).options) {
        const std::string text = option.option;
        // "--help, -h" names two; "--script FILE.json" one with its value.
        for (size_t start = 0; start < text.size();) {
            const size_t end = text.find_first_of(" ,", start);
            names.push_back(text.substr(start, end - start));
            const size_t next = text.find(", ", start);
            start = next == std::string::npos ? text.size() : next + 2;
        }
    }
    return names;
}

void printUsage(std::FILE* out) {
    std::fputs("usage:\n", out);
    for (const CommandHelp& help : kCommands)
        std::fprintf(out, "  %s\n", help.synopsis);
    std::fputs("  zerafin help COMMAND   (or zerafin COMMAND --help) for a command's options\n",
               out);
}

void printCommandHelp(Command command, std::FILE* out) {
    const CommandHelp& help = helpOf(command);
    std::fprintf(out, "usage: %s\n%s\n", help.synopsis, help.summary);
    if (help.options.empty())
        return;
    std::fputs("options:\n", out);
    for (const OptionHelp& option : help.options)
        std::fprintf(out, "  %-24s %s\n", option.option, option.meaning);
}
