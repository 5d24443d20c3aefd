#include <windows.h>

#include "shell/shell.h"

namespace {
// Ends the render thread wherever it stands and asks the message loop to end.
// Running it again (WM_CLOSE, then the WM_DESTROY that follows) is harmless.
void StopPlasma() {
    DWORD exitCode = 0;  // stays defined should GetExitCodeThread fail
    GetExitCodeThread(gRenderThread, &exitCode);
    TerminateThread(gRenderThread, exitCode);
    SetRunning(0);
    PostQuitMessage(0);
}
}  // namespace

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
        case WM_CLOSE:
        case WM_KEYDOWN:
        case WM_LBUTTONDOWN:
            StopPlasma();
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
