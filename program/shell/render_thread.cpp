#include <gx.h>
#include <windows.h>

#include "display/draw_surface.h"
#include "effect/plasma_effect.h"
#include "shell/shell.h"

// Frames are not paced: each is drawn as soon as the previous one is done.
void RunPlasma() {
    PlasmaEffect effect;
    effect.Init(gDrawSurface.width, gDrawSurface.renderHeight);
    const int bracketFrames = GXIsDisplayDRAMBuffer();
    while (IsRunning()) {
        if (bracketFrames) {
            GXBeginDraw();
        }
        effect.RenderFrame();
        if (bracketFrames) {
            GXEndDraw();
        }
    }
}

DWORD WINAPI RenderThreadProc(LPVOID /*parameter*/) {
    SetRunning(1);
    RunPlasma();
    SetRunning(0);
    PostMessageW(gMainWindow, WM_CLOSE, 0, 0);
    return 0;
}
