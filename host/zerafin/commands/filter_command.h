#pragma once
#include <memory>
#include <string>

#include "host/zerafin/commands/command_line.h"
#include "host/zerafin/image_files/document.h"
#include "host/zerafin/module/plugin_module.h"

// zerafin filter: reads the image (and channels), runs the plug-in over it and
// writes the result. Returns the host's exit status.
int runFilterCommand(const CommandLine& line);
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
