// The program's start on its own main thread, its end, and what it gets
// from the executable's resources and the stock objects.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include "platform/device.h"
#include "tests/support/eventually.h"

namespace {

struct Start {
    HINSTANCE instance;
    HINSTANCE previous;
    std::u16string commandLine;
    int showCommand;
};
Start gStart;
std::atomic<bool> gMayEnd{false};
std::atomic<int> gWakes{0};

int WINAPI RecordStart(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show) {
    gStart = {instance, previous, commandLine, show};
    commandLine[0] = u'X';  // the buffer is the program's to change
    while (!gMayEnd) {
        Sleep(1);
    }
    return 42;
}

TEST(Program, RunsOnItsOwnThreadWithItsArgumentsAndEndsWithItsCode) {
    device::Init(device::Config{});
    device::SetWakeHandler([](void*) { ++gWakes; }, nullptr);
    device::StartProgram(RecordStart, u"-fast demo", SW_SHOW);

    EXPECT_FALSE(device::WaitForProgramEnd(50));
    EXPECT_FALSE(device::ProgramEnded());
    gMayEnd = true;
    ASSERT_TRUE(device::WaitForProgramEnd(10000));
    EXPECT_TRUE(device::ProgramEnded());
    EXPECT_EQ(device::ExitCode(), 42);
    EXPECT_TRUE(Eventually([] { return gWakes.load() >= 1; }))
        << "the host is woken when the program ends";
    EXPECT_NE(gStart.instance, nullptr);
    EXPECT_EQ(gStart.previous, nullptr);
    EXPECT_EQ(gStart.commandLine, u"-fast demo");
    EXPECT_EQ(gStart.showCommand, SW_SHOW);
}

std::atomic<bool> gWakeReturned{false};

int WINAPI EndAtOnce(HINSTANCE, HINSTANCE, LPWSTR, int) {
    return 0;
}

TEST(Program, ItsEndIsReportedOnlyOnceTheWakeForItHasReturned) {
    device::Init(device::Config{});
    // A slow wake handler: the host must not let go of its context meanwhile.
    device::SetWakeHandler(
        [](void*) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            gWakeReturned = true;
        },
        nullptr);
    device::StartProgram(EndAtOnce, u"", SW_SHOW);
    ASSERT_TRUE(Eventually([] { return device::ProgramEnded(); }));
    EXPECT_TRUE(gWakeReturned.load());
}

std::atomic<bool> gWakeEntered{false}, gWakeMayLeave{false}, gWakeLeft{false};

// The host lets go of what its handler uses once it has set another; a wake
// still under way with the old one must have returned by then.
TEST(Program, SettingAnotherWakeHandlerWaitsForTheCallUnderWay) {
    device::Init(device::Config{});
    device::SetWakeHandler(
        [](void*) {
            gWakeEntered = true;
            while (!gWakeMayLeave) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            gWakeLeft = true;
        },
        nullptr);
    device::StartProgram(EndAtOnce, u"", SW_SHOW);
    ASSERT_TRUE(Eventually([] { return gWakeEntered.load(); }));
    std::thread later([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        gWakeMayLeave = true;
    });
    device::SetWakeHandler(nullptr, nullptr);
    EXPECT_TRUE(gWakeLeft.load());
    later.join();
    EXPECT_TRUE(device::WaitForProgramEnd(10000));
}

const uint8_t kBytes[] = {0, 0, 1, 0};
const device::Resource kResources[] = {
    {device::ResourceType::kIconGroup, 101, kBytes, sizeof kBytes},
    {device::ResourceType::kIcon, 1, kBytes, sizeof kBytes},
    {device::ResourceType::kCursor, 7, kBytes, sizeof kBytes},
};

struct LoadCase {
    bool cursor;     // LoadCursorW, else LoadIconW
    bool ownModule;  // the program's instance, else null
    int id;
    bool found;
};

const LoadCase kLoads[] = {
    {false, true, 101, true}, {false, true, 104, false},  // icon groups only
    {false, true, 1, false},  {false, true, 7, false},   {true, true, 7, true},
    {true, true, 105, false}, {true, true, 101, false},  {false, false, 101, false},
};

std::vector<bool> gLoaded;

int WINAPI LoadResources(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    for (const LoadCase& c : kLoads) {
        const HINSTANCE module = c.ownModule ? instance : nullptr;
        const void* handle = c.cursor
                                 ? static_cast<void*>(LoadCursorW(module, MAKEINTRESOURCEW(c.id)))
                                 : static_cast<void*>(LoadIconW(module, MAKEINTRESOURCEW(c.id)));
        gLoaded.push_back(handle != nullptr);
    }
    return 0;
}

