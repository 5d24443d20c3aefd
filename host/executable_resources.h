#pragma once

// Hands the executable's resource table (icon group 101) to the device.
void InstallExecutableResources();
