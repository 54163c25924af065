// What the Win32 window tests do on the desktop, as a user and as other
// programs would: real keys and pointer moves through SendInput, this
// thread's messages handled as the program handles them, a menu's entry
// chosen while the menu's own loop holds the thread, the clipboard, and the
// message boxes of this thread watched and closed.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace mensurel::win32::testing {

// Handles this thread's messages as the program's loop does (handleMessage)
// for `ms` milliseconds.
void pump(int ms);

// Pumps until `done` holds, `ms` milliseconds at most; whether it held.
bool pumpUntil(const std::function<bool()>& done, int ms = 3000);

// One press or release of the key `vk` with its scan code, as a keyboard
// sends it; arrows and keypad Enter are extended keys.
void sendKey(WORD vk, bool up, bool extended = false);

// Types `text` key by key: digits, lower-case letters, '.', '-' and ' ' as
// their keys, any other character as itself (KEYEVENTF_UNICODE).
void typeText(std::string_view text);

// Moves the pointer to `screen` (kept on the screen) and presses and
// releases mouse buttons.
void movePointer(POINT screen);
void mouseButton(bool right, bool up);

// Runs `open`, which opens a menu on this thread, and presses `choice` in
// the menu. A menu runs its own message loop, which holds this thread until
// it closes: the choice is pressed from another thread once the menu shows.
// Whether a menu opened.
bool inMenu(const std::function<void()>& open, WORD choice);

void setClipboard(const std::wstring& text);

// The message boxes of one thread, watched from a thread of their own: each
// box's text is noted and the box closed 300 ms after it appeared, as a user
// who read it would close it.
class BoxWatcher {
public:
    struct Box {
        std::string text;
        bool keptUntilClosed = false; // still open when the watcher closed it
        bool anotherOpen = false; // another box was open at the same time
    };

    explicit BoxWatcher(DWORD thread);
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;
    ~BoxWatcher();

    [[nodiscard]] std::vector<Box> boxes() const;

private:
    void watch(DWORD thread);

    mutable std::mutex mutex_;
    std::vector<Box> boxes_;
    bool stop_ = false;
    std::thread watcher_;
};

} // namespace mensurel::win32::testing
