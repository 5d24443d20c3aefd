#pragma once
// What a key means beyond its virtual-key code: the character it types
// (unshifted) and the keyboard scan code its messages carry.

#include <windows.h>

namespace platform {

// False when the key types nothing (arrows and the like).
bool CharacterForKey(WPARAM virtualKey, WCHAR* character);
// 0 for keys without one. Arrows come with the extended-key bit (bit 8).
UINT ScanCodeForKey(UINT virtualKey);

}  // namespace platform
