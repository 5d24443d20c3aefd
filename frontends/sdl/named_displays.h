#pragma once
// Which displays the environment names, without SDL: plasma-demo asks before
// it loads its window front-end, which asks again before it opens SDL's video.

#include <string>
#include <vector>

struct NamedDisplay {
    std::string driver;   // SDL's video driver for it: "x11" or "wayland"
    std::string name;     // as the user knows it: "DISPLAY=:0"
    std::string address;  // DISPLAY's value, or the path of the Wayland socket
};

// The displays the environment names, in SDL's own order of preference; none
// when it names none. Unnamed displays are not tried: a Wayland attempt
// without its runtime directory prints complaints of its own.
std::vector<NamedDisplay> NamedDisplays();

// The video drivers the user named in SDL_VIDEODRIVER, in order; none when unset.
std::vector<std::string> UserVideoDrivers();

// What a window front-end says when there is nothing to try: which of the
// variables are unset, or why the one that is set names nothing.
std::string NoDisplayNamed();