TEST(Program, LoadsIconsAndCursorsFromItsResourceTableByTypeAndNumber) {
    device::Init(device::Config{});
    device::SetResources(kResources, std::size(kResources));
    EXPECT_EQ(device::FindResource(device::ResourceType::kIcon, 1), &kResources[1]);
    EXPECT_EQ(device::FindResource(device::ResourceType::kIcon, 101), nullptr);

    device::StartProgram(LoadResources, u"", SW_SHOW);
    ASSERT_TRUE(device::WaitForProgramEnd(10000));

    ASSERT_EQ(gLoaded.size(), std::size(kLoads));
    for (size_t i = 0; i < gLoaded.size(); ++i) {
        EXPECT_EQ(gLoaded[i], kLoads[i].found) << "case " << i;
    }
}

// The icon the device shows for the program: the main window's class icon,
// else the executable's own, its lowest-numbered icon group (listed second
// here, so that the first in the table is not taken for it).
const device::Resource kIconResources[] = {
    {device::ResourceType::kIconGroup, 103, kBytes, sizeof kBytes},
    {device::ResourceType::kIconGroup, 101, kBytes, sizeof kBytes},
    {device::ResourceType::kCursor, 7, kBytes, sizeof kBytes},
};

struct IconCase {
    const char* name;
    bool withResources;
    bool mainWindow;  // the program registers a class and makes its main window
    bool cursorIcon;  // the class's icon is LoadCursorW's handle, else LoadIconW's
    int classIconId;  // of the class's icon
    int expectedId;   // of the icon the device shows, 0 for none
};

void PrintTo(const IconCase& c, std::ostream* out) {
    *out << c.name;
}

const IconCase kIconCases[] = {
    {"executables_before_any_window", true, false, false, 0, 101},
    {"none_without_resources", false, false, false, 0, 0},
    {"none_without_resources_or_class_icon", false, true, false, 101, 0},
    {"the_main_windows_class_icon", true, true, false, 103, 103},
    {"executables_when_the_class_icon_is_missing", true, true, false, 104, 101},
    {"executables_when_the_class_icon_is_a_cursor", true, true, true, 7, 101},
};

const IconCase* gIconCase = nullptr;

int WINAPI MakeMainWindow(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hIcon = gIconCase->cursorIcon
                            ? reinterpret_cast<HICON>(
                                  LoadCursorW(instance, MAKEINTRESOURCEW(gIconCase->classIconId)))
                            : LoadIconW(instance, MAKEINTRESOURCEW(gIconCase->classIconId));
    windowClass.lpszClassName = u"icon";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, u"icon", u"", WS_CAPTION, 0, 0, 240, 320, nullptr, nullptr, instance,
                           nullptr) != nullptr
               ? 0
               : 1;
}

class ProgramIcon : public ::testing::TestWithParam<IconCase> {};

TEST_P(ProgramIcon, IsTheMainWindowsClassIconElseTheExecutables) {
    const IconCase& c = GetParam();
    gIconCase = &c;
    device::Init(device::Config{});
    if (c.withResources) {
        device::SetResources(kIconResources, std::size(kIconResources));
    }
    if (c.mainWindow) {
        device::StartProgram(MakeMainWindow, u"", SW_SHOW);
        ASSERT_TRUE(device::WaitForProgramEnd(10000));
        ASSERT_EQ(device::ExitCode(), 0);
        ASSERT_TRUE(device::MainWindowExists());
    }
    const device::Resource* icon = device::ProgramIcon();
    if (c.expectedId == 0) {
        EXPECT_EQ(icon, nullptr);
    } else {
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->type, device::ResourceType::kIconGroup);
        EXPECT_EQ(icon->id, c.expectedId);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgramIcon, ::testing::ValuesIn(kIconCases),
                         [](const ::testing::TestParamInfo<IconCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(StockObjects, AreStableForTheHandheldsObjectsAndNullOtherwise) {
    const int known[] = {WHITE_BRUSH, BLACK_BRUSH, 5 /* NULL_BRUSH */, 7 /* BLACK_PEN */};
    std::vector<HGDIOBJ> seen;
    for (int object : known) {
        const HGDIOBJ handle = GetStockObject(object);
        EXPECT_NE(handle, nullptr) << object;
        EXPECT_EQ(GetStockObject(object), handle) << object;
        for (HGDIOBJ other : seen) {
            EXPECT_NE(other, handle) << object;
        }
        seen.push_back(handle);
    }
    for (int object : {-1, 9, 10 /* OEM_FIXED_FONT */, 100}) {
        EXPECT_EQ(GetStockObject(object), nullptr) << object;
    }
}

TEST(Sound, StoppingSucceedsAndPlayingFails) {
    EXPECT_EQ(PlaySoundW(nullptr, nullptr, 0), TRUE);
    EXPECT_EQ(PlaySoundW(u"chime", nullptr, SND_ASYNC), FALSE);
}

TEST(SleepCall, SleepsAtLeastAsLongAsAsked) {
    for (DWORD ms : {1u, 40u}) {
        const auto start = std::chrono::steady_clock::now();
        Sleep(ms);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(ms));
    }
}

}  // namespace
