// The probe on desktop Windows (and Wine): input through SendInput, as the
// keyboard and mouse drivers deliver it, and the message box answered by
// clicking its button from another thread.
#include <windows.h>

#include "conformance/probe.h"

namespace {

constexpr int kBoxWaitMs = 5000;
int gAnswer = IDOK;

void Send(INPUT input) {
    SendInput(1, &input, sizeof input);
}

// Input goes to the foreground window's focus: the probe's own window.
void FocusProbeWindow() {
    if (HWND window = FindWindowW(L"probe", nullptr)) {
        SetForegroundWindow(window);
        SetFocus(window);
    }
}

DWORD WINAPI AnswerBox(LPVOID) {
    for (int waited = 0; waited < kBoxWaitMs; waited += 10) {
        if (HWND box = FindWindowW(L"#32770", L"probe box")) {
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(gAnswer, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, gAnswer)));
            return 0;
        }
        Sleep(10);
    }
    return 1;
}

}  // namespace

void DriverPressKey(UINT virtualKey) {
    FocusProbeWindow();
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(virtualKey);
    Send(input);
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    Send(input);
}

void DriverTap(HWND window, int x, int y) {
    FocusProbeWindow();
    POINT point{x, y};
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    Send(input);
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    Send(input);
}

void DriverAnswerNextMessageBox(int button) {
    gAnswer = button;
    CloseHandle(CreateThread(nullptr, 0, AnswerBox, nullptr, 0, nullptr));
}

int main() {
    return RunProbe(GetModuleHandleW(nullptr));
}
