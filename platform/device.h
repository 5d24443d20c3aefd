#pragma once
// The emulated handheld as its host sees it: the launcher and the front-ends
// build the device, start the program on it, feed it input and look at its
// screen through these calls. The program itself never includes this file.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include "device_core/device_config.h"

namespace device {

// An executable resource, found by LoadIconW/LoadCursorW by type and number.
enum class ResourceType { kIconGroup, kIcon, kCursor };
struct Resource {
    ResourceType type;
    int id;
    const uint8_t* bytes;
    size_t size;
};

struct MessageBoxRequest {
    std::u16string caption;
    std::u16string text;
    UINT type;
};

using EntryPoint = int(WINAPI*)(HINSTANCE, HINSTANCE, LPWSTR, int);

// Init and StartProgram are the host's calls: what the device cannot get for
// itself (memory, a mapping, a thread) they throw as std::runtime_error, with
// a one-line message naming it and why. Misuse (a second Init, a panel of no
// size) is a programming error and still aborts.

// --- set-up, before the program starts -----------------------------------
// Throws when display memory or the screen's buffer cannot be had.
void Init(const Config& config);
void SetResources(const Resource* table, size_t count);
const Resource* FindResource(ResourceType type, int id);
// Called from any thread when the host should look again: the program ended,
// it asks for a message box, or the main window came or its title changed. Null for
// none. Returns once no call of the previous handler is under way, so that
// its context may go; never call it from within a handler.
void SetWakeHandler(void (*wake)(void* context), void* context);

// The names the trace gives the threads the program creates, in the order it
// creates them; each thread past the list is "thread<N>", the Nth created.
// Whatever its name, the first is the drawing thread: the only one whose
// reads of a flag end frames.
void NameProgramThreads(std::vector<std::string> names);

// --- the program ------------------------------------------------------------
// Runs entry(instance, nullptr, commandLine, showCommand) on a new thread,
// which becomes the program's main thread. Throws when that thread cannot be
// started (too little memory, too many threads).
void StartProgram(EntryPoint entry, const std::u16string& commandLine, int showCommand);
// Once these report the end, the wake for it has returned: the program's main
// thread calls the host no more.
bool ProgramEnded();
// Empty while the device has had what it needs; otherwise, in one line, the
// call of the program it ran short of memory in. The thread that made that
// call has stopped for good (and the wake handler has run): the host ends
// the run with this, as a failure.
std::string MemoryShortage();
int ExitCode();  // valid once ProgramEnded()
// True when it ended in time; a negative timeout waits as long as it takes.
bool WaitForProgramEnd(int timeoutMs);

// --- the screen, as the user holds the device ---------------------------------
// In panel pixels: on a scaled display each of the program's pixels shows as
// a displayScale x displayScale block, and stylus points are divided down.
int32_t ScreenWidth();
int32_t ScreenHeight();
// Copies the screen into `pixels` (ScreenWidth() * ScreenHeight() 565 pixels,
// rows top to bottom): display memory as it is, or the last published frame
// on a DRAM-buffer device.
void CopyScreen(uint16_t* pixels);
// Counts frames published by GXEndDraw (0 when not a DRAM-buffer device).
uint64_t PublishedFrames();
// Counts the frames the program has drawn: each ends where the drawing
// thread (the first the program creates) meets the platform once a frame
// (GXEndDraw, or the read of its running flag), whether or not the device
// paces it. Another thread's flag reads end no frame.
uint64_t FramesDrawn();
// The main window's title, empty until one exists.
std::u16string MainWindowTitle();
// The icon the device shows for the program: its main window's class icon,
// or, while there is none, the executable's own (its icon group with the
// lowest number). Null when there is neither.
const Resource* ProgramIcon();
bool MainWindowExists();

// --- input, from any thread; queued for the main window's thread ------------
// Screen coordinates as held. Ignored while no window exists.
void StylusDown(int32_t x, int32_t y);
void StylusMove(int32_t x, int32_t y);  // only while down; coalesced
void StylusUp(int32_t x, int32_t y);
void KeyDown(UINT virtualKey);
void KeyUp(UINT virtualKey);
void CloseRequest();  // WM_CLOSE to the main window

// --- message boxes -------------------------------------------------------------
// MessageBoxW blocks the calling program thread until the host answers: the
// wake handler runs, the host takes the request, shows it and answers (answers
// go to requests in the order they were taken). While no wake handler is set
// no one could answer, and MessageBoxW returns IDOK at once.
bool TakeMessageBoxRequest(MessageBoxRequest* request);
void AnswerMessageBox(int result);

// --- trace ----------------------------------------------------------------------
// Writes the per-frame call counts and the like at the end of a traced run and
// flushes the trace. Returns 0, or the error (errno) of the first line that
// could not be written.
int FinishTrace();

}  // namespace device
