// The floors for the start-up and memory figures, built and linked like
// mensurel.exe:
//   baseline_window.exe            a window of the converter's client size
//                                  with one edit field, nothing else
//   baseline_window.exe controls   the same window with the converter's
//                                  controls (four edit fields, two
//                                  owner-drawn buttons, five labels) in its
//                                  two fonts, and nothing behind them: what
//                                  the converter costs beyond it is its own
//                                  code
#include <mensurel/win32/fonts.h>

#include <windows.h>

#include <cwchar>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void addControl(HWND window, DWORD exStyle, const wchar_t* kind, const wchar_t* text, DWORD style,
    RECT r, HFONT font)
{
    HWND control = CreateWindowExW(exStyle, kind, text, WS_CHILD | WS_VISIBLE | style, r.left,
        r.top, r.right, r.bottom, window, nullptr, nullptr, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

// The converter's controls where it has them at 96 dpi, in its fonts.
void addConverterControls(HWND window)
{
    const int dpi = static_cast<int>(GetDpiForSystem());
    HFONT text = mensurel::win32::createPointFont(L"Microsoft YaHei UI", 9, false, dpi);
    HFONT units = mensurel::win32::createPointFont(L"Arial", 9, true, dpi, ANSI_CHARSET);
    const DWORD field = WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
    const wchar_t* const unitNames[] = { L"Mil", L"Inch", L"Mm", L"um" };
    for (int i = 0; i < 4; ++i) {
        const int x = 23 + i % 2 * 137;
        const int y = 24 + i / 2 * 48;
        addControl(window, WS_EX_CLIENTEDGE, L"EDIT", L"0.0000", field, { x, y, 97, 21 }, text);
        addControl(window, 0, L"STATIC", unitNames[i], SS_LEFT | SS_NOPREFIX | SS_NOTIFY,
            { x + 99, y + 3, 32, 16 }, units);
    }
    addControl(window, 0, L"BUTTON", L"Command2", WS_TABSTOP | BS_PUSHBUTTON | BS_OWNERDRAW,
        { 62, 122, 175, 40 }, nullptr);
    addControl(window, 0, L"BUTTON", L"Command1", WS_TABSTOP | BS_PUSHBUTTON | BS_OWNERDRAW,
        { 62, 122, 175, 40 }, nullptr);
    addControl(window, 0, L"STATIC", L"(C) 2003 - 2026 \u7248\u6743\u6240\u6709",
        SS_LEFT | SS_NOPREFIX | SS_NOTIFY, { 23, 164, 260, 12 }, text);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show)
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"Baseline";
    RegisterClassExW(&windowClass);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame { 0, 0, 300, 176 };
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExW(0, L"Baseline", L"Baseline", style, CW_USEDEFAULT, CW_USEDEFAULT,
        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (std::wcscmp(commandLine, L"controls") == 0) {
        addConverterControls(window);
    } else {
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"1.0000",
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 23, 24, 97, 21, window, nullptr,
            instance, nullptr);
    }
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
