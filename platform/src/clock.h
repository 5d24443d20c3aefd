#pragma once
// The device's clock: milliseconds since device::Init (or since the first
// look at the clock when there was no Init).

#include <windows.h>

namespace platform {

void StartClock();
double MillisecondsSinceStart();
DWORD TickCount();  // what MSG.time holds

}  // namespace platform
