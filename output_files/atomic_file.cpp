#include "output_files/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>

namespace {
// What a signal handler may read: the temporary file being written, if any.
// The name is set before the file is created, so that no moment goes by with
// a file on disk that a handler does not know of.
char gPendingTemp[PATH_MAX];
std::atomic<bool> gHasPendingTemp{false};

constexpr int kMaxLinks = 40;  // links in a row before the system says ELOOP

void SetPending(const std::string& path) {
    gHasPendingTemp.store(false);
    if (path.size() < sizeof gPendingTemp) {
        std::memcpy(gPendingTemp, path.c_str(), path.size() + 1);
        gHasPendingTemp.store(true);
    }
}

void ClearPending() {
    gHasPendingTemp.store(false);
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// The name a chain of symbolic links starting at `path` ends at; it need not
// exist yet. Throws WriteError naming `path` for a loop.
std::string FinalName(const std::string& path) {
    std::string name = path;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        struct stat status {};
        if (lstat(name.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return name;
        }
        char target[PATH_MAX];
        const ssize_t length = readlink(name.c_str(), target, sizeof target);
        if (length <= 0 || static_cast<size_t>(length) >= sizeof target) {
            return name;  // open() reports what is wrong with it
        }
        const std::string next(target, static_cast<size_t>(length));
        name = next[0] == '/' ? next : DirectoryOf(name) + next;
    }
    throw WriteError(path, ELOOP);
}

// ".NAME.tmpPID-N" beside the file, cut short where NAME would make it
// longer than the directory allows (never inside a UTF-8 character).
std::string TempPathFor(const std::string& path, int attempt) {
    const std::string directory = DirectoryOf(path);
    std::string name = path.substr(directory.size());
    const std::string suffix = ".tmp" + std::to_string(getpid()) + "-" + std::to_string(attempt);
    long nameMax = pathconf(directory.empty() ? "." : directory.c_str(), _PC_NAME_MAX);
    if (nameMax <= 0) {
        nameMax = NAME_MAX;
    }
    const size_t room = static_cast<size_t>(nameMax) - 1 - suffix.size();
    if (name.size() > room) {
        size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        name.resize(cut);
    }
    return directory + "." + name + suffix;
}

// A file that exists and is not a regular file: a device, a pipe, a terminal,
// a directory. It is opened as it is, never replaced.
bool IsSpecial(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}
}  // namespace

WriteError::WriteError(const std::string& path, int error)
    : std::runtime_error("cannot write " + path + ": " + std::strerror(error)) {}

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
    if (IsSpecial(path_)) {
        fd_ = open(path_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) {
            throw WriteError(path_, errno);
        }
        return;
    }
    targetPath_ = FinalName(path_);
    // A stale name left by a killed run with the same process id is skipped.
    for (int attempt = 0; fd_ < 0; ++attempt) {
        tempPath_ = TempPathFor(targetPath_, attempt);
        SetPending(tempPath_);
        fd_ = open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            const int error = errno;
            ClearPending();
            if (error != EEXIST || attempt == 99) {
                tempPath_.clear();
                throw WriteError(path_, error);
            }
        }
    }
}

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Write(const void* data, size_t size) noexcept {
    const char* bytes = static_cast<const char*>(data);
    while (error_ == 0 && size > 0) {
        const ssize_t written = write(fd_, bytes, size);
        if (written < 0) {
            if (errno != EINTR) {
                error_ = errno;
            }
            continue;
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return error_ == 0;
}

void AtomicFile::ThrowIfFailed() const {
    if (error_ != 0) {
        throw WriteError(path_, error_);
    }
}

void AtomicFile::Commit() {
    ThrowIfFailed();
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0 ||
        (!tempPath_.empty() && rename(tempPath_.c_str(), targetPath_.c_str()) != 0)) {
        error_ = errno;
        Discard();
        ThrowIfFailed();
    }
    ClearPending();
    tempPath_.clear();
}

void AtomicFile::Discard() noexcept {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (tempPath_.empty()) {
        return;
    }
    ClearPending();
    unlink(tempPath_.c_str());
    tempPath_.clear();
}

void CheckWritable(const std::string& path) {
    if (IsSpecial(path)) {
        struct stat status {};
        stat(path.c_str(), &status);
        if (S_ISDIR(status.st_mode)) {
            throw WriteError(path, EISDIR);
        }
        if (access(path.c_str(), W_OK) != 0) {
            throw WriteError(path, errno);
        }
        return;
    }
    const std::string target = FinalName(path);
    const std::string directory = DirectoryOf(target);
    if (access(directory.empty() ? "." : directory.c_str(), W_OK | X_OK) != 0) {
        throw WriteError(path, errno);
    }
    if (access(target.c_str(), F_OK) != 0 && errno == ENAMETOOLONG) {
        throw WriteError(path, errno);
    }
}

bool SameOutputFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    const bool firstExists = stat(a.c_str(), &first) == 0;
    const bool secondExists = stat(b.c_str(), &second) == 0;
    if (firstExists || secondExists) {
        return firstExists && secondExists && S_ISREG(first.st_mode) &&
               first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    }
    // Neither is there yet: the same name in the same directory, where the
    // links lead.
    const std::string targetA = FinalName(a), targetB = FinalName(b);
    const std::string directoryA = DirectoryOf(targetA), directoryB = DirectoryOf(targetB);
    if (targetA.substr(directoryA.size()) != targetB.substr(directoryB.size()) ||
        stat(directoryA.empty() ? "." : directoryA.c_str(), &first) != 0 ||
        stat(directoryB.empty() ? "." : directoryB.c_str(), &second) != 0) {
        return false;
    }
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

void RemovePendingTempFile() noexcept {
    if (gHasPendingTemp.load()) {
        unlink(gPendingTemp);
    }
}
