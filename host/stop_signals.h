#pragma once

// SIGINT and SIGTERM, from the start of main on. Until the host has seen the
// program's window, a stop signal ends the process at once: nothing could
// take a close request yet, and a display that never answers must not hold
// the process. Once the window exists, it is a close request, as the
// device's own would be, and a second one ends the process at once. Ending
// at once is status 128 plus the signal's number (as a shell reports a death
// by it), with no screenshot and no temporary file left behind. A SIGINT the
// process inherited as ignored (a shell's background job) stays ignored;
// SIGTERM always counts. Every other signal that ends the process removes a
// screenshot being written on its way.
void InstallStopSignals();
// The host has seen the program's window: stop signals are close requests
// from now on.
void TakeStopSignalsAsCloseRequests();
bool StopSignalReceived();
