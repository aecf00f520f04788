#pragma once
#include "host/zerafin/command_line.h"

// zerafin filter: reads the image (and channels), runs the plug-in over it and
// writes the result. Returns the host's exit status.
int runFilterCommand(const CommandLine& line);
// zerafin about: shows the plug-in's about box.
int runAboutCommand(const CommandLine& line);
