#include "platform/src/message_queue.h"

#include <algorithm>

namespace platform {
namespace {

bool Matches(const MessageFilter& filter, const MSG& message) {
    if (filter.window != nullptr && message.hwnd != filter.window) {
        return false;
    }
    if (filter.first == 0 && filter.last == 0) {
        return true;
    }
    return message.message >= filter.first && message.message <= filter.last;
}

bool TakeFrom(std::deque<MSG>& messages, const MessageFilter& filter, MSG* out) {
    const auto found = std::find_if(messages.begin(), messages.end(),
                                    [&](const MSG& m) { return Matches(filter, m); });
    if (found == messages.end()) {
        return false;
    }
    *out = *found;
    messages.erase(found);
    return true;
}

}  // namespace

Taken TakeNextMessage(MessageQueue& queue, const MessageFilter& filter, MSG* out) {
    if (TakeFrom(queue.posted, filter, out) || TakeFrom(queue.input, filter, out)) {
        return Taken::kMessage;
    }
    if (queue.quitRequested) {
        queue.quitRequested = false;
        out->hwnd = nullptr;
        out->message = WM_QUIT;
        out->wParam = static_cast<WPARAM>(queue.quitCode);
        out->lParam = 0;
        return Taken::kQuit;
    }
    return Taken::kNothing;
}

void QueueStylusMove(MessageQueue& queue, const MSG& move) {
    auto& input = queue.input;
    input.erase(std::remove_if(input.begin(), input.end(),
                               [](const MSG& m) { return m.message == WM_MOUSEMOVE; }),
                input.end());
    input.push_back(move);
}

}  // namespace platform
