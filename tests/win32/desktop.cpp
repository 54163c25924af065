#include "desktop.h"

#include <mensurel/win32/text.h>
#include <mensurel/win32/window.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>

namespace mensurel::win32::testing {

namespace {

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void sendUnicode(wchar_t ch, bool up)
{
    INPUT input {};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = ch;
    input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    SendInput(1, &input, sizeof input);
}

bool inMenuMode(DWORD thread)
{
    GUITHREADINFO info { sizeof info, 0, {}, {}, {}, {}, {}, {}, {} };
    return GetGUIThreadInfo(thread, &info)
        && (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0;
}

// The shown message boxes of `thread`: the system's dialog class.
std::vector<HWND> messageBoxesOf(DWORD thread)
{
    std::vector<HWND> found;
    EnumThreadWindows(
        thread,
        [](HWND w, LPARAM list) {
            wchar_t name[16] {};
            GetClassNameW(w, name, 16);
            if (IsWindowVisible(w) && std::wstring(name) == L"#32770")
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The text of a message box: its Static control with text (the icon's has
// none). Read without sending a message to the box's busy thread.
std::string boxText(HWND box)
{
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child && text.empty();
        child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] {};
        GetClassNameW(child, name, 16);
        if (_wcsicmp(name, L"Static") != 0) continue;
        wchar_t buffer[1024] {};
        text.assign(buffer, static_cast<std::size_t>(InternalGetWindowText(child, buffer, 1024)));
    }
    return narrow(text);
}

} // namespace

void pump(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) handleMessage(message);
        sleepMs(2);
    } while (std::chrono::steady_clock::now() < end);
}

bool pumpUntil(const std::function<bool()>& done, int ms)
{
    for (int waited = 0; waited < ms; waited += 10) {
        if (done()) return true;
        pump(10);
    }
    return done();
}

void sendKey(WORD vk, bool up, bool extended)
{
    INPUT input {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &input, sizeof input);
}

void typeText(std::string_view text)
{
    for (const char c : text) {
        WORD vk = 0;
        if (c >= '0' && c <= '9') vk = static_cast<WORD>(static_cast<unsigned char>(c));
        if (c >= 'a' && c <= 'z') vk = static_cast<WORD>(c - 'a' + 'A');
        if (c == '.') vk = VK_OEM_PERIOD;
        if (c == '-') vk = VK_OEM_MINUS;
        if (c == ' ') vk = VK_SPACE;
        for (const bool up : { false, true }) {
            if (vk)
                sendKey(vk, up);
            else
                sendUnicode(static_cast<wchar_t>(static_cast<unsigned char>(c)), up);
        }
        pump(10);
    }
    pump(60);
}

void movePointer(POINT screen)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input {};
    input.type = INPUT_MOUSE;
    // Normalised coordinates, rounded up so that they map back onto the
    // pixel itself.
    input.mi.dx = MulDiv(std::clamp<int>(screen.x, 0, width - 1), 65536, width) + 1;
    input.mi.dy = MulDiv(std::clamp<int>(screen.y, 0, height - 1), 65536, height) + 1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void mouseButton(bool right, bool up)
{
    INPUT input {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = right ? (up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN)
                             : (up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN);
    SendInput(1, &input, sizeof input);
}

bool inMenu(const std::function<void()>& open, WORD choice)
{
    const DWORD thread = GetCurrentThreadId();
    bool opened = false;
    std::thread chooser([&] {
        for (int waited = 0; waited < 3000 && !opened; waited += 10) {
            sleepMs(10);
            opened = inMenuMode(thread);
        }
        sleepMs(100);
        sendKey(choice, false);
        sendKey(choice, true);
        // A menu the choice did not close would hold the test forever.
        for (int waited = 0; waited < 2000 && inMenuMode(thread); waited += 10) sleepMs(10);
        while (inMenuMode(thread)) {
            sendKey(VK_ESCAPE, false);
            sendKey(VK_ESCAPE, true);
            sleepMs(200);
        }
    });
    open();
    pump(300);
    chooser.join();
    pump(50);
    return opened;
}

void setClipboard(const std::wstring& text)
{
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

BoxWatcher::BoxWatcher(DWORD thread)
    : watcher_([this, thread] { watch(thread); })
{
}

BoxWatcher::~BoxWatcher()
{
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    watcher_.join();
}

std::vector<BoxWatcher::Box> BoxWatcher::boxes() const
{
    const std::lock_guard lock(mutex_);
    return boxes_;
}

void BoxWatcher::watch(DWORD thread)
{
    using Clock = std::chrono::steady_clock;
    struct Open {
        std::size_t index; // in boxes_
        Clock::time_point since;
    };
    std::map<HWND, Open> open;
    std::vector<HWND> closing; // closed by the watcher, still on the screen
    for (;;) {
        {
            const std::lock_guard lock(mutex_);
            if (stop_) return;
        }
        const std::vector<HWND> shown = messageBoxesOf(thread);
        const auto gone = [&](HWND box) { return std::ranges::find(shown, box) == shown.end(); };
        std::erase_if(closing, gone);
        // A box gone before its time was closed by something else.
        std::erase_if(open, [&](const auto& entry) { return gone(entry.first); });
        const std::lock_guard lock(mutex_);
        for (HWND box : shown) {
            if (std::ranges::find(closing, box) != closing.end()) continue;
            if (!open.contains(box)) {
                open[box] = { boxes_.size(), Clock::now() };
                boxes_.push_back({});
            }
            Box& seen = boxes_[open[box].index];
            if (seen.text.empty()) seen.text = boxText(box);
            if (shown.size() > 1) seen.anotherOpen = true;
        }
        for (auto it = open.begin(); it != open.end();) {
            if (Clock::now() - it->second.since < std::chrono::milliseconds(300)) {
                ++it;
                continue;
            }
            boxes_[it->second.index].keptUntilClosed = true;
            PostMessageW(it->first, WM_COMMAND, IDOK, 0);
            closing.push_back(it->first);
            it = open.erase(it);
        }
        sleepMs(10);
    }
}

} // namespace mensurel::win32::testing
