// The two things a window manager does that the close test needs, kept apart
// from Qt because Xlib's macros clash with Qt's names.
#pragma once

namespace x11 {

// The mapped top-level window of process `pid` titled `title` on the
// display named by DISPLAY; 0 while there is none.
unsigned long findWindow(long long pid, const char* title);

// Asks `window` to close, as a click on its close box does (WM_DELETE_WINDOW).
bool requestClose(unsigned long window);

} // namespace x11
