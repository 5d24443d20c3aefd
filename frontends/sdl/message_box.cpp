#include "frontends/sdl/message_box.h"

#include <SDL_messagebox.h>

#include <cstdio>
#include <string>

#include "frontends/sdl/sdl_video.h"
#include "platform/utf8.h"

int ShowSdlMessageBox(SDL_Window* window, const device::MessageBoxRequest& request) {
    const std::string caption = ToUtf8(request.caption), text = ToUtf8(request.text);
    const SDL_MessageBoxButtonData ok{
        SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
        "OK"};
    const SDL_MessageBoxData box{0, window, caption.c_str(), text.c_str(), 1, &ok, nullptr};
    int button = IDOK;
    if (SDL_ShowMessageBox(&box, &button) != 0) {
        std::fprintf(stderr, "plasma-demo: %s\nmessage box \"%s\": %s\n",
                     SdlError("cannot show a message box").c_str(), caption.c_str(), text.c_str());
    }
    // OK is the only button, so closing the box counts as OK as well.
    return IDOK;
}
