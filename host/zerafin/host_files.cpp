#include "host/zerafin/host_files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#define getpid _getpid
#else
#include <unistd.h>
#define O_BINARY 0
#endif

namespace {
#ifdef _WIN32
constexpr const char* kSeparators = "\\/";
#else
constexpr const char* kSeparators = "/";
#endif

std::string reasonOf(int number) {
    return std::strerror(number);
}

// The folder part of a path ("." when there is none) and the name after it.
void splitPath(const std::string& path, std::string& folder, std::string& name) {
    const size_t separator = path.find_last_of(kSeparators);
    if (separator == std::string::npos) {
        folder = ".";
        name = path;
        return;
    }
    folder = separator == 0 ? path.substr(0, 1) : path.substr(0, separator);
    name = path.substr(separator + 1);
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int descriptor) : descriptor(descriptor) {}
    ~FileDescriptor() {
        if (descriptor >= 0)
            close(descriptor);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return descriptor; }
    // Closes now; false when the system reports a failure (data not written).
    bool closeNow() {
        const int closed = close(descriptor);
        descriptor = -1;
        return closed == 0;
    }

  private:
    int descriptor;
};

#ifdef _WIN32
std::optional<FileIdentity> existingIdentity(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(file, &information);
    CloseHandle(file);
    if (!known)
        return std::nullopt;
    return FileIdentity{information.dwVolumeSerialNumber,
                        uint64_t(information.nFileIndexHigh) << 32 | information.nFileIndexLow,
                        {}};
}

// Windows compares names without regard to case.
std::string comparableName(std::string name) {
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return name;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
#else
std::optional<FileIdentity> existingIdentity(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileIdentity{uint64_t(status.st_dev), uint64_t(status.st_ino), {}};
}

std::string comparableName(const std::string& name) {
    return name;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}
#endif

// Writes every byte, also when the system takes them in several pieces.
bool writeAll(int descriptor, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const unsigned piece = unsigned(std::min<size_t>(bytes.size() - done, 1u << 20));
        const auto written = ::write(descriptor, bytes.data() + done, piece);
        if (written <= 0)
            return false;
        done += size_t(written);
    }
    return true;
}
} // namespace

bool readInputFile(const std::string& path, const std::string& what, uint64_t limit,
                   std::vector<uint8_t>& bytes, std::string& error) {
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_BINARY));
    struct stat status {};
    if (file.get() < 0 || fstat(file.get(), &status) != 0) {
        error = "cannot open " + what + " '" + path + "': " + reasonOf(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = what + " '" + path + "' is not a regular file";
        return false;
    }
    if (uint64_t(status.st_size) > limit) {
        error = what + " '" + path + "' is larger than " + std::to_string(limit) + " bytes";
        return false;
    }
    // The size may change while the file is read: never read beyond the limit.
    bytes.assign(size_t(status.st_size), 0);
    size_t done = 0;
    uint8_t probe = 0;
    while (done < bytes.size()) {
        const auto count = ::read(file.get(), bytes.data() + done, unsigned(bytes.size() - done));
        if (count < 0) {
            error = "cannot read " + what + " '" + path + "': " + reasonOf(errno);
            return false;
        }
        if (count == 0)
            break;
        done += size_t(count);
    }
    bytes.resize(done);
    if (::read(file.get(), &probe, 1) > 0) {
        error = what + " '" + path + "' changed while it was read";
        return false;
    }
    return true;
}

bool pathExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

bool isFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string fileNameOf(const std::string& path) {
    std::string folder, name;
    splitPath(path, folder, name);
    return name;
}

std::string pathInFolder(const std::string& folder, const std::string& name) {
    const bool ends = !folder.empty() && std::strchr(kSeparators, folder.back()) != nullptr;
    return ends ? folder + name : folder + kSeparators[0] + name;
}

std::optional<FileIdentity> identityOf(const std::string& path) {
    if (std::optional<FileIdentity> existing = existingIdentity(path))
        return existing;
    std::string folder, name;
    splitPath(path, folder, name);
    std::optional<FileIdentity> inFolder = existingIdentity(folder);
    if (inFolder)
        inFolder->nameInFolder = comparableName(name);
    return inFolder;
}

PendingOutputs::~PendingOutputs() {
    discard();
}

void PendingOutputs::discard() {
    for (const Output& output : outputs)
        std::remove(output.temporary.c_str());
    outputs.clear();
}

bool PendingOutputs::reserve(const std::string& path, size_t& index, std::string& error) {
    struct stat status {};
    if (stat(path.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) {
            error = "cannot write '" + path + "': it is not a regular file";
            return false;
        }
        if ((status.st_mode & S_IWUSR) == 0) {
            error = "cannot write '" + path + "': the file is write-protected";
            return false;
        }
    }
    std::string folder, name;
    splitPath(path, folder, name);
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = folder + kSeparators[0] + ".zerafin-" +
                                      std::to_string(getpid()) + "-" + std::to_string(serial++) +
                                      ".tmp";
        const int descriptor =
            open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0666);
        if (descriptor < 0 && errno == EEXIST)
            continue;
        if (descriptor < 0) {
            error = "cannot write '" + path + "': " + reasonOf(errno);
            return false;
        }
        close(descriptor);
        index = outputs.size();
        outputs.push_back({path, temporary});
        return true;
    }
    error = "cannot write '" + path + "': no temporary file can be made beside it";
    return false;
}

bool PendingOutputs::write(size_t index, const std::vector<uint8_t>& bytes, std::string& error) {
    Output& output = outputs.at(index);
    FileDescriptor file(open(output.temporary.c_str(), O_WRONLY | O_TRUNC | O_BINARY));
    if (file.get() < 0 || !writeAll(file.get(), bytes) || !file.closeNow()) {
        error = "cannot write '" + output.target + "': " + reasonOf(errno);
        return false;
    }
    output.written = true;
    return true;
}

bool PendingOutputs::commit(std::string& error) {
    for (const Output& output : outputs)
        if (!output.written) {
            error = "'" + output.target + "' was not written";
            return false;
        }
    for (size_t i = 0; i < outputs.size(); ++i) {
        if (replaceFile(outputs[i].temporary, outputs[i].target))
            continue;
        error = "cannot replace '" + outputs[i].target + "': " + reasonOf(errno);
        for (size_t done = 0; done < i; ++done)
            error += "; '" + outputs[done].target + "' was written";
        outputs.erase(outputs.begin(), outputs.begin() + ptrdiff_t(i));
        return false;
    }
    outputs.clear();
    return true;
}
