// What the window asks of the Windows shell and of accessibility tools.
#pragma once

#include <windows.h>

#include <string>

namespace mensurel::win32 {

// Hands `address` to the shell's "open" verb, which opens it in the user's
// browser, minimised and without taking the focus. Returns at once, without
// waiting for the browser; false when nothing could be started.
bool shellOpen(const std::wstring& address);

// Names `control` for screen readers (Dynamic Annotation). Best effort:
// false where the system offers no annotation service; the window works the
// same either way.
bool setAccessibleName(HWND control, const std::wstring& name);

// Gives `control` an accessible description, or takes it off when
// `description` is empty. Best effort, like SetAccessibleName.
bool setAccessibleDescription(HWND control, const std::wstring& description);

} // namespace mensurel::win32
