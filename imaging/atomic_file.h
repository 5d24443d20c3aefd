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
// A symbolic link is written through: the temporary file goes next to the
// file the link names, which the rename replaces, and the link stays. What is
// not a regular file (a device, a pipe, a terminal) is written as it is.
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

    std::string path_;        // as the user named it
    std::string targetPath_;  // the file the rename replaces; empty when written as it is
    std::string tempPath_;
    int fd_ = -1;
    int error_ = 0;
};

// Throws WriteError, naming `path`, when a file could not be written there:
// its directory is missing or not writable, or the path names a directory.
// Lets a program refuse at its start an output it could only fail at its end.
void CheckWritable(const std::string& path);

// Removes the temporary file being written, if there is one. Safe in a signal
// handler, and from any thread.
void RemovePendingTempFile() noexcept;

// Removes the temporary file being written when a signal ends the process:
// SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2 or SIGXCPU.
// A signal the process inherited as ignored stays ignored. SIGPIPE and SIGXFSZ
// are ignored, so that writing to a closed pipe or past the size limit fails
// with an error that is reported rather than ending the process.
void RemoveTempFileOnSignals();
