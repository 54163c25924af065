#include "x11_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <memory>

namespace x11 {

namespace {

struct CloseDisplay {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, CloseDisplay>;

struct XFreeDeleter {
    void operator()(void* data) const { XFree(data); }
};

long long processOf(Display* display, Window window)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
            &count, &after, &data)
        != Success)
        return -1;
    const std::unique_ptr<unsigned char, XFreeDeleter> owned(data);
    if (data == nullptr || count != 1 || format != 32) return -1;
    return static_cast<long long>(*reinterpret_cast<const unsigned long*>(data));
}

} // namespace

unsigned long findWindow(long long pid, const char* title)
{
    const DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) return 0;
    Window root = DefaultRootWindow(display.get());
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display.get(), root, &root, &parent, &children, &count) == 0) return 0;
    const std::unique_ptr<Window, XFreeDeleter> owned(children);
    // Without a window manager the program's top-level windows are children
    // of the root window, the unmapped helper windows of the toolkit too.
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes {};
        if (XGetWindowAttributes(display.get(), children[i], &attributes) == 0
            || attributes.map_state != IsViewable || processOf(display.get(), children[i]) != pid)
            continue;
        char* name = nullptr;
        if (XFetchName(display.get(), children[i], &name) == 0) continue;
        const std::unique_ptr<char, XFreeDeleter> ownedName(name);
        if (std::strcmp(name, title) == 0) return children[i];
    }
    return 0;
}

bool requestClose(unsigned long window)
{
    const DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) return false;
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0]
        = static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display.get(), window, False, NoEventMask, &event);
    XFlush(display.get());
    return sent != 0;
}

} // namespace x11
