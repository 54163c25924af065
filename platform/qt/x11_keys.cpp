#include "x11_keys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace mensurel::qt::x11 {

bool reportHeldKeysWithoutReleases(void* display)
{
    if (display == nullptr) return false;
    Bool supported = False;
    return XkbSetDetectableAutoRepeat(static_cast<Display*>(display), True, &supported) == True
        && supported == True;
}

} // namespace mensurel::qt::x11
