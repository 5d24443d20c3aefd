#pragma once

#include <windows.h>

// Process-wide values of the shell. Start-up writes the window and thread
// handles before the render thread exists; afterwards they are only read.
extern HWND gMainWindow;
extern HANDLE gRenderThread;
extern DWORD gRenderThreadId;
// 1 while the plasma runs. Both threads write it, so it is only ever touched
// through the platform's interlocked calls: the render loop is sure to see
// the stop, no lock is involved, and no compiler runtime support is needed.
extern LONG gRunning;

void SetRunning(LONG running);
bool IsRunning();

int CreateMainWindow(int showCommand, HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
DWORD WINAPI RenderThreadProc(LPVOID parameter);
void RunPlasma();
