#pragma once
// The game display interface (GX.dll): direct access to display memory.

#include <windows.h>

#define GX_FULLSCREEN 0x01
#define GX_NORMALKEYS 0x02

// Format flags of GXDisplayProperties.ffFormat
#define kfLandscape 0x08
#define kfPalette 0x10
#define kfDirect 0x20
#define kfDirect555 0x40
#define kfDirect565 0x80
#define kfDirect888 0x100
#define kfDirect444 0x200
#define kfDirectInverted 0x400

struct GXDisplayProperties {
    DWORD cxWidth;
    DWORD cyHeight;
    LONG cbxPitch;  // bytes between horizontally adjacent pixels
    LONG cbyPitch;  // bytes between vertically adjacent pixels
    LONG cBPP;
    DWORD ffFormat;
};

extern "C" {
int GXOpenDisplay(HWND window, DWORD flags);
int GXCloseDisplay();
GXDisplayProperties GXGetDisplayProperties();
void* GXBeginDraw();
int GXEndDraw();
int GXIsDisplayDRAMBuffer();
int GXOpenInput();
int GXCloseInput();
int GXSuspend();
int GXResume();
}
