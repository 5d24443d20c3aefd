#pragma once
// A small program that exercises the platform's window, message, thread,
// sleep, message box and resource calls and prints what it observes, one
// line each, so that the same sources run on the stand-in and on a real
// implementation of the calls can be compared line by line.

#include <windows.h>

// Runs every observation in order; returns the process's exit code.
int RunProbe(HINSTANCE instance);

// What only the target can do, from one small entry file per target.
// Input the user makes, queued as the device's input for the focused (main)
// window of the calling thread: a key pressed and released.
void DriverPressKey(UINT virtualKey);
// The stylus put down and lifted at a point of the window's client area.
void DriverTap(HWND window, int x, int y);
// The next message box is answered as the user would answer it with this
// button.
void DriverAnswerNextMessageBox(int button);
