#pragma once
// A window for the tests: its procedure records every message it receives,
// with how deeply it was nested in other messages (a message sent while the
// procedure handles another arrives one level deeper), then leaves the
// message to DefWindowProcW. It quits on a chosen message.

#include <ostream>
#include <vector>

#include <windows.h>

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int depth;
};

struct TestWindowBehaviour {
    UINT quitOn = WM_DESTROY;  // calls PostQuitMessage(kQuitCode) on it
    LRESULT createResult = 0;  // what WM_CREATE returns
};

constexpr int kQuitCode = 7;

// Creates a window of the test class on the calling thread.
HWND CreateTestWindow(int x = 0, int y = 0, int width = 240, int height = 320,
                      TestWindowBehaviour behaviour = {});
// Everything the procedure has received so far.
std::vector<Received> ReceivedMessages();

// Runs the message loop until WM_QUIT; returns what GetMessageW returned,
// WM_QUIT included, and checks GetMessageW's results on the way.
std::vector<MSG> PumpUntilQuit();

// GetMessageW's sequence as (message, wParam) pairs, for comparing with tables.
struct Seen {
    UINT message;
    WPARAM wParam;
    bool operator==(const Seen& other) const {
        return message == other.message && wParam == other.wParam;
    }
};
std::vector<Seen> MessagesOf(const std::vector<MSG>& messages);
std::vector<Seen> MessagesOf(const std::vector<Received>& messages);
void PrintTo(const Seen& seen, std::ostream* out);
