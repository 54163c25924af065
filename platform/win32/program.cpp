// The program around the window: its message loop, in which the window's
// keyboard handling sees each queued message before it is dispatched, and
// its start-up.
#include <mensurel/win32/window.h>

#include <commctrl.h>

#include <cwchar>

namespace mensurel::win32 {

namespace {

// A key message as Form1 takes it. The physical key is the scan code with
// its extended-key bit: a release matches its press whatever virtual key
// either reported.
ui::KeyEvent plainKey(const MSG& message)
{
    const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    return { .code = static_cast<int>((message.lParam >> 16) & 0x1FF),
        .autoRepeat = down && (message.lParam & (LPARAM { 1 } << 30)) != 0,
        .escape = message.wParam == VK_ESCAPE,
        .enter = message.wParam == VK_RETURN,
        .space = message.wParam == VK_SPACE };
}

} // namespace

int localYear()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wYear;
}

Window* Window::owning(HWND hwnd)
{
    HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    wchar_t name[32] {};
    if (!root || GetClassNameW(root, name, 32) == 0 || std::wcscmp(name, kClassName) != 0)
        return nullptr;
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(root, GWLP_USERDATA));
    return self && self->window_ ? self : nullptr;
}

void Window::preTranslate(MSG& message)
{
    std::optional<UnitField> inField;
    std::optional<ui::Face> onFace;
    if (const auto at = controlOf(message.hwnd)) {
        inField = ui::fieldOf(*at);
        onFace = ui::faceOf(*at);
    }
    const bool keyDown = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    const bool keyUp = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
    // Presses are taken here, before the dialog keys (Tab, Return, Escape)
    // are consumed, so that a Return typed in a field converts at its release
    // and Escape reaches the warning.
    if (inField && keyDown) form_.keyPressed(*inField, plainKey(message));
    // Return, Enter and Space on a face are Form1's, presses and releases:
    // the button never clicks by itself.
    if (onFace && message.message == WM_KEYDOWN && form_.faceKeyPressed(*onFace, plainKey(message)))
        return;
    if (onFace && message.message == WM_KEYUP && form_.faceKeyReleased(*onFace, plainKey(message)))
        return;
    if (!IsDialogMessageW(window_, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The release reaches the procedure after the field has had the key.
    if (inField && keyUp) form_.keyReleased(*inField, plainKey(message));
}

void handleMessage(MSG& message)
{
    if (Window* window = Window::owning(message.hwnd)) {
        window->preTranslate(message);
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int runProgram(HINSTANCE instance, int showCommand)
{
    // COM is not started here: the window starts it when it first needs it.
    INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES };
    InitCommonControlsEx(&controls);
    Window window;
    if (!window.create(instance)) return 1;
    window.loadAndShow(showCommand);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) handleMessage(message);
    return static_cast<int>(message.wParam);
}

} // namespace mensurel::win32
