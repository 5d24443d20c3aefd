#pragma once
// The emulated device's pace (device_core/frame_pacer.h) in the stand-in:
// the drawing thread is held where it meets the platform once a frame.

#include <chrono>
#include <string>

namespace platform {

// Waits on the calling thread's own condition until `deadline`; false when
// TerminateThread came first (the thread parks as its call unwinds). Call
// inside a TerminationDeferred.
bool WaitUntil(std::chrono::steady_clock::time_point deadline);

// A frame of the program ended here: holds the thread until the next may
// start. From GXEndDraw on a DRAM-buffer display, otherwise from the drawing
// thread's read of its running flag; inside a TerminationDeferred.
void PaceFrame();
// Whether a flag read on the calling thread ends a frame: the drawing
// thread's, on an open display that is not a DRAM buffer. Any other thread's
// reads (the message loop's, a helper's) are never held and never counted.
bool FrameEndsAtFlagRead();

// "pace=60/s frames=121 achieved=60.0/s" for the trace's summary.
std::string PacingSummary();

}  // namespace platform
