#pragma once
// A module checked against its own ELF headers before it is loaded: the
// loader maps a module's segments as its headers say, and touching a page
// past the end of a truncated file is SIGBUS, not an error it could report.

#include <cstdint>
#include <string>

// Empty when the ELF file open on `fd` is a shared object for this build
// (class, byte order, version and `machine` as this executable's) whose
// headers and segments all lie inside it; otherwise what is wrong, in a few
// words (e.g. "20000 bytes, its headers need 79216"). Reads through `fd`
// only, at explicit offsets. Throws std::runtime_error when the file cannot
// be read at all.
std::string ModuleDamage(int fd, uint16_t machine);

// This executable's machine (e_machine), from its own ELF header in memory.
uint16_t ExecutableMachine();
