// What the window asks of the Windows shell and of accessibility tools.
#pragma once

#include <windows.h>

#include <string>

struct IAccPropServices; // <oleacc.h>

namespace mensurel::win32 {

// Hands `address` to the shell's "open" verb, which opens it in the user's
// browser, minimised and without taking the focus. Returns at once, without
// waiting for the browser; false when nothing could be started.
bool shellOpen(const std::wstring& address);

// Names and descriptions of controls for screen readers (Dynamic
// Annotation), through one annotation service for the window's life. Best
// effort: where the system offers no service, or the service refuses, the
// calls return false and the window works the same.
class AccessibleText {
public:
    AccessibleText(); // needs COM initialised on this thread
    AccessibleText(const AccessibleText&) = delete;
    AccessibleText& operator=(const AccessibleText&) = delete;
    ~AccessibleText();

    bool setName(HWND control, const std::wstring& name);
    // An empty description takes the description off.
    bool setDescription(HWND control, const std::wstring& description);

private:
    IAccPropServices* services_ = nullptr;
};

} // namespace mensurel::win32
