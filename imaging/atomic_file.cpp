#include "imaging/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>

namespace {
// What a signal handler may read: the temporary file being written, if any.
char gPendingTemp[4096];
volatile sig_atomic_t gHasPendingTemp = 0;

void SetPending(const std::string& path) {
    gHasPendingTemp = 0;
    if (path.size() < sizeof gPendingTemp) {
        std::memcpy(gPendingTemp, path.c_str(), path.size() + 1);
        gHasPendingTemp = 1;
    }
}

void OnSignal(int signal) {
    if (gHasPendingTemp) {
        unlink(gPendingTemp);
    }
    // SA_RESETHAND restored the default action; it runs once this returns.
    raise(signal);
}

std::string TempPathFor(const std::string& path, int attempt) {
    const size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return directory + "." + name + ".tmp" + std::to_string(getpid()) + "-" +
           std::to_string(attempt);
}
}  // namespace

WriteError::WriteError(const std::string& path, int error)
    : std::runtime_error("cannot write " + path + ": " + std::strerror(error)) {}

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
    // A stale name left by a killed run with the same process id is skipped.
    for (int attempt = 0; fd_ < 0; ++attempt) {
        tempPath_ = TempPathFor(path_, attempt);
        fd_ = open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && (errno != EEXIST || attempt == 99)) {
            throw WriteError(path_, errno);
        }
    }
    SetPending(tempPath_);
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
    if (close(fd) != 0 || rename(tempPath_.c_str(), path_.c_str()) != 0) {
        error_ = errno;
        Discard();
        ThrowIfFailed();
    }
    gHasPendingTemp = 0;
    tempPath_.clear();
}

void AtomicFile::Discard() noexcept {
    if (tempPath_.empty()) {
        return;
    }
    gHasPendingTemp = 0;
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    unlink(tempPath_.c_str());
    tempPath_.clear();
}

void RemoveTempFileOnSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}
