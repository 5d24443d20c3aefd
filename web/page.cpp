#include "web/page.h"

#include <emscripten.h>

void PageSetScale(int scale) {
    MAIN_THREAD_EM_ASM({ Module.plasmaPage.setScale($0); }, scale);
}

void PageEnded(int status, const std::string& message) {
    MAIN_THREAD_EM_ASM({ Module.plasmaPage.ended($0, UTF8ToString($1)); }, status, message.c_str());
}
