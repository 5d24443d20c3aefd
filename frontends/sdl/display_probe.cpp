#include "frontends/sdl/display_probe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

namespace {
// An X server answers the connection setup (Xlib's XOpenDisplay, which SDL
// calls, waits for that answer without a limit); a refusal is an answer too,
// so the setup goes without credentials. Looking them up would go through
// libXau's file name buffer, which it keeps for the process and frees at exit
// under a thread that may still be here.
std::function<void()> AskX(const std::string& display) {
    xcb_auth_info_t none{};
    xcb_connection_t* connection =
        xcb_connect_to_display_with_auth_info(display.c_str(), &none, nullptr);
    return [connection] { xcb_disconnect(connection); };
}

// A Wayland compositor answers wl_display.sync (SDL's first round trip)
// with events; a closed connection is an answer too.
std::function<void()> AskWayland(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= sizeof(address.sun_path)) {
        if (fd >= 0) {
            close(fd);
        }
        return nullptr;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
        // Object 1 (wl_display), request 0 (sync) of 12 bytes, callback id 2.
        const uint32_t sync[3] = {1, 12u << 16 | 0, 2};
        char answer = 0;
        if (send(fd, sync, sizeof(sync), MSG_NOSIGNAL) == sizeof(sync)) {
            (void)recv(fd, &answer, 1, 0);
        }
    }
    close(fd);
    return nullptr;
}

// Asks the display; returns what closes the connection, if it stays open.
std::function<void()> Ask(const NamedDisplay& display) {
    if (display.driver == "x11") {
        return AskX(display.address);
    }
    if (display.driver == "wayland") {
        return AskWayland(display.address);
    }
    return nullptr;
}

// What the asking threads share with the caller, who may leave before they end.
struct Answers {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<bool> answered;
    size_t left = 0;
    bool abandoned = false;  // the caller left: a late answer closes its own connection
    std::vector<std::function<void()>> held;
};

// Asks `display` on a thread of its own, which reports to `answers`.
void Start(const std::shared_ptr<Answers>& answers, size_t i, const NamedDisplay& display) {
    std::thread([answers, i, display] {
        std::function<void()> close = Ask(display);
        std::unique_lock<std::mutex> lock(answers->mutex);
        answers->answered[i] = true;
        --answers->left;
        answers->arrived.notify_all();
        if (!answers->abandoned) {
            answers->held.push_back(std::move(close));
        } else if (close) {
            lock.unlock();
            close();
        }
    }).detach();
}
}  // namespace

DisplayAnswers::DisplayAnswers(const std::vector<NamedDisplay>& displays,
                               std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    auto answers = std::make_shared<Answers>();
    answers->answered.assign(displays.size(), false);
    answers->left = displays.size();
    for (size_t i = 0; i < displays.size(); ++i) {
        try {
            Start(answers, i, displays[i]);
        } catch (const std::system_error& failure) {
            // The threads already asking close their own connections.
            std::unique_lock<std::mutex> lock(answers->mutex);
            answers->abandoned = true;
            held_ = std::move(answers->held);
            lock.unlock();
            CloseHeld();
            throw std::runtime_error("cannot open a window: cannot start a thread to ask " +
                                     displays[i].name + " whether it answers: " + failure.what());
        }
    }
    std::unique_lock<std::mutex> lock(answers->mutex);
    answers->arrived.wait_until(lock, deadline, [&] { return answers->left == 0; });
    answers->abandoned = true;
    held_ = std::move(answers->held);
    for (const bool answered : answers->answered) {
        silent_.push_back(!answered);
    }
}

DisplayAnswers::~DisplayAnswers() {
    CloseHeld();
}

void DisplayAnswers::CloseHeld() {
    for (const std::function<void()>& close : held_) {
        if (close) {
            close();
        }
    }
}
