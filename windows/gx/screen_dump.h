#pragma once
// What gx.dll leaves when the process ends: the screen as a PNG file
// (PLASMA_GX_SCREENSHOT) and a line of counts on stderr (PLASMA_GX_STATS).
// Written as gx.dll is unloaded at the process's exit, when every other
// thread has already been ended, so it holds still.

// As the display opens, before the program goes on: makes ready what the
// end needs, so that nothing is loaded while the process ends. Throws
// std::runtime_error, one line in the user's words, for a screenshot that
// could not be saved (no such folder, a folder, a device name, a read-only
// file, a name too long, a folder that takes no new file).
void PrepareScreenDump();

// From DllMain at the process's exit. When the screen cannot be saved, says
// why on stderr and ends the process with status 1.
void FinishAtExit();
