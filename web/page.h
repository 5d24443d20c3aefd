#pragma once
// What the host's thread tells the page: how to show the screen, and how the
// run ended.

#include <string>

// The whole-number scale the user asked for (0: the page chooses).
void PageSetScale(int scale);
// The run is over with `status`; `message` (may be empty) is shown with it.
void PageEnded(int status, const std::string& message);
