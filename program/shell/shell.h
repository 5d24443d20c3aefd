#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

// Process-wide values of the shell. Start-up writes the window and thread
// handles before the render thread exists; afterwards they are only read.
extern HWND gMainWindow;
extern HANDLE gRenderThread;
extern DWORD gRenderThreadId;
// 1 while the plasma runs. Both threads write it; an atomic, so the render
// loop is sure to see the stop, and lock-free, so no lock is involved.
extern std::atomic<int32_t> gRunning;

int CreateMainWindow(int showCommand, HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
DWORD WINAPI RenderThreadProc(LPVOID parameter);
void RunPlasma();
