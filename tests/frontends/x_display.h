#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

// An X server of the test's own: Xvfb on a free display number, made the
// DISPLAY of this process and of every program it starts.
class VirtualDisplay {
public:
    VirtualDisplay() = default;
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;
    ~VirtualDisplay() { Stop(); }

    // Starts `xvfb` with a 1280x1024 screen; throws std::runtime_error with
    // the reason on failure.
    void Start(const std::string& xvfb);
    // Stops the server; its clients lose their connection and end.
    void Stop();
    // Stops the server in its tracks (SIGSTOP): it keeps its socket and takes
    // connections, but answers nothing until it is stopped for good.
    void Freeze();
    Display* x() const { return display_; }

private:
    pid_t server_ = -1;
    bool frozen_ = false;
    Display* display_ = nullptr;
};

// The top-level windows that are on the screen.
std::vector<Window> ShownWindows(Display* x);
std::string WindowName(Display* x, Window window);  // UTF-8
Window TransientFor(Display* x, Window window);     // None when it is not
bool WindowSize(Display* x, Window window, int* width, int* height);
// A window property of 32-bit items (CARDINAL), empty when there is none.
std::vector<uint32_t> Cardinals(Display* x, Window window, const char* property);
// Asks the window's client to close it, as a window manager's close button does.
void SendDeleteWindow(Display* x, Window window);

// What the window shows, as 0xRRGGBB, rows top to bottom.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;
    uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};
bool CapturePicture(Display* x, Window window, Picture* picture);
