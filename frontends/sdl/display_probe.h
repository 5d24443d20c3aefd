#pragma once

#include <chrono>
#include <vector>

#include "frontends/sdl/named_displays.h"

// How long a display has to answer before the window is given up. A local
// server answers a new client within milliseconds, and a remote one over a
// slow link (ssh -X, a few round trips) within a second or so; a display
// silent for 3 s has stopped or is wedged, and a person waiting for a window
// should hear so soon.
inline constexpr std::chrono::seconds kDisplayAnswerTime{3};

// For each display, whether it stayed silent: it took the connection (or
// never finished taking it) but did not answer a client's first request
// within `limit`. A display that answers, refuses or is not there is not
// silent; SDL tells those apart by itself. A display that does not answer
// would hold SDL's connection to it, and the launcher with it, for ever.
//
// Each display is asked on a thread of its own; a silent one's thread is
// left waiting, detached, and ends whenever the display answers or the
// process ends. It holds nothing the process needs.
std::vector<bool> SilentDisplays(const std::vector<NamedDisplay>& displays,
                                 std::chrono::milliseconds limit);
