#pragma once

// SIGINT and SIGTERM ask the program to close, as the device's own close
// request would, however early they come: installed first thing, the request
// waits until the program has its window. A second signal ends the process at
// once. A SIGINT the process inherited as ignored (a shell's background job)
// stays ignored; SIGTERM always counts. Other signals that end the process
// remove a screenshot being written on their way.
void InstallStopSignals();
bool StopSignalReceived();
