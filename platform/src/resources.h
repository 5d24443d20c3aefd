#pragma once
// The executable's resources as the rest of the stand-in sees them.

#include <windows.h>

#include "platform/device.h"

namespace platform {

// The icon group behind a handle LoadIconW gave, or null.
const device::Resource* IconGroupOf(HICON icon);
// The executable's own icon, as the shell shows it for the file: its icon
// group with the lowest number; null when it has none.
const device::Resource* ExecutableIcon();

}  // namespace platform
