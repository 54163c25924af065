// What the window needs of the X server's keyboard, kept apart from Qt
// because Xlib's macros clash with Qt's names.
#pragma once

namespace mensurel::qt::x11 {

// Asks the X server to report a held key as repeated presses and one
// release, instead of a release and a press at every repetition: Qt cannot
// always tell those pairs from the user letting go and pressing again, and
// a click at every one of them would open the web site once per repetition.
// `display` is the application's Xlib display; false when the server
// refused.
bool reportHeldKeysWithoutReleases(void* display);

} // namespace mensurel::qt::x11
