#pragma once
// What the process's resource limits leave for a window: address space
// (ulimit -v) and file descriptors (ulimit -n).

#include <cstdint>
#include <string>

// The address space left under the process's limit (RLIMIT_AS), in bytes;
// false when there is no limit.
bool AddressSpaceLeft(uint64_t* bytes);

// Why `count` more file descriptors cannot be had, as "Too many open files
// (ulimit -n is 5)"; empty when they can.
std::string DescriptorShortage(int count);

// The file descriptors SDL's video takes as it starts on X (its connection
// to the server and one more beside it), beyond the one kept open meanwhile
// to the display that answered.
inline constexpr int kWindowDescriptors = 2;
