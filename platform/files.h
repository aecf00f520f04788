#pragma once
#include <cstddef>
#include <cstdint>

// The files and folders the style library works on. Paths and names are in the
// system's code page: Windows-1252 (one byte a character) on Win32, UTF-8 on
// the native build. Every path fits a buffer of kMaxPath characters.
namespace platform {
constexpr size_t kMaxPath = 260;

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// An open file; kNoFile when none.
using FileHandle = intptr_t;
constexpr FileHandle kNoFile = -1;

// Opens an existing regular file for reading, shared with other readers but
// with no writer.
FileHandle openFileForReading(const char* path);
// Creates a regular file, or empties an existing one, for writing with
// exclusive access. A write-protected file is refused.
FileHandle openFileForWriting(const char* path);
// The bytes read (fewer at the end of the file), or -1 on failure.
int32_t readFile(FileHandle file, void* buffer, uint32_t count);
// The bytes written, or -1 on failure.
int32_t writeFile(FileHandle file, const void* buffer, uint32_t count);
bool closeFile(FileHandle file);

enum class EntryKind { Missing, File, Folder };
// What the path names, looked up as the folder listing sees it.
EntryKind findEntry(const char* path);
bool createFolder(const char* path);
// Deletes a file; a write-protected file or a folder is refused.
bool deleteFile(const char* path);
// True when the regular file exists and someone holds it open for writing.
bool isHeldForWriting(const char* path);
// True when the file exists and carries the write protection.
bool isWriteProtected(const char* path);
// Puts the file `from` in the place of `to` in one step, replacing `to` when it
// exists: `to` is then either its old self or the new file whole, never a
// mixture or nothing.
bool replaceFile(const char* from, const char* to);

// Walks the entries of a folder in the order the system lists them, the
// folder's own entries ("." and "..") included.
class FolderListing {
  public:
    // folderPath ends with the path separator.
    explicit FolderListing(const char* folderPath);
    ~FolderListing();
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    // The next entry's name, or null at the end or when the folder cannot be
    // listed. The name stays valid until the next call.
    const char* next();

  private:
    void* search_ = nullptr;
    [[maybe_unused]] bool firstPending_ = false; // Windows only
    char name_[kMaxPath] = {};
};

// The full path of the plug-in's module file (on the native build the plug-in
// is linked into the running program); false when it does not fit the buffer.
bool pluginFilePath(char* buffer, size_t size);

// How many bytes the first `characters` characters of a name take (all of it
// when it is shorter).
size_t bytesOfFirstCharacters(const char* name, size_t characters);
} // namespace platform
