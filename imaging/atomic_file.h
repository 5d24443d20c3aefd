#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

// A file that could not be written: names it and gives the system's reason.
class WriteError : public std::runtime_error {
public:
    WriteError(const std::string& path, int error);
};

// Writes under a temporary name in the destination's directory and renames
// into place on Commit, so the destination never holds a half-written file.
class AtomicFile {
public:
    explicit AtomicFile(std::string path);  // throws WriteError
    ~AtomicFile();                          // removes the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Appends bytes. After a failure it drops further writes and returns
    // false; ThrowIfFailed and Commit report the first failure. Safe to call
    // from C callbacks.
    bool Write(const void* data, size_t size) noexcept;
    void ThrowIfFailed() const;
    void Commit();

    const std::string& Path() const { return path_; }

private:
    void Discard() noexcept;

    std::string path_;
    std::string tempPath_;
    int fd_ = -1;
    int error_ = 0;
};

// Removes the file being written when SIGINT, SIGTERM or SIGHUP ends the process.
void RemoveTempFileOnSignals();
