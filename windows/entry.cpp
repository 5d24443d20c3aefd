// Desktop Windows starts a Unicode program at wWinMain; the program's own
// entry point has the handheld's signature. The build renames it to
// ProgramWinMain here, where the desktop headers declare a WinMain of their
// own.
#include <windows.h>

int WINAPI ProgramWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine,
                          int showCommand);

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine,
                    int showCommand) {
    return ProgramWinMain(instance, previousInstance, commandLine, showCommand);
}
