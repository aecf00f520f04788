#include "host/zerafin/help.h"

#include <span>

namespace {
struct OptionHelp {
    const char* option;
    const char* meaning;
};

constexpr OptionHelp kPluginOption{"--plugin PATH",
                                   "the filter module (default: the one beside zerafin)"};

constexpr OptionHelp kFilterOptions[] = {
    kPluginOption,
    {"--script FILE.json", "apply the settings of a script"},
    {"--style NAME", "apply a style of the module's style folder (see zerafin styles)"},
    {"--dialog", "set the lights in the plug-in's dialog (Windows only)"},
    {"--record FILE.json", "write the settings applied as a script"},
    {"--params FILE", "read the kept settings from FILE if it exists, and keep them there"},
    {"--channel NAME=GREY.png", "add a grey image (8 or 16 bits) as the channel NAME"},
    {"--area T,L,B,R", "light only this rectangle (top, left, bottom, right in pixels)"},
    {"--threads N", "use N threads (1 to 64; default: one per processor)"},
    {"--quality N", "JPEG quality from 1 to 100 (default 92)"},
    {"--out-dir DIR", "a batch: light every IN, each into DIR under its own name"},
    {"--format EXT", "a batch's format: png (default), jpg, jpeg, bmp or tga"},
    {"--progress", "show the progress of the lighting on stderr"},
    {"--help, -h", "print this help"},
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
    {"--help, -h", "print this help"},
};

constexpr OptionHelp kPluginOnly[] = {kPluginOption, {"--help, -h", "print this help"}};

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
