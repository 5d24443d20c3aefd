#pragma once

// SIGINT and SIGTERM ask the program to close, as the device's own close
// request would; a second signal ends the process at once.
void InstallStopSignals();
bool StopSignalReceived();
