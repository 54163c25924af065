// What the window asks of the Windows shell and of accessibility tools.
// Neither is needed for the first frame, so neither is loaded at start: the
// shell (shell32) and COM (ole32, and the accessibility DLLs it brings) are
// loaded from the system folder the first time they are used.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct IAccPropServices; // <oleacc.h>

namespace mensurel::win32 {

// Hands `address` to the shell's "open" verb, which opens it in the user's
// browser, minimised and without taking the focus. Returns at once, without
// waiting for the browser; false when nothing could be started.
bool shellOpen(const std::wstring& address);

// COM on the calling thread (a single-threaded apartment) for the life of
// this object; ole32 is loaded by the first one. Where COM is already up on
// the thread this only counts one more use of it.
class ComApartment {
public:
    ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment();

private:
    bool entered_ = false;
};

// Names and descriptions of controls for screen readers (Dynamic
// Annotation). The texts are kept here and handed to the system's
// annotation service only once an assistive tool asks the window for its
// accessible objects (`provide`, on WM_GETOBJECT): until then COM and the
// accessibility DLLs stay unloaded. Best effort: where the system offers no
// service, or the service refuses, the window works the same.
class AccessibleText {
public:
    AccessibleText() = default;
    AccessibleText(const AccessibleText&) = delete;
    AccessibleText& operator=(const AccessibleText&) = delete;
    ~AccessibleText();

    void setName(HWND control, const std::wstring& name);
    // An empty description takes the description off.
    void setDescription(HWND control, const std::wstring& description);

    // Starts the annotation service, the first time, and gives it every
    // text set so far; later texts go to it as they are set. Called when an
    // assistive tool asks for one of the window's accessible objects, before
    // the system answers it.
    void provide();

private:
    struct Texts {
        std::wstring name;
        std::wstring description;
    };

    Texts& textsOf(HWND control);

    std::vector<std::pair<HWND, Texts>> controls_;
    bool asked_ = false; // provide() has run
    std::optional<ComApartment> com_; // from the first provide() on
    IAccPropServices* services_ = nullptr;
};

} // namespace mensurel::win32
