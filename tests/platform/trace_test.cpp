// The trace of a small program: one line per call, in order, with the
// thread's name, and a summary of the frames at the end.

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <gx.h>
#include <windows.h>

#include "platform/device.h"
#include "tests/support/eventually.h"

namespace {

constexpr int kFrames = 5;
std::atomic<bool> gStylusSeen{false};

LRESULT CALLBACK DemoProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) {
        gStylusSeen = true;
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(3);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI Render(LPVOID) {
    for (int i = 0; i < kFrames; ++i) {
        GXBeginDraw();
        GXEndDraw();
    }
    return 0;
}

DWORD WINAPI Idle(LPVOID) {
    return 0;
}

int WINAPI Demo(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DemoProcedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = u"demo";
    RegisterClassW(&windowClass);
    const HWND window =
        CreateWindowExW(0, u"demo", u"Plasma", WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                        CW_USEDEFAULT, 240, 320, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);
    GXOpenDisplay(window, GX_FULLSCREEN);
    const HANDLE render = CreateThread(nullptr, 0, Render, nullptr, 0, nullptr);
    CreateThread(nullptr, 0, Idle, nullptr, 0, nullptr);
    MSG m{};
    while (GetMessageW(&m, nullptr, 0, 0)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    DWORD code = STILL_ACTIVE;
    while (GetExitCodeThread(render, &code) && code == STILL_ACTIVE) {
        Sleep(1);
    }
    return static_cast<int>(m.wParam);
}

std::vector<std::string> ReadLines(FILE* file) {
    std::vector<std::string> lines;
    std::rewind(file);
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, file) != nullptr) {
        std::string line = buffer;
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// Index of the first line ending in `call` (after the time stamp), or -1.
int Find(const std::vector<std::string>& lines, const std::string& call) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t space = lines[i].find(' ');
        if (space != std::string::npos &&
            lines[i].compare(space + 1, std::string::npos, call) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// "<ms with 3 decimals> <thread> <call>".
bool IsWellFormed(const std::string& line, double* ms) {
    const size_t point = line.find('.');
    const size_t space = line.find(' ');
    if (point == 0 || point == std::string::npos || space != point + 4) {
        return false;
    }
    for (size_t i = 0; i < space; ++i) {
        if (i != point && !std::isdigit(static_cast<unsigned char>(line[i]))) {
            return false;
        }
    }
    *ms = std::stod(line.substr(0, space));
    const size_t call = line.find(' ', space + 1);
    if (call == std::string::npos || call + 1 >= line.size()) {
        return false;
    }
    const std::string thread = line.substr(space + 1, call - space - 1);
    return thread == "device" || thread == "main" || thread == "render" || thread == "thread1" ||
           thread == "thread2";
}

int Count(const std::vector<std::string>& lines, const std::string& part) {
    int count = 0;
    for (const std::string& line : lines) {
        count += line.find(part) != std::string::npos ? 1 : 0;
    }
    return count;
}

// Runs the demo with a tap and a close, its threads named as given, and
// returns its trace.
void RunTracedDemo(std::vector<std::string> threadNames, std::vector<std::string>* lines) {
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    device::Config config;
    config.trace = file;
    device::Init(config);
    device::NameProgramThreads(std::move(threadNames));
    device::StartProgram(Demo, u"", SW_SHOW);
    ASSERT_TRUE(Eventually([] { return device::MainWindowExists(); }));
    device::StylusDown(120, 160);
    ASSERT_TRUE(Eventually([] { return gStylusSeen.load(); }));
    device::CloseRequest();
    ASSERT_TRUE(device::WaitForProgramEnd(10000));
    EXPECT_EQ(device::ExitCode(), 3);
    device::FinishTrace();
    *lines = ReadLines(file);
}

TEST(Trace, ListsEachCallWithItsThreadArgumentsAndResultInOrder) {
    std::vector<std::string> lines;
    ASSERT_NO_FATAL_FAILURE(RunTracedDemo({"render"}, &lines));

    double previous = 0;
    for (const std::string& line : lines) {
        double ms = 0;
        EXPECT_TRUE(IsWellFormed(line, &ms)) << line;
        EXPECT_GE(ms, previous) << line;
        previous = ms;
    }

    const int create =
        Find(lines,
             "main CreateWindowExW(ex=0, class=\"demo\", title=\"Plasma\", style=0xc80000, "
             "x=0x80000000, y=0x80000000, w=240, h=320, parent=0, menu=0, instance=0x10000, "
             "param=0) = 0x1");
    const int created = Find(lines,
                             "main send WM_CREATE(hwnd=0x1, wParam=0, "
                             "lParam=&CREATESTRUCT) = 0");
    const int painted = Find(lines, "main send WM_PAINT(hwnd=0x1, wParam=0, lParam=0) = 0");
    const int posted =
        Find(lines, "device post WM_LBUTTONDOWN(hwnd=0x1, wParam=0x1, lParam=0xa00078)");
    const int dispatched = Find(
        lines, "main DispatchMessageW(WM_LBUTTONDOWN(hwnd=0x1, wParam=0x1, lParam=0xa00078)) = 0");
    const int closed = Find(lines, "device post WM_CLOSE(hwnd=0x1, wParam=0, lParam=0)");
    const int destroyed = Find(lines, "main send WM_DESTROY(hwnd=0x1, wParam=0, lParam=0) = 0");
    EXPECT_NE(created, -1);
    EXPECT_LT(created, create) << "sent while the window is being created";
    EXPECT_GT(painted, create);
    EXPECT_NE(posted, -1);
    EXPECT_GT(dispatched, posted);
    EXPECT_NE(closed, -1);
    EXPECT_GT(destroyed, closed);
    EXPECT_NE(Find(lines, "main PostQuitMessage(3)"), -1);
    EXPECT_NE(Find(lines, "main WinMain returned 3"), -1);

    EXPECT_EQ(Count(lines, " = 0x100 (render)"), 1);
    EXPECT_EQ(Count(lines, " = 0x104 (thread2)"), 1);
    EXPECT_EQ(Count(lines, "GXBeginDraw("), 1) << "only the first frame is listed";
    EXPECT_NE(Find(lines, "render GXBeginDraw() = display+0"), -1);
    ASSERT_FALSE(lines.empty());
    const std::string summary = "device summary GXBeginDraw=" + std::to_string(kFrames) +
                                " GXEndDraw=" + std::to_string(kFrames) +
                                " published=0 pace=60/s frames=0 achieved=0.0/s";
    EXPECT_EQ(Find(lines, summary), static_cast<int>(lines.size()) - 1) << lines.back();
}

// The stand-in knows nothing of what the program's threads do: unnamed, they
// are numbered in the order the program created them.
TEST(Trace, NamesThreadsTheHostDidNotNameByTheirPlace) {
    std::vector<std::string> lines;
    ASSERT_NO_FATAL_FAILURE(RunTracedDemo({}, &lines));
    EXPECT_EQ(Count(lines, " = 0x100 (thread1)"), 1);
    EXPECT_EQ(Count(lines, " = 0x104 (thread2)"), 1);
    EXPECT_NE(Find(lines, "thread1 GXBeginDraw() = display+0"), -1);
    EXPECT_EQ(Count(lines, "render"), 0);
}

}  // namespace
