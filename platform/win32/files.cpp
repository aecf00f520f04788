#include "platform/files.h"

#include <cstring>
#include <windows.h>

#include "platform/win32/module_instance.h"

namespace platform {
namespace {
FileHandle asFileHandle(HANDLE handle) {
    return reinterpret_cast<FileHandle>(handle);
}
HANDLE asHandle(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}
} // namespace

static_assert(kNoFile == -1, "INVALID_HANDLE_VALUE is the handle -1");

// Readers share a file; a writer has it to itself.
FileHandle openFileForReading(const char* path) {
    return asFileHandle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool isHeldForWriting(const char* path) {
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

FileHandle openFileForWriting(const char* path) {
    // Windows refuses to replace a write-protected file, but Wine run by the
    // superuser does not: the attribute is tested first.
    if (isWriteProtected(path))
        return kNoFile;
    return asFileHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

int32_t readFile(FileHandle file, void* buffer, uint32_t count) {
    DWORD done = 0;
    if (!ReadFile(asHandle(file), buffer, count, &done, nullptr))
        return -1;
    return int32_t(done);
}

int32_t writeFile(FileHandle file, const void* buffer, uint32_t count) {
    DWORD done = 0;
    if (!WriteFile(asHandle(file), buffer, count, &done, nullptr))
        return -1;
    return int32_t(done);
}

bool closeFile(FileHandle file) {
    return CloseHandle(asHandle(file)) != 0;
}

EntryKind findEntry(const char* path) {
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return EntryKind::Missing;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Folder
                                                               : EntryKind::File;
}

bool createFolder(const char* path) {
    return CreateDirectoryA(path, nullptr) != 0;
}

bool deleteFile(const char* path) {
    return DeleteFileA(path) != 0;
}

bool replaceFile(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}

bool isWriteProtected(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

FolderListing::FolderListing(const char* folderPath) {
    char pattern[kMaxPath];
    const size_t length = std::strlen(folderPath);
    if (length + 4 > kMaxPath)
        return;
    std::memcpy(pattern, folderPath, length);
    std::memcpy(pattern + length, "*.*", 4);
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    search_ = search;
    std::memcpy(name_, found.cFileName, kMaxPath);
    firstPending_ = true;
}

FolderListing::~FolderListing() {
    if (search_)
        FindClose(search_);
}

const char* FolderListing::next() {
    if (!search_)
        return nullptr;
    if (firstPending_) {
        firstPending_ = false;
        return name_;
    }
    WIN32_FIND_DATAA found{};
    if (!FindNextFileA(search_, &found))
        return nullptr;
    std::memcpy(name_, found.cFileName, kMaxPath);
    return name_;
}

bool pluginFilePath(char* buffer, size_t size) {
    const DWORD length = GetModuleFileNameA(moduleInstance(), buffer, DWORD(size));
    return length > 0 && length < size;
}

size_t bytesOfFirstCharacters(const char* name, size_t characters) {
    const size_t length = std::strlen(name);
    return length < characters ? length : characters;
}
} // namespace platform
