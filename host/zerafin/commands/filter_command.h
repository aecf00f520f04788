#pragma once
#include <memory>
#include <string>

#include "host/zerafin/commands/command_line.h"
#include "host/zerafin/image_files/document.h"
#include "host/zerafin/module/plugin_module.h"

// zerafin filter: reads the image (and channels), runs the plug-in over it and
// writes the result. Returns the host's exit status.
int runFilterCommand(const CommandLine& line);
// A run of `zerafin filter` in its three stages, each returning the host's exit
// status (0 to go on to the next): reading the inputs and checking the
// settings (the outputs reserved), lighting, and encoding and writing the
// results. A batch overlaps the stages of consecutive images; they may run on
// different threads, one after the other.
struct FilterRun;
class FilterRunStages {
  public:
    explicit FilterRunStages(const CommandLine& line);
    ~FilterRunStages();
    FilterRunStages(FilterRunStages&&) noexcept;
    FilterRunStages& operator=(FilterRunStages&&) = delete;

    int read();
    int light();
    int write();

  private:
    CommandLine line;
    std::unique_ptr<FilterRun> run;
};

// zerafin about: shows the plug-in's about box.
int runAboutCommand(const CommandLine& line);

// The module at the path, loaded once its description says it is a filter of
// RGB images; null with a message.
std::unique_ptr<PluginModule> loadFilterModule(const std::string& path, std::string& error);

// Lights the document with a style of the folder as `zerafin filter --style`
// does, without a dialog and without writing anything. Returns the host's exit
// status, with a message when it is not 0.
int lightWithStyle(const PluginModule& module, const std::string& folder, const std::string& style,
                   Document& document, std::string& error);
