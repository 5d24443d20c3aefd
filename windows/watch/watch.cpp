// plasma-watch TIMEOUT_MS PROGRAM [click|key|close AFTER_MS]: runs PROGRAM
// and reports, one line each, what Win32 says about the windows it shows:
//   window class="..." title="..." style=0x........   (again when one changes)
//   box caption="..." text="..."                      (answered with OK)
//   exit N        or   timeout   (the program was ended after TIMEOUT_MS)
// With an action, AFTER_MS after the program's first window of class "demo"
// is seen, a click on the middle of the device's screen (the window of
// class "GxScreen"), a space key pressed there, or its close button.
// The program inherits the standard handles and the environment. Exit
// status: 0 when the program ended in time, 1 when it had to be ended, 2 when
// it could not be run.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <string>

namespace {
constexpr wchar_t kDialogClass[] = L"#32770";
// The static control that holds a message box's text.
constexpr int kMessageBoxText = 0xFFFF;
constexpr DWORD kPollMs = 5;

struct Seen {
    std::wstring line;
    bool answered = false;
};

constexpr wchar_t kMainClass[] = L"demo";
constexpr wchar_t kScreenClass[] = L"GxScreen";

struct Watch {
    DWORD processId;
    std::map<HWND, Seen> windows;
    HWND screen = nullptr;
    ULONGLONG mainSeenAt = 0;  // 0: not yet
};

void Print(const std::wstring& line) {
    const std::wstring text = line + L"\n";
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written,
              nullptr);
}

// What a user would do on the screen's window, as the messages it gets.
bool Act(const std::wstring& action, HWND screen) {
    RECT client;
    GetClientRect(screen, &client);
    const LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
    const LPARAM space = 1 | LPARAM{MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC)} << 16;
    if (action == L"click") {
        PostMessageW(screen, WM_LBUTTONDOWN, MK_LBUTTON, middle);
        PostMessageW(screen, WM_LBUTTONUP, 0, middle);
    } else if (action == L"key") {
        PostMessageW(screen, WM_KEYDOWN, VK_SPACE, space);
        PostMessageW(screen, WM_KEYUP, VK_SPACE, space | LPARAM{3} << 30);
    } else if (action == L"close") {
        PostMessageW(screen, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        return false;
    }
    Print(L"did " + action);
    return true;
}

std::wstring Text(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

void Look(Watch& watch, HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    Seen& seen = watch.windows[window];
    if (std::wcscmp(name, kDialogClass) == 0) {
        HWND text = GetDlgItem(window, kMessageBoxText);
        if (seen.answered || !IsWindowVisible(window) || text == nullptr) {
            return;
        }
        seen.answered = true;
        Print(L"box caption=\"" + Text(window) + L"\" text=\"" + Text(text) + L"\"");
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
        return;
    }
    if (std::wcscmp(name, kScreenClass) == 0) {
        watch.screen = window;
    }
    if (std::wcscmp(name, kMainClass) == 0 && watch.mainSeenAt == 0) {
        watch.mainSeenAt = GetTickCount64();
    }
    wchar_t style[16];
    std::swprintf(style, 16, L"0x%08lx",
                  static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)));
    const std::wstring line = L"window class=\"" + std::wstring(name) + L"\" title=\"" +
                              Text(window) + L"\" style=" + style;
    if (line != seen.line) {
        seen.line = line;
        Print(line);
    }
}

BOOL CALLBACK LookAt(HWND window, LPARAM context) {
    Watch& watch = *reinterpret_cast<Watch*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == watch.processId) {
        Look(watch, window);
    }
    return TRUE;
}

void Inherit(DWORD which) {
    SetHandleInformation(GetStdHandle(which), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3 && argc != 5) {
        Print(L"usage: plasma-watch TIMEOUT_MS PROGRAM [click|key|close AFTER_MS]");
        return 2;
    }
    std::wstring action = argc == 5 ? argv[3] : L"";
    const ULONGLONG actionAfterMs = argc == 5 ? std::wcstoul(argv[4], nullptr, 10) : 0;
    const DWORD timeoutMs = static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10));
    std::wstring commandLine = L"\"" + std::wstring(argv[2]) + L"\"";
    Inherit(STD_INPUT_HANDLE);
    Inherit(STD_OUTPUT_HANDLE);
    Inherit(STD_ERROR_HANDLE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(argv[2], commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        wchar_t error[64];
        std::swprintf(error, 64, L"cannot run the program: error %lu", GetLastError());
        Print(error);
        return 2;
    }
    Watch watch{process.dwProcessId, {}};
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (WaitForSingleObject(process.hProcess, kPollMs) == WAIT_TIMEOUT) {
        EnumWindows(LookAt, reinterpret_cast<LPARAM>(&watch));
        if (!action.empty() && watch.mainSeenAt != 0 && watch.screen != nullptr &&
            GetTickCount64() - watch.mainSeenAt >= actionAfterMs) {
            if (!Act(action, watch.screen)) {
                Print(L"unknown action " + action);
            }
            action.clear();
        }
        if (GetTickCount64() >= deadline) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
            Print(L"timeout");
            return 1;
        }
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    Print(L"exit " + std::to_wstring(exitCode));
    return 0;
}
