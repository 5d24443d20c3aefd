#pragma once
// The host side of the device as the rest of the stand-in sees it.

#include <windows.h>

namespace platform {

HINSTANCE ModuleInstance();  // what WinMain gets as its instance
void WakeHost();             // calls the host's wake handler, if it set one
bool HostListening();        // a wake handler is set

}  // namespace platform
