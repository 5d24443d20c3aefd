#pragma once
// The stand-in's one way of giving up: misuse by the host that no call can
// answer (a second device, a panel of no size). It says what on one line of
// stderr and aborts, so that a debugger or a core dump finds the caller still
// on the stack. A resource the device cannot get is no misuse: the host's
// calls throw it (device.h), and the program's calls answer it.

namespace platform {

[[noreturn]] void Fatal(const char* what);

}  // namespace platform
