// Message boxes are shown by the host. MessageBoxW queues the request, wakes
// the host through its wake handler and blocks its thread until the host
// answers: the host calls TakeMessageBoxRequest, shows the box, then
// AnswerMessageBox with the button chosen (answers go to requests in the
// order they were taken). A host that shows message boxes sets a wake handler
// first; while none is set there is no one to ask, and MessageBoxW returns
// IDOK at once, as if the user had dismissed the box.

#include <algorithm>
#include <mutex>
#include <new>

#include <windows.h>

#include "platform/device.h"
#include "platform/src/host.h"
#include "platform/src/memory_shortage.h"
#include "platform/src/termination.h"
#include "platform/src/thread_record.h"
#include "platform/src/trace.h"
#include "platform/src/window_system.h"

namespace {

// With the lock held: the box of a caller that is being terminated leaves
// the queue; one the host is showing stays behind, without a caller, to take
// the answer meant for it.
void Withdraw(platform::WindowSystem& ws, platform::MessageBoxCall& call) {
    for (platform::MessageBoxCall*& queued : ws.messageBoxes) {
        if (queued == &call) {
            queued =
                call.taken ? new platform::MessageBoxCall{call.request, nullptr, true} : nullptr;
        }
    }
    auto& boxes = ws.messageBoxes;
    boxes.erase(std::remove(boxes.begin(), boxes.end(), nullptr), boxes.end());
}

int WaitForAnswer(platform::MessageBoxCall& call) {
    platform::WindowSystem& ws = platform::Windows();
    std::unique_lock<std::mutex> lock(ws.mutex);
    while (!call.answered) {
        if (platform::TerminationRequested()) {
            Withdraw(ws, call);
            return 0;
        }
        call.caller->wake.wait(lock);
    }
    return call.answer;
}

}  // namespace

extern "C" int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) try {
    const platform::TerminationDeferred deferred;
    int answer = IDOK;
    if (platform::HostListening()) {
        platform::MessageBoxCall call{
            {caption != nullptr ? caption : u"Error", text != nullptr ? text : u"", type},
            platform::CurrentThread()};
        {
            platform::WindowSystem& ws = platform::Windows();
            const std::lock_guard<std::mutex> lock(ws.mutex);
            ws.messageBoxes.push_back(&call);
        }
        platform::WakeHost();
        answer = WaitForAnswer(call);
        if (platform::TerminationRequested()) {
            return 0;  // never seen: the thread parks as the call unwinds
        }
    }
    platform::TraceLine("MessageBoxW(owner=%s, text=%s, caption=%s, type=%s) = %d",
                        platform::Hex(owner).c_str(), platform::Quoted(text).c_str(),
                        platform::Quoted(caption).c_str(), platform::Hex(type).c_str(), answer);
    return answer;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("MessageBoxW");
}

namespace device {

bool TakeMessageBoxRequest(MessageBoxRequest* request) {
    platform::WindowSystem& ws = platform::Windows();
    const platform::TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(ws.mutex);
    for (platform::MessageBoxCall* call : ws.messageBoxes) {
        if (!call->taken) {
            call->taken = true;
            *request = call->request;
            return true;
        }
    }
    return false;
}

void AnswerMessageBox(int result) {
    platform::WindowSystem& ws = platform::Windows();
    const platform::TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(ws.mutex);
    auto& boxes = ws.messageBoxes;
    const auto shown = std::find_if(boxes.begin(), boxes.end(),
                                    [](const platform::MessageBoxCall* c) { return c->taken; });
    if (shown == boxes.end()) {
        return;
    }
    platform::MessageBoxCall* call = *shown;
    boxes.erase(shown);
    if (call->caller == nullptr) {
        delete call;  // its caller was terminated while the box was shown
        return;
    }
    call->answered = true;
    call->answer = result;
    call->caller->wake.notify_all();
}

}  // namespace device
