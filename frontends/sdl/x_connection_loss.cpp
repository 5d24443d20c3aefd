#include "frontends/sdl/x_connection_loss.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace {
constexpr int kFailed = 1;
pid_t gLauncher = 0;

// One line on stderr from the launcher, by write(): no stdio lock that a
// program thread may hold.
void Say(const std::string& line) {
    if (getpid() != gLauncher) {
        return;
    }
    const std::string text = "plasma-demo: " + line + "\n";
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = write(STDERR_FILENO, text.data() + done, text.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
}

std::string NameOf(Display* display) {
    const char* name = display != nullptr ? DisplayString(display) : nullptr;
    return name != nullptr ? name : "?";
}

// _exit, not exit: the program's threads still run, and exit handlers would
// tear down what they use.
int OnConnectionLost(Display* display) {
    Say("the window's display " + NameOf(display) + " went away");
    _exit(kFailed);
}

int OnRequestRefused(Display* display, XErrorEvent* error) {
    char text[256] = "";
    XGetErrorText(display, error->error_code, text, sizeof(text));
    Say("the window's display " + NameOf(display) + " refused a request (" +
        std::to_string(error->request_code) + "." + std::to_string(error->minor_code) +
        "): " + text);
    _exit(kFailed);
}
}  // namespace

void EndOnDisplayLoss() {
    gLauncher = getpid();
    XSetIOErrorHandler(OnConnectionLost);
    XSetErrorHandler(OnRequestRefused);
}
