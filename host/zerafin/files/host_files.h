#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The files the host reads and writes. Inputs are read only from regular files
// and only up to a size; outputs go to a temporary file beside their target and
// replace it only once every output of the run is complete.

// Reads a whole regular file of at most `limit` bytes. False with a message
// naming `what` ("the script") when the path is missing, is a folder or a
// device, is larger, or cannot be read.
bool readInputFile(const std::string& path, const std::string& what, uint64_t limit,
                   std::vector<uint8_t>& bytes, std::string& error);

// True when something exists at the path.
bool pathExists(const std::string& path);
// True when the path names a folder.
bool isFolder(const std::string& path);

// The name after the path's last separator, and a name joined to a folder.
std::string fileNameOf(const std::string& path);
std::string pathInFolder(const std::string& folder, const std::string& name);

// Which file a path names, so that two paths naming one file are noticed
// whatever their spelling (links, "./", case on Windows): the file itself
// when it exists, else its folder and its name in that folder. Nullopt when
// not even the folder exists.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t file = 0;
    std::string nameInFolder; // empty for an existing file
    bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> identityOf(const std::string& path);

// The outputs of one run. Each destination is checked, and its temporary file
// created, before anything runs; the bytes go into the temporary files; and
// only when all of them were written completely does commit put them in place.
// Temporary files left at the end (a failed run) are removed, so a failed run
// changes no file. A destination that is a symbolic link has its target
// replaced, the link staying as it is; a replaced file keeps its permissions
// (and, where the system allows, its owner and group).
class PendingOutputs {
  public:
    PendingOutputs() = default;
    ~PendingOutputs();
    PendingOutputs(const PendingOutputs&) = delete;
    PendingOutputs& operator=(const PendingOutputs&) = delete;

    // Reserves a destination; false with a message when its folder is missing
    // or unwritable, or the path names a folder or a write-protected file.
    // Returns the destination's index through `index`.
    bool reserve(const std::string& path, size_t& index, std::string& error);
    // Writes the destination's bytes into its temporary file.
    bool write(size_t index, const std::vector<uint8_t>& bytes, std::string& error);
    // Moves every written temporary file over its target.
    bool commit(std::string& error);

  private:
    struct Output {
        // The path as given, the file it names (a link's target), and the
        // temporary file beside that file.
        std::string target, destination, temporary;
        bool written = false;
    };
    void discard();
    std::vector<Output> outputs;
};
