#pragma once
// Xlib's answer to a display that goes away (its server killed, the link
// cut) is to print its own lines and exit(), running the process's exit
// handlers under the program's threads; an I/O error handler may not
// return. This one says so in the program's own line instead and ends the
// process at once (status 1), as the stop signals do: nothing is saved or
// written after it, and nothing is left half written (the screenshot is
// written only after the window's last use). A request the display refuses
// is ended the same way, in one line, where Xlib would print eight and exit.

// From now on, for every X connection of the process (SDL's and its GL
// driver's). A child process SDL starts (a message box) ends quietly: the
// launcher says it.
void EndOnDisplayLoss();
