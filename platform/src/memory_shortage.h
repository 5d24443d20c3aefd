#pragma once
// The device's own memory, short inside one of the program's calls. No
// exception may reach the program, and the call cannot be answered as it
// should be: the device tells its host (device::MemoryShortage, and a wake)
// and the calling thread stops for good, as TerminateThread would stop it.
// The host then ends the run with one line.

namespace platform {

// From a `catch (const std::bad_alloc&)` around the body of `call`, once the
// body's locks are let go.
[[noreturn]] void OutOfMemoryIn(const char* call) noexcept;

}  // namespace platform
