#pragma once
#include <optional>
#include <string>
#include <vector>

#include "host/zerafin/commands/command_line.h"
#include "host/zerafin/plugin_services/descriptor_model.h"

class HostSession;

// The lighting styles in the folder beside a module, as the host applies them
// without the dialog. Names are in the system's code page, as the folder lists
// them and as the command line gives them.

// The style folder beside the module file, ending with the path separator.
// False with a message when the module's folder cannot be known.
bool styleFolderOf(const std::string& modulePath, std::string& folder, std::string& error);

// The names of the style files in the folder, in the order the folder lists
// them; other entries are left out. Empty when the folder is missing.
std::vector<std::string> listStyles(const std::string& folder);

// The script descriptor that applies the named style: the style file read into
// a fresh plug-in state at the frame size it was saved with, then written the
// way the plug-in records its settings, so that every light's geometry comes
// out in percent of the frame whatever the preview's size. Without 'FrmW': the
// plug-in keeps the image width it measures, as its dialog would. The session
// names the document's channels for a texture channel. A name that the style
// library would cut or refuse names no style here: the host never applies
// another file than the one named. Nullopt with a message for the user.
std::optional<Descriptor> styleDescriptor(const std::string& folder, const std::string& name,
                                          HostSession& session, std::string& error);

// The same from a style file's bytes; nullopt with a message when they hold no
// whole style.
std::optional<Descriptor> styleDescriptorOfBytes(const std::vector<uint8_t>& bytes,
                                                 HostSession& session, std::string& error);

// zerafin styles: prints the style names of the module's folder, one a line,
// in UTF-8, in the order a French reader looks them up. Returns the host's exit status.
int runStylesCommand(const CommandLine& line);

// A name in the system's code page as UTF-8 (unchanged where the system's code
// page is UTF-8).
std::string systemTextToUtf8(const std::string& text);
