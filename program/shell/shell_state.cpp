#include "shell/shell.h"

HWND gMainWindow = nullptr;
HANDLE gRenderThread = nullptr;
DWORD gRenderThreadId = 0;
LONG gRunning = 0;

void SetRunning(LONG running) {
    InterlockedExchange(&gRunning, running);
}

// A compare-exchange that stores what it finds is a plain interlocked read.
bool IsRunning() {
    return InterlockedCompareExchange(&gRunning, 0, 0) != 0;
}
