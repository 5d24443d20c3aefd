#include "web/static_data_check.h"

#include <cstdint>
#include <stdexcept>

// A class or window name and a resource number share one pointer: anything
// below 0x10000 is taken for a number (IS_INTRESOURCE). Static data starts at
// address 1024 unless the link moves it, so the program's TEXT("...") names
// would register a class "#1288" and no window would be made.
void CheckStaticDataAddresses() {
    static const char16_t probe[] = u"class";
    if (reinterpret_cast<uintptr_t>(probe) < 0x10000) {
        throw std::runtime_error(
            "static data lies below 0x10000, where names are taken for resource numbers: "
            "link with -sGLOBAL_BASE=65536");
    }
}
