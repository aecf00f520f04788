#include "host/zerafin/files/host_files.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#define getpid _getpid
#define O_NONBLOCK 0
#else
#include <unistd.h>

#include "host/zerafin/terminal/reading_order.h"
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

// Windows compares names without regard to case, by each character's simple
// upper case (as CompareStringOrdinal ignoring case does): names are compared
// in that form, as UTF-8.
std::string comparableName(const std::string& name, const std::string&) {
    if (name.empty())
        return name;
    const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), int(name.size()), nullptr, 0);
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), int(name.size()), wide.data(), length);
    CharUpperBuffW(wide.data(), DWORD(wide.size()));
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string upper(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, upper.data(), size, nullptr, nullptr);
    return upper;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::string linkTarget(const std::string& path) {
    return path;
}

bool keepPermissions(int, const struct stat&) {
    return true;
}
#else
std::optional<FileIdentity> existingIdentity(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileIdentity{uint64_t(status.st_dev), uint64_t(status.st_ino), {}};
}

// Whether the folder tells names apart by case (most POSIX volumes do; a
// FAT or NTFS volume, or a case-folding folder, does not): a probe file is
// made and looked up under its upper-case name. A folder where no probe can
// be made is taken as folding, so that no clash goes unnoticed. Asked once
// per folder.
bool foldsCase(const std::string& folder) {
    static std::map<std::pair<dev_t, ino_t>, bool> known;
    struct stat status {};
    if (stat(folder.c_str(), &status) != 0)
        return true;
    const auto key = std::make_pair(status.st_dev, status.st_ino);
    if (const auto found = known.find(key); found != known.end())
        return found->second;
    const std::string probe = ".zerafin-case-" + std::to_string(getpid());
    const std::string lower = pathInFolder(folder, probe);
    const int descriptor = open(lower.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (descriptor < 0)
        return true;
    close(descriptor);
    std::string upper = probe;
    for (char& c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    const bool folds = stat(pathInFolder(folder, upper).c_str(), &status) == 0;
    unlink(lower.c_str());
    return known[key] = folds;
}

// A character in lower case: ASCII and the Latin letters of Unicode's first
// 384 characters (Latin-1 and Latin Extended-A), where folding volumes agree.
char32_t lowerCase(char32_t point) {
    const bool evenUpper = (point >= 0x100 && point <= 0x137) || (point >= 0x14A && point <= 0x177);
    const bool oddUpper = (point >= 0x139 && point <= 0x148) || (point >= 0x179 && point <= 0x17E);
    if ((point >= U'A' && point <= U'Z') || (point >= 0xC0 && point <= 0xDE && point != 0xD7))
        return point + 0x20;
    if ((evenUpper && point % 2 == 0) || (oddUpper && point % 2 == 1))
        return point + 1;
    return point == 0x178 ? 0xFF : point;
}

std::string lowerCaseName(const std::string& name) {
    std::string folded;
    for (size_t at = 0; at < name.size();) {
        const size_t start = at;
        const char32_t point = nextCodePoint(name, at);
        const char32_t lower = lowerCase(point);
        if (lower == point) {
            folded.append(name, start, at - start);
        } else if (lower < 0x80) {
            folded += char(lower);
        } else { // below U+0180: two bytes in UTF-8
            folded += char(0xC0 | (lower >> 6));
            folded += char(0x80 | (lower & 0x3F));
        }
    }
    return folded;
}

std::string comparableName(const std::string& name, const std::string& folder) {
    return foldsCase(folder) ? lowerCaseName(name) : name;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

// Where writing to the path goes: a symbolic link is followed to the file it
// names (which need not exist yet), as the shell's redirection does, so that
// the link stays and its target gets the new contents.
std::string linkTarget(std::string path) {
    constexpr int kMaxLinks = 40; // as the system's own limit
    for (int link = 0; link < kMaxLinks; ++link) {
        struct stat status {};
        char target[4096];
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return path;
        const ssize_t length = readlink(path.c_str(), target, sizeof target);
        if (length <= 0 || size_t(length) >= sizeof target)
            return path;
        std::string folder, name;
        splitPath(path, folder, name);
        path = target[0] == '/' ? std::string(target, size_t(length))
                                : folder + '/' + std::string(target, size_t(length));
    }
    return path;
}

// The new file takes the permissions of the file it replaces and, where the
// system allows it, its owner and group. When the group cannot be kept, the
// group's permissions are dropped: nobody gains access by a rewrite. False
// when the permissions cannot be set.
bool keepPermissions(int descriptor, const struct stat& replaced) {
    mode_t mode = replaced.st_mode & 0777;
    if (fchown(descriptor, replaced.st_uid, replaced.st_gid) != 0 &&
        fchown(descriptor, uid_t(-1), replaced.st_gid) != 0)
        mode &= ~mode_t(S_IRWXG);
    return fchmod(descriptor, mode) == 0;
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
    // Opened without waiting: a named pipe or a device would otherwise hold
    // the open until someone writes to it. Its kind is checked right after.
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_BINARY | O_NONBLOCK));
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
        inFolder->nameInFolder = comparableName(name, folder);
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
    const std::string destination = linkTarget(path);
    struct stat status {};
    const bool exists = stat(destination.c_str(), &status) == 0;
    if (exists) {
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
    splitPath(destination, folder, name);
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
        if (exists && !keepPermissions(descriptor, status)) {
            error =
                "cannot write '" + path + "': its permissions cannot be kept: " + reasonOf(errno);
            close(descriptor);
            std::remove(temporary.c_str());
            return false;
        }
        close(descriptor);
        index = outputs.size();
        outputs.push_back({path, destination, temporary});
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
        if (replaceFile(outputs[i].temporary, outputs[i].destination))
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
