#pragma once
// The stand-in's one way of giving up: misuse by the host that no call can
// answer (a second device, a panel of no size) and resources the device cannot
// be without. It says what on one line of stderr and aborts, so that a
// debugger or a core dump finds the caller still on the stack.

namespace platform {

[[noreturn]] void Fatal(const char* what);

}  // namespace platform
