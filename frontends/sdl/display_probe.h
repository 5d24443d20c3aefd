#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include "frontends/sdl/named_displays.h"

// How long a display has to answer before the window is given up. A local
// server answers a new client within milliseconds, and a remote one over a
// slow link (ssh -X, a few round trips) within a second or so; a display
// silent for 3 s has stopped or is wedged, and a person waiting for a window
// should hear so soon.
inline constexpr std::chrono::seconds kDisplayAnswerTime{3};

// Which displays stayed silent: took the connection (or never finished
// taking it) but did not answer a client's first request within `limit`. A
// display that answers, refuses or is not there is not silent; SDL tells
// those apart by itself. A display that does not answer would hold SDL's
// connection to it, and the launcher with it, for ever.
//
// Each display is asked on a thread of its own; a silent one's thread is left
// waiting, detached, and ends whenever the display answers or the process
// ends. It holds nothing the process needs.
class DisplayAnswers {
public:
    // Throws std::runtime_error, with a one-line reason, when a display
    // cannot be asked (no thread for it).
    DisplayAnswers(const std::vector<NamedDisplay>& displays, std::chrono::milliseconds limit);
    // Closes the connections that were answered.
    ~DisplayAnswers();
    DisplayAnswers(const DisplayAnswers&) = delete;
    DisplayAnswers& operator=(const DisplayAnswers&) = delete;

    // One for each display, in order.
    const std::vector<bool>& Silent() const { return silent_; }

private:
    void CloseHeld();

    std::vector<bool> silent_;
    // An answered X connection stays open while this lives: an X server
    // whose last client leaves resets, and SDL's own connection would wait
    // for that.
    std::vector<std::function<void()>> held_;
};
