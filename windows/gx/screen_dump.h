#pragma once
// What gx.dll leaves when the process ends: the screen as a PNG file
// (PLASMA_GX_SCREENSHOT) and a line of counts on stderr (PLASMA_GX_STATS).
// Written as gx.dll is unloaded at the process's exit, when every other
// thread has already been ended, so it holds still.

// On the screen's thread, before the program goes on: makes ready what the
// end needs, so that nothing is loaded while the process ends.
void PrepareScreenDump();

// From DllMain at the process's exit. When the screen cannot be saved, says
// so on stderr and ends the process with status 1.
void FinishAtExit();
