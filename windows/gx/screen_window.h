#pragma once
// The device's screen on the desktop: a window of its own, on a thread of
// its own, that shows the screen about 60 times a second at a whole-number
// scale and hands clicks, keys and its close button to the program's main
// window as the device's taps, keys and close request. It also delivers the
// scheduled input of the settings.

// Starts the thread and returns once its window exists.
void StartScreenWindow();
