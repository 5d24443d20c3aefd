#include <windows.h>

#include <exception>
#include <string>

#include "cli/exit_status.h"
#include "windows/gx/gx_state.h"
#include "windows/gx/screen_dump.h"

// Scheduled input counts from here: as good as the process's start.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        Gx().startTick = GetTickCount64();
    } else if (reason == DLL_PROCESS_DETACH && reserved != nullptr) {
        // The process is ending and its other threads are gone. Nothing
        // may leave DllMain by an exception; the process ends as it would.
        try {
            FinishAtExit();
        } catch (const std::exception& failure) {
            WriteErrorLine(cli::FailureOf("gx.dll", failure).line);
        }
    }
    return TRUE;
}
