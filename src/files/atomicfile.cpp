#include "files/atomicfile.h"

#include "files/fileerror.h"

#include <cerrno>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#ifdef _WIN32
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace zarvik {
namespace fs = std::filesystem;
namespace {

#ifdef _WIN32
int openNew(const fs::path& p) {
    return _wopen(p.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
long long writeSome(int fd, const char* data, std::size_t size) {
    const unsigned chunk = size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size);
    return _write(fd, data, chunk);
}
bool flushToDisk(int fd) {
    return _commit(fd) == 0;
}
int closeFile(int fd) {
    return _close(fd);
}
bool isWritable(const fs::path& p) {
    return _waccess(p.c_str(), 2) == 0;
}
bool renameOver(const fs::path& from, const fs::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
void keepMode(int, const fs::path&) {}
void syncFolder(const fs::path&) {}
bool flushExisting(const fs::path& p) {
    const int fd = _wopen(p.c_str(), _O_WRONLY | _O_BINARY);
    const bool ok = fd >= 0 && _commit(fd) == 0;
    return (fd < 0 || _close(fd) == 0) && ok;
}
#else
int openNew(const fs::path& p) {
    return ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
long long writeSome(int fd, const char* data, std::size_t size) {
    return ::write(fd, data, size);
}
bool flushToDisk(int fd) {
    return ::fsync(fd) == 0;
}
int closeFile(int fd) {
    return ::close(fd);
}
bool isWritable(const fs::path& p) {
    return ::access(p.c_str(), W_OK) == 0;
}
bool renameOver(const fs::path& from, const fs::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}
// A replaced file keeps the permissions it had.
void keepMode(int fd, const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
}
bool flushExisting(const fs::path& p) {
    const int fd = ::open(p.c_str(), O_WRONLY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::fsync(fd) == 0;
    return (fd < 0 || ::close(fd) == 0) && ok;
}
// The rename itself reaches the disk only with its folder.
void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

// What a save of the target killed before its rename left behind: its temporaries. A save
// that went through takes them away, so none pile up beside the file.
void removeLeftTemporaries(const fs::path& folder, const fs::path& target) {
    const std::string prefix = "." + target.filename().u8string() + ".~";
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().u8string();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
            name.find_first_not_of("0123456789", prefix.size()) == std::string::npos) {
            std::error_code removed;
            fs::remove(it->path(), removed);
        }
    }
}

[[noreturn]] void cannotCreate(const std::string& fileName) {
    throw FileError(FileError::Kind::CannotCreate, "Cannot create file " + fileName);
}

// A fresh temporary beside the file a save replaces, open for writing.
struct Replacement {
    fs::path target;
    fs::path temp;
    int fd = -1;
};

Replacement startReplacement(const std::string& fileName) {
    Replacement r;
    r.target = fs::u8path(fileName);
    std::error_code ec;
    // Saving over a link writes the file it leads to and keeps the link.
    if (fs::is_symlink(r.target, ec)) {
        const fs::path resolved = fs::canonical(r.target, ec);
        if (!ec)
            r.target = resolved;
    }
    const fs::file_status status = fs::status(r.target, ec);
    const bool exists = fs::exists(status);
    if (exists && (!fs::is_regular_file(status) || !isWritable(r.target)))
        cannotCreate(fileName);

    const fs::path folder = r.target.parent_path();
    std::random_device seed;
    std::mt19937 random(seed());
    // A temporary left by a crash does not end in a data file's extension, so the folder walk
    // and the comment browser never list it.
    for (int attempt = 0; attempt < 16 && r.fd < 0; ++attempt) {
        r.temp = folder / fs::u8path("." + r.target.filename().u8string() + ".~" +
                                     std::to_string(random() % 1000000u));
        r.fd = openNew(r.temp);
        if (r.fd < 0 && errno != EEXIST)
            break;
    }
    if (r.fd < 0)
        cannotCreate(fileName);
    if (exists)
        keepMode(r.fd, r.target);
    return r;
}

enum class Flush { BeforeRename, AfterRename };

// Gives the temporary the target's name when everything went into it (`ok`), flushed to the
// disk before the rename or, for a file wanted under its name at once, after it; otherwise
// takes it away and throws. `beforeRename` gets the temporary once its contents are written,
// `published` runs once the file has its name.
void finishReplacement(const std::string& fileName, const Replacement& r, bool ok,
                       const std::function<void(const std::string&)>& beforeRename = {},
                       const std::function<void()>& published = {},
                       Flush flush = Flush::BeforeRename) {
    ok = ok && (flush == Flush::AfterRename || flushToDisk(r.fd));
    ok = (closeFile(r.fd) == 0) && ok;
    std::error_code ec;
    if (!ok) {
        fs::remove(r.temp, ec);
        throw FileError(FileError::Kind::WriteFailed, "Unable to write to " + fileName);
    }
    // After the last write: a file system that stamps the time at the close would undo it.
    if (beforeRename)
        beforeRename(r.temp.u8string());
    if (!renameOver(r.temp, r.target)) {
        fs::remove(r.temp, ec);
        cannotCreate(fileName);
    }
    if (published)
        published();
    if (flush == Flush::AfterRename && !flushExisting(r.target))
        throw FileError(FileError::Kind::WriteFailed, "Unable to write to " + fileName);
    const fs::path folder = r.target.parent_path();
    syncFolder(folder);
    removeLeftTemporaries(folder, r.target);
}

// Writes all of `data` into the fresh temporary; false when it could not.
bool writeAll(const Replacement& r, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    std::size_t left = size;
    while (left > 0) {
        const long long n = writeSome(r.fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

void replaceFileContents(const std::string& fileName, const void* data, std::size_t size,
                         const std::function<void(const std::string&)>& beforeRename) {
    const Replacement r = startReplacement(fileName);
    finishReplacement(fileName, r, writeAll(r, data, size), beforeRename);
}

void publishFileContents(const std::string& fileName, const void* data, std::size_t size,
                         const std::function<void(const std::string&)>& beforeRename,
                         const std::function<void()>& published) {
    const Replacement r = startReplacement(fileName);
    finishReplacement(fileName, r, writeAll(r, data, size), beforeRename, published,
                      Flush::AfterRename);
}

void replaceFileByName(const std::string& fileName,
                       const std::function<bool(const std::string& tempName)>& write) {
    const Replacement r = startReplacement(fileName);
    bool ok = false;
    try {
        ok = write(r.temp.u8string());
    } catch (...) {
        closeFile(r.fd);
        std::error_code ec;
        fs::remove(r.temp, ec);
        throw;
    }
    finishReplacement(fileName, r, ok);
}

} // namespace zarvik
