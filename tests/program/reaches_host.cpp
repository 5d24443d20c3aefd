// Compiled as part of the program, this must fail: the program sees the
// platform only through <windows.h> and <gx.h>, never the host's side.
#include "platform/device.h"
