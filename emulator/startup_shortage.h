#pragma once

// Static initialisers run before main (CLI11's validators allocate): short of
// memory there, the C++ runtime would end the process with its own line and
// an abort. Until main calls this, a std::terminate for want of memory is
// plasma-demo's one line instead, with status 1; after, std::terminate is
// what it was (a programming error keeps its core dump).
void EndStartupShortageWatch();
