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

// True when writing `a` and writing `b` would write one and the same regular
// file, however each is spelled: through "./" or "..", symbolic links (to a
// file yet to be made, too) or other hard links of an existing file. Two
// outputs in one file would leave only the one written last. Devices, pipes
// and terminals, written as they are, never count.
bool SameOutputFile(const std::string& a, const std::string& b);

// Removes the temporary file being written, if there is one: for a program's
// signal handlers, which decide when the process ends. Safe in a signal
// handler, and from any thread.
void RemovePendingTempFile() noexcept;
