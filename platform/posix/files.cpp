#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {
constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

// An advisory lock gives the same exclusion between our own programs as the
// Win32 sharing modes: readers share a file, a writer has it to itself. Only
// regular files count: a folder or a device in the style folder must never be
// read as a style, and a pipe must never block the listing (hence the
// non-blocking open).
FileHandle lockRegularFile(int fd, bool forWriting) {
    struct stat status {};
    const bool usable = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                        (!forWriting || (status.st_mode & kAnyWriteBit) != 0) &&
                        flock(fd, (forWriting ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0;
    if (!usable) {
        close(fd);
        return kNoFile;
    }
    return fd;
}
} // namespace

FileHandle openFileForReading(const char* path) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    return fd < 0 ? kNoFile : lockRegularFile(fd, false);
}

FileHandle openFileForWriting(const char* path) {
    // Not truncated at the open: a write-protected or locked file (root may open
    // either) must stay as it is. A link is never followed out of the folder.
    const int fd =
        open(path, O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return kNoFile;
    const FileHandle file = lockRegularFile(fd, true);
    if (file != kNoFile && ftruncate(fd, 0) != 0) {
        close(fd);
        return kNoFile;
    }
    return file;
}

int32_t readFile(FileHandle file, void* buffer, uint32_t count) {
    uint32_t done = 0;
    while (done < count) {
        const ssize_t got = read(int(file), static_cast<char*>(buffer) + done, count - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += uint32_t(got);
    }
    return int32_t(done);
}

int32_t writeFile(FileHandle file, const void* buffer, uint32_t count) {
    uint32_t done = 0;
    while (done < count) {
        const ssize_t put = write(int(file), static_cast<const char*>(buffer) + done, count - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return -1;
        done += uint32_t(put);
    }
    return int32_t(done);
}

bool closeFile(FileHandle file) {
    return close(int(file)) == 0;
}

EntryKind findEntry(const char* path) {
    struct stat status {};
    if (stat(path, &status) != 0)
        return EntryKind::Missing;
    return S_ISDIR(status.st_mode) ? EntryKind::Folder : EntryKind::File;
}

bool createFolder(const char* path) {
    return mkdir(path, 0777) == 0;
}

bool deleteFile(const char* path) {
    struct stat status {};
    if (lstat(path, &status) != 0 || S_ISDIR(status.st_mode))
        return false;
    if (S_ISREG(status.st_mode) && (status.st_mode & kAnyWriteBit) == 0)
        return false;
    return unlink(path) == 0;
}

bool replaceFile(const char* from, const char* to) {
    return std::rename(from, to) == 0;
}

bool isHeldForWriting(const char* path) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status {};
    const bool held = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                      flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    return held;
}

bool isWriteProtected(const char* path) {
    struct stat status {};
    return stat(path, &status) == 0 && (status.st_mode & kAnyWriteBit) == 0;
}

FolderListing::FolderListing(const char* folderPath) : search_(opendir(folderPath)) {}

FolderListing::~FolderListing() {
    if (search_)
        closedir(static_cast<DIR*>(search_));
}

const char* FolderListing::next() {
    if (!search_)
        return nullptr;
    const dirent* entry = readdir(static_cast<DIR*>(search_));
    if (!entry)
        return nullptr;
    std::strncpy(name_, entry->d_name, kMaxPath - 1);
    return name_;
}

bool pluginFilePath(char* buffer, size_t size) {
    const ssize_t length = readlink("/proc/self/exe", buffer, size);
    if (length <= 0 || size_t(length) >= size)
        return false;
    buffer[length] = '\0';
    return true;
}

size_t bytesOfFirstCharacters(const char* name, size_t characters) {
    // A UTF-8 character starts at every byte that is not a continuation byte.
    size_t bytes = 0;
    size_t counted = 0;
    for (; name[bytes] != '\0'; ++bytes) {
        const bool startsCharacter = (uint8_t(name[bytes]) & 0xC0) != 0x80;
        if (startsCharacter && counted++ == characters)
            break;
    }
    return bytes;
}
} // namespace platform
