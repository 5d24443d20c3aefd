#include <cinttypes>
#include <cstdio>
#include <string>

#include "platform/src/trace.h"
#include "platform/utf8.h"

namespace platform {

std::string Hex(uintptr_t value) {
    if (value == 0) {
        return "0";
    }
    char text[24];
    std::snprintf(text, sizeof text, "0x%" PRIxPTR, value);
    return text;
}

std::string Hex(const void* value) {
    return Hex(reinterpret_cast<uintptr_t>(value));
}

std::string Quoted(LPCWSTR text) {
    if (text == nullptr) {
        return "0";
    }
    if (IS_INTRESOURCE(text)) {
        return "#" + std::to_string(reinterpret_cast<uintptr_t>(text));
    }
    std::string out = "\"";
    for (const WCHAR* p = text; *p != 0; ++p) {
        char32_t c = *p;
        if (c >= 0xD800 && c < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || (c >= 0xD800 && c < 0xE000)) {
            char escape[12];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            AppendUtf8(out, c);
        }
    }
    return out + "\"";
}

std::string MessageName(UINT message) {
    switch (message) {
        case WM_NULL:
            return "WM_NULL";
        case WM_CREATE:
            return "WM_CREATE";
        case WM_DESTROY:
            return "WM_DESTROY";
        case WM_PAINT:
            return "WM_PAINT";
        case WM_CLOSE:
            return "WM_CLOSE";
        case WM_QUIT:
            return "WM_QUIT";
        case WM_KEYDOWN:
            return "WM_KEYDOWN";
        case WM_KEYUP:
            return "WM_KEYUP";
        case WM_CHAR:
            return "WM_CHAR";
        case WM_MOUSEMOVE:
            return "WM_MOUSEMOVE";
        case WM_LBUTTONDOWN:
            return "WM_LBUTTONDOWN";
        case WM_LBUTTONUP:
            return "WM_LBUTTONUP";
        default:
            return Hex(message);
    }
}

std::string DescribeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return MessageName(message) + "(hwnd=" + Hex(window) + ", wParam=" + Hex(wParam) +
           ", lParam=" + Hex(static_cast<uintptr_t>(lParam)) + ")";
}

}  // namespace platform
