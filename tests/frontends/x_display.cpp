#include "tests/frontends/x_display.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "tests/support/child_process.h"

namespace {
constexpr int kStartTimeoutMs = 10000;

// Windows vanish while they are looked at (a message box closing); such
// requests fail quietly instead of ending the test.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

Atom Intern(Display* x, const char* name) {
    return XInternAtom(x, name, False);
}
}  // namespace

void VirtualDisplay::Start(const std::string& xvfb) {
    int fds[2];
    if (pipe(fds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    // The server inherits the pipe's write end and reports on it.
    server_ = StartChild({xvfb, "-displayfd", std::to_string(fds[1]), "-screen", "0",
                          "1280x1024x24", "-nolisten", "tcp", "-noreset"});
    close(fds[1]);
    if (server_ < 0) {
        close(fds[0]);
        throw std::runtime_error("cannot start " + xvfb);
    }
    // The server writes its display number once it accepts connections.
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&wait, 1, kStartTimeoutMs) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        throw std::runtime_error(xvfb + " did not report a display number");
    }
    const std::string name = ":" + number;
    setenv("DISPLAY", name.c_str(), 1);
    XSetErrorHandler(IgnoreXError);
    display_ = XOpenDisplay(name.c_str());
    if (display_ == nullptr) {
        throw std::runtime_error("cannot connect to " + name);
    }
}

void VirtualDisplay::Freeze() {
    if (server_ > 0 && kill(server_, SIGSTOP) == 0) {
        frozen_ = true;
    }
}

void VirtualDisplay::Stop() {
    // A frozen server would hold the closing of our connection, and its end.
    if (frozen_) {
        kill(server_, SIGCONT);
        frozen_ = false;
    }
    if (display_ != nullptr) {
        XCloseDisplay(display_);
        display_ = nullptr;
    }
    if (server_ > 0) {
        StopChild(server_);
        server_ = -1;
    }
}

std::vector<Window> ShownWindows(Display* x) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    std::vector<Window> shown;
    if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count) == 0) {
        return shown;
    }
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(x, children[i], &attributes) != 0 &&
            attributes.map_state == IsViewable && attributes.c_class == InputOutput) {
            shown.push_back(children[i]);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return shown;
}

std::string WindowName(Display* x, Window window) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(x, window, Intern(x, "_NET_WM_NAME"), 0, 1024, False,
                           Intern(x, "UTF8_STRING"), &type, &format, &items, &left,
                           &data) == Success &&
        data != nullptr) {
        name.assign(reinterpret_cast<const char*>(data), items);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return name;
}

Window TransientFor(Display* x, Window window) {
    Window owner = None;
    return XGetTransientForHint(x, window, &owner) != 0 ? owner : None;
}

bool WindowSize(Display* x, Window window, int* width, int* height) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(x, window, &attributes) == 0) {
        return false;
    }
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

std::vector<uint32_t> Cardinals(Display* x, Window window, const char* property) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    std::vector<uint32_t> values;
    if (XGetWindowProperty(x, window, Intern(x, property), 0, 1 << 20, False, XA_CARDINAL, &type,
                           &format, &items, &left, &data) == Success &&
        data != nullptr && format == 32) {
        // Xlib hands 32-bit items over as longs.
        const long* longs = reinterpret_cast<const long*>(data);
        for (unsigned long i = 0; i < items; ++i) {
            values.push_back(static_cast<uint32_t>(longs[i]));
        }
    }
    if (data != nullptr) {
        XFree(data);
    }
    return values;
}

void SendDeleteWindow(Display* x, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = Intern(x, "WM_PROTOCOLS");
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(Intern(x, "WM_DELETE_WINDOW"));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x, window, False, NoEventMask, &event);
    XSync(x, False);
}

bool CapturePicture(Display* x, Window window, Picture* picture) {
    int width = 0, height = 0;
    if (!WindowSize(x, window, &width, &height)) {
        return false;
    }
    XImage* image = XGetImage(x, window, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    if (image->red_mask != 0xFF0000 || image->green_mask != 0xFF00 || image->blue_mask != 0xFF) {
        XDestroyImage(image);
        return false;
    }
    picture->width = width;
    picture->height = height;
    picture->rgb.resize(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            picture->rgb[static_cast<size_t>(row) * width + column] =
                static_cast<uint32_t>(XGetPixel(image, column, row) & 0xFFFFFF);
        }
    }
    XDestroyImage(image);
    return true;
}
