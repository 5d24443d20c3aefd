#include "platform/src/key_codes.h"

#include <cstring>

namespace platform {
namespace {

// A standard keyboard's letter rows and the scan code of each row's first key.
struct LetterRow {
    const char* letters;
    UINT firstScanCode;
};
constexpr LetterRow kLetterRows[] = {{"QWERTYUIOP", 0x10}, {"ASDFGHJKL", 0x1E}, {"ZXCVBNM", 0x2C}};

struct KeyScanCode {
    UINT key;
    UINT scanCode;
};
constexpr UINT kExtended = 0x100;
constexpr KeyScanCode kOtherKeys[] = {
    {VK_ESCAPE, 0x01},
    {VK_BACK, 0x0E},
    {VK_TAB, 0x0F},
    {VK_RETURN, 0x1C},
    {VK_SPACE, 0x39},
    {VK_UP, 0x48 | kExtended},
    {VK_LEFT, 0x4B | kExtended},
    {VK_RIGHT, 0x4D | kExtended},
    {VK_DOWN, 0x50 | kExtended},
};

}  // namespace

bool CharacterForKey(WPARAM virtualKey, WCHAR* character) {
    WCHAR c = 0;
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        c = static_cast<WCHAR>(virtualKey - 'A' + 'a');
    } else if (virtualKey >= '0' && virtualKey <= '9') {
        c = static_cast<WCHAR>(virtualKey);
    } else if (virtualKey == VK_SPACE) {
        c = u' ';
    } else if (virtualKey == VK_RETURN) {
        c = u'\r';
    } else if (virtualKey == VK_ESCAPE) {
        c = 0x1B;
    } else if (virtualKey == VK_BACK) {
        c = 0x08;
    } else if (virtualKey == VK_TAB) {
        c = u'\t';
    } else {
        return false;
    }
    *character = c;
    return true;
}

UINT ScanCodeForKey(UINT virtualKey) {
    if (virtualKey >= '1' && virtualKey <= '9') {
        return 0x02 + (virtualKey - '1');
    }
    if (virtualKey == '0') {
        return 0x0B;
    }
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        for (const LetterRow& row : kLetterRows) {
            if (const char* at = std::strchr(row.letters, static_cast<int>(virtualKey))) {
                return row.firstScanCode + static_cast<UINT>(at - row.letters);
            }
        }
    }
    for (const KeyScanCode& k : kOtherKeys) {
        if (k.key == virtualKey) {
            return k.scanCode;
        }
    }
    return 0;
}

}  // namespace platform
