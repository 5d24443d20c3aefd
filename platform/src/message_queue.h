#pragma once
// A thread's message queue. GetMessageW takes posted messages first, then
// input from the device, and the quit request only when nothing else waits.
// Guarded by the window system's lock.

#include <deque>

#include <windows.h>

namespace platform {

struct MessageQueue {
    std::deque<MSG> posted;
    std::deque<MSG> input;
    bool quitRequested = false;
    int quitCode = 0;
};

// GetMessageW's filter: a window (null: any) and a range (0, 0: any).
struct MessageFilter {
    HWND window;
    UINT first;
    UINT last;
};

enum class Taken { kNothing, kMessage, kQuit };

// Takes the next message the filter lets through into `out`; for kQuit only
// message and wParam are set.
Taken TakeNextMessage(MessageQueue& queue, const MessageFilter& filter, MSG* out);

// Queues a stylus move; a move still waiting is dropped, so that at most one
// is pending and it is never ahead of input that came before it.
void QueueStylusMove(MessageQueue& queue, const MSG& move);

}  // namespace platform
