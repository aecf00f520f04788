#pragma once
#include <optional>
#include <string>
#include <vector>

#include "host/zerafin/commands/command_line.h"
#include "host/zerafin/image_files/image_io.h"

// zerafin filter IN... --out-dir DIR: the same settings applied to several
// images, one full run after another.

// The file an input is written to: its name without its extension, in the
// folder, with the format's extension ("photos/a.jpg" to "out/a.png").
std::string batchOutputPath(const std::string& input, const std::string& folder,
                            ImageFormat format);

// Two inputs written to one file, or an output that would replace another
// input before that input is read: the message naming both, or nullopt. An
// input may be its own output (lit in place, as a single run may). Paths are
// compared as the files they name.
std::optional<std::string> batchClash(const std::vector<std::string>& inputs,
                                      const std::vector<std::string>& outputs);

// Runs the batch: no settings to apply, a clash or a missing folder is a usage
// error before anything runs; with --progress each image is named as it
// starts and a summary (lit, skipped, failed, time) ends the batch; an image that fails is reported
// and skipped, and the others are written. The status is 0 when every image was written, 1 as soon
// as the user interrupts (the images not yet lit are not), else the worst status of the images that
// failed (3 when the plug-in failed on one, else 2).
int runBatchCommand(const CommandLine& line);
