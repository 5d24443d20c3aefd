#pragma once
// Where a host has no guard pages (a browser's memory cannot be protected),
// display memory lies between margins of a known pattern instead: a row drawn
// too long cannot fault there, but it is found at the next look.

#include <cstdint>
#include <string>

namespace device {

// Empty while both margins are as they were laid; otherwise one line saying
// which side of display memory was written and how far from it.
std::string CheckDisplayMargins();

// The first byte past display memory, so that a test can write where no
// program may; null before display memory exists.
uint8_t* DisplayMemoryEnd();

}  // namespace device
