#include <mensurel/win32/window.h>

#include <mensurel/win32/fonts.h>
#include <mensurel/win32/shell.h>
#include <mensurel/win32/text.h>
#include <resource_ids.h>

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <exception>
#include <numeric>

namespace mensurel::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"MensurelForm1";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;
// Control ids start above IDOK and IDCANCEL, which IsDialogMessageW sends for
// Return and Escape.
constexpr int kFirstControlId = 100;
// Posted when the web site could not be opened.
constexpr UINT kLaunchFailed = WM_APP + 1;

constexpr std::array kUnitFields { UnitField::inchs, UnitField::mils, UnitField::mm,
    UnitField::ums };

RECT windowRectFor(int clientWidth, int clientHeight, int dpi)
{
    RECT frame { 0, 0, clientWidth, clientHeight };
    AdjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, kWindowExStyle, static_cast<UINT>(dpi));
    return frame;
}

// Paints both frames' outlines on `dc`, whose origin is the client area's:
// each line lies inside the frame's rectangle, its width scaled with the
// DPI; the inside is not filled.
void paintFrames(HDC dc, const Layout& layout)
{
    const ui::Rgb& colour = ui::windowDesign().frameColour;
    HBRUSH brush = CreateSolidBrush(RGB(colour.red, colour.green, colour.blue));
    const auto designs = ui::controls();
    for (std::size_t i = 0; i < designs.size(); ++i) {
        if (designs[i].kind != ui::ControlKind::Frame) continue;
        const Box& r = layout.controls[i];
        const int w = std::max(1, designs[i].lineWidth * layout.dpi / ui::kDesignDpi);
        const RECT lines[] = {
            { r.left, r.top, r.left + r.width, r.top + w },
            { r.left, r.top + r.height - w, r.left + r.width, r.top + r.height },
            { r.left, r.top, r.left + w, r.top + r.height },
            { r.left + r.width - w, r.top, r.left + r.width, r.top + r.height },
        };
        for (const RECT& line : lines) FillRect(dc, &line, brush);
    }
    DeleteObject(brush);
}

// Labels are opaque in the 3D-face colour; where a frame's line runs under a
// label ("Mm" covers one column of the inner frame), the label draws that
// part of the line over itself, so the line stays unbroken.
LRESULT CALLBACK labelProc(
    HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR self)
{
    const LRESULT result = DefSubclassProc(label, message, wParam, lParam);
    if (message == WM_PAINT) {
        const auto* window = reinterpret_cast<const Form1Window*>(self);
        RECT box;
        GetWindowRect(label, &box);
        MapWindowPoints(nullptr, window->handle(), reinterpret_cast<POINT*>(&box), 2);
        HDC dc = GetDC(label);
        SetViewportOrgEx(dc, -box.left, -box.top, nullptr);
        paintFrames(dc, window->layout());
        ReleaseDC(label, dc);
    }
    return result;
}

// An owner-drawn button turns the second click of a double-click into
// BN_DOUBLECLICKED, without pressing the button. To the user every click of a
// face is a click: the second press is made a press like the first, so the
// face shows pushed and clicks at the release.
LRESULT CALLBACK everyClickProc(
    HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR /*data*/)
{
    return DefSubclassProc(
        button, message == WM_LBUTTONDBLCLK ? WM_LBUTTONDOWN : message, wParam, lParam);
}

} // namespace

Form1Window::Form1Window()
    : launcher_(shellOpen)
    , reporter_(messageBox)
    , form_(*this)
{
}

void Form1Window::messageBox(HWND owner, const std::wstring& text)
{
    MessageBoxW(owner, text.c_str(), widen(ui::windowDesign().title).c_str(),
        MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}

Form1Window::~Form1Window()
{
    if (window_) DestroyWindow(window_);
    if (defaultFont_) DeleteObject(defaultFont_);
    if (unitFont_) DeleteObject(unitFont_);
}

bool Form1Window::create(HINSTANCE instance)
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MENSUREL));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MENSUREL),
        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;

    // Created at the design position first, so that the DPI is the one of the
    // monitor the window opens on; sized and placed for that DPI below.
    const ui::TwipRect& design = ui::windowDesign().clientArea;
    const int systemDpi = static_cast<int>(GetDpiForSystem());
    const POINT designClient { ui::twipsToPixels(design.left, systemDpi),
        ui::twipsToPixels(design.top, systemDpi) };
    window_ = CreateWindowExW(kWindowExStyle, kWindowClass, widen(ui::windowDesign().title).c_str(),
        kWindowStyle, designClient.x, designClient.y, 100, 100, nullptr, nullptr, instance, this);
    if (!window_) return false;

    const int dpi = static_cast<int>(GetDpiForWindow(window_));
    defaultFace_ = firstInstalledFace(kChineseFaces);
    for (std::size_t scale = 0; scale < 2; ++scale) {
        command1Faces_[scale]
            = FaceBitmap::load(instance, scale == 0 ? IDR_COMMAND1_GIF : IDR_COMMAND1_2X_GIF);
        command2Faces_[scale]
            = FaceBitmap::load(instance, scale == 0 ? IDR_COMMAND2_GIF : IDR_COMMAND2_2X_GIF);
    }
    accessible_ = std::make_unique<AccessibleText>();
    createControls(instance);
    applyLayout(dpi);

    // The client area at the design position when the whole window fits on
    // that monitor's work area, otherwise the window centred on it.
    const RECT frame = windowRectFor(layout_.clientWidth, layout_.clientHeight, dpi);
    MONITORINFO monitor { sizeof monitor, {}, {}, 0 };
    GetMonitorInfoW(MonitorFromPoint(designClient, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const ui::PixelPoint client = ui::firstClientPosition(
        { work.left, work.top, work.right - work.left, work.bottom - work.top },
        layout_.clientWidth, layout_.clientHeight,
        { -frame.left, -frame.top, frame.right - layout_.clientWidth,
            frame.bottom - layout_.clientHeight });
    SetWindowPos(window_, nullptr, client.x + frame.left, client.y + frame.top,
        frame.right - frame.left, frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void Form1Window::createControls(HINSTANCE instance)
{
    // Children are stacked in the order they are created, the first on top,
    // and Tab follows that order: so the fields and the buttons are created
    // in tab order (which puts Command2 above Command1, as designed), then
    // the labels, which never take the focus.
    const auto designs = ui::controls();
    std::array<std::size_t, 13> order {};
    std::iota(order.begin(), order.end(), std::size_t { 0 });
    auto focusable = [](const ui::ControlDesign& c) {
        return c.kind == ui::ControlKind::TextField || c.kind == ui::ControlKind::PictureButton;
    };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (focusable(designs[a]) != focusable(designs[b])) return focusable(designs[a]);
        return designs[a].tabIndex < designs[b].tabIndex;
    });

    for (const std::size_t i : order) {
        const ui::ControlDesign& design = designs[i];
        const HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i));
        const std::wstring text = widen(design.text);
        HWND control = nullptr;
        switch (design.kind) {
        case ui::ControlKind::TextField:
            control = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(),
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 0, 0, 0, 0, window_,
                id, instance, nullptr);
            // No length limit: the default stops at about 32,000 characters.
            SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
            break;
        case ui::ControlKind::PictureButton:
            // The caption is not drawn (the face is the picture) but names
            // the button for accessibility tools.
            control = CreateWindowExW(0, L"BUTTON", widen(design.accessibleName).c_str(),
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_OWNERDRAW, 0, 0, 0, 0,
                window_, id, instance, nullptr);
            SetWindowSubclass(control, everyClickProc, 2, 0);
            if (design.id == ui::Control::Command1)
                SetWindowSubclass(control, command1Proc, 1, reinterpret_cast<DWORD_PTR>(this));
            break;
        case ui::ControlKind::Label:
            // SS_NOTIFY makes the label take the pointer, so that moving over
            // it is not a move over the window surface, and lets its tooltip
            // see the pointer.
            control = CreateWindowExW(0, L"STATIC", text.c_str(),
                WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0, 0, 0, 0, window_, id,
                instance, nullptr);
            SetWindowSubclass(control, labelProc, 1, reinterpret_cast<DWORD_PTR>(this));
            break;
        case ui::ControlKind::Frame: break;
        }
        if (!control) continue;
        SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        controls_[i] = control;
        if (!design.accessibleName.empty())
            accessible_->setName(control, widen(design.accessibleName)); // best effort
    }

    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, window_, nullptr, instance, nullptr);
    for (std::size_t i = 0; i < designs.size(); ++i) {
        if (designs[i].toolTip.empty() || !controls_[i]) continue;
        tipTexts_[i] = widen(ui::toolTipOf(designs[i]));
        TOOLINFOW tool {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(controls_[i]);
        tool.lpszText = tipTexts_[i].data();
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    balloon_.create(window_, nullptr);
}

void Form1Window::applyLayout(int dpi)
{
    layout_ = layoutAt(dpi);
    HFONT oldDefault = defaultFont_;
    HFONT oldUnit = unitFont_;
    const ui::FontDesign& unit = ui::windowDesign().unitLabelFont;
    defaultFont_ = createPointFont(defaultFace_, layout_.fontPoints, false, dpi);
    unitFont_
        = createPointFont(widen(unit.families[0]), unit.pointSize, unit.bold, dpi, ANSI_CHARSET);
    const auto designs = ui::controls();
    for (std::size_t i = 0; i < designs.size(); ++i) {
        HWND control = controls_[i];
        if (!control) continue;
        const Box& r = layout_.controls[i];
        SetWindowPos(
            control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
        switch (designs[i].font) {
        case ui::ControlFont::WindowDefault:
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont_), TRUE);
            break;
        case ui::ControlFont::UnitLabel:
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(unitFont_), TRUE);
            break;
        case ui::ControlFont::None: break;
        }
    }
    // Without the window's font the tooltips show Chinese as boxes.
    SendMessageW(tips_, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont_), TRUE);
    balloon_.setFont(defaultFont_);
    if (oldDefault) DeleteObject(oldDefault);
    if (oldUnit) DeleteObject(oldUnit);
    InvalidateRect(window_, nullptr, TRUE);
}

void Form1Window::loadAndShow(int showCommand)
{
    form_.Form_Load();
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    // The focus starts in the field with the lowest tab position.
    SetFocus(field(UnitField::mils));
}

HWND Form1Window::control(ui::Control which) const
{
    return controls_[static_cast<std::size_t>(which)];
}

HWND Form1Window::control(std::string_view name) const
{
    for (const ui::ControlDesign& design : ui::controls())
        if (design.name == name) return control(design.id);
    return nullptr;
}

HWND Form1Window::face(ui::Face which) const
{
    return control(which == ui::Face::Command1 ? ui::Control::Command1 : ui::Control::Command2);
}

HWND Form1Window::field(UnitField which) const
{
    return control(ui::controlOf(which));
}

bool Form1Window::fieldOf(HWND control, UnitField& which) const
{
    if (!control) return false;
    for (const UnitField f : kUnitFields) {
        if (field(f) == control) {
            which = f;
            return true;
        }
    }
    return false;
}

// The desktop operations of the window's procedures.

std::string Form1Window::fieldText(UnitField which) const
{
    HWND edit = field(which);
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(edit, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return narrow(text);
}

void Form1Window::setFieldText(UnitField which, const std::string& text)
{
    // EN_CHANGE arrives inside SetWindowTextW; the flag keeps the program's
    // own write from counting as a user's edit.
    writing_ = true;
    SetWindowTextW(field(which), widen(text).c_str());
    writing_ = false;
}

void Form1Window::setFaceVisible(ui::Face which, bool visible)
{
    ShowWindow(face(which), visible ? SW_SHOWNA : SW_HIDE);
}

bool Form1Window::faceHasFocus(ui::Face which) const
{
    return GetFocus() == face(which);
}

void Form1Window::focusFace(ui::Face which)
{
    SetFocus(face(which));
}

void Form1Window::setNoticeCaption(const std::string& text)
{
    SetWindowTextW(control(ui::Control::Label1), widen(text).c_str());
}

int Form1Window::currentYear() const
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wYear;
}

void Form1Window::startLaunch(std::string_view address)
{
    // A failure is reported from the message loop, after the click has been
    // handled.
    const bool started = launcher_ && launcher_(widen(address));
    if (!started) PostMessageW(window_, kLaunchFailed, 0, 0);
}

void Form1Window::beep()
{
    MessageBeep(MB_ICONWARNING);
}

void Form1Window::showFieldNotice(UnitField which, const std::string& text)
{
    HWND edit = field(which);
    const std::wstring notice = widen(text);
    if (accessible_) accessible_->setDescription(edit, notice); // best effort
    balloon_.show(edit, widen(ui::windowDesign().title), notice);
}

void Form1Window::hideFieldNotice(UnitField which, bool forget)
{
    HWND edit = field(which);
    balloon_.hide(edit);
    if (forget && accessible_) accessible_->setDescription(edit, {});
}

void Form1Window::showMessage(const std::string& text)
{
    report(widen(text));
}

void Form1Window::report(const std::wstring& text)
{
    if (reporter_) reporter_(window_, text);
}

void Form1Window::clickFace(HWND button)
{
    if (button == face(ui::Face::Command1))
        form_.Command1_Click();
    else if (button == face(ui::Face::Command2))
        form_.Command2_Click();
}

bool Form1Window::preTranslate(MSG& message)
{
    UnitField inField {};
    const bool fromField = fieldOf(message.hwnd, inField);
    const bool keyDown = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    const bool keyUp = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
    // The physical key is the scan code with its extended-key bit: a
    // release matches its press whatever virtual key either reported.
    const ui::KeyEvent key { .code = static_cast<int>((message.lParam >> 16) & 0x1FF),
        .autoRepeat = keyDown && (message.lParam & (LPARAM { 1 } << 30)) != 0,
        .escape = message.wParam == VK_ESCAPE };
    // Presses are taken here, before the dialog keys (Tab, Return, Escape)
    // are consumed, so that a Return typed in a field converts at its release
    // and Escape reaches the notice.
    if (fromField && keyDown) form_.keyPressed(inField, key);

    // Return (either Enter key) on a focused face clicks it, once however
    // long the key is held; Space is the button's own.
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN
        && (message.hwnd == face(ui::Face::Command1) || message.hwnd == face(ui::Face::Command2))) {
        if (!key.autoRepeat) clickFace(message.hwnd);
        return true;
    }
    if (!IsDialogMessageW(window_, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The release reaches the procedure after the field has had the key.
    if (fromField && keyUp) form_.keyReleased(inField, key);
    return true;
}

int Form1Window::run(HWND window)
{
    auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (self && self->window_)
            self->preTranslate(message);
        else {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

LRESULT CALLBACK Form1Window::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self
            = static_cast<Form1Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    // No exception may cross the system's frames: one that escapes an event
    // is told to the user and the program goes on.
    try {
        return self->onMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        self->report(widen(ui::texts::unexpectedError(error.what())));
    } catch (...) {
        self->report(widen(ui::texts::unexpectedError({})));
    }
    return 0;
}

LRESULT Form1Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        paintFrames(dc, layout_);
        EndPaint(window_, &paint);
        return 0;
    }
    case WM_MOUSEMOVE:
        // Only the bare surface and the frames painted on it reach here:
        // every control takes the pointer over itself.
        form_.Form_MouseMove();
        return 0;
    case WM_COMMAND: onCommand(wParam, lParam); return 0;
    case WM_DRAWITEM: drawFace(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_MOVE: balloon_.reposition(); break;
    case WM_ACTIVATE:
        // Like a dialog: the control that had the focus gets it back when the
        // window is activated again.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(window_, focus)) lastFocus_ = focus;
            // The notice is a topmost popup: it goes with the window.
            balloon_.hide(balloon_.field());
        } else if (!HIWORD(wParam)) { // not while minimised
            SetFocus(
                lastFocus_ && IsWindowVisible(lastFocus_) ? lastFocus_ : field(UnitField::mils));
        }
        return 0;
    case kLaunchFailed: form_.launchFailed(); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        window_ = nullptr;
        return 0;
    default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Form1Window::onCommand(WPARAM wParam, LPARAM lParam)
{
    auto* const source = reinterpret_cast<HWND>(lParam);
    const int code = HIWORD(wParam);
    UnitField inField {};
    if (fieldOf(source, inField)) {
        // Every change of the text but the program's own writes converts:
        // typing, the context menu, undo, an input method, whether or not a
        // key is held.
        if (code == EN_CHANGE && !writing_) form_.textChangedByUser(inField);
        if (code == EN_KILLFOCUS) {
            form_.focusLeft(inField);
            balloon_.hide(source); // shown again when the user types on
        }
        return;
    }
    if (code == BN_CLICKED && source) clickFace(source);
    // IDOK and IDCANCEL (Return and Escape outside a face) do nothing.
}

void Form1Window::drawFace(const DRAWITEMSTRUCT& item) const
{
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    RECT box = item.rcItem;
    DrawFrameControl(item.hDC, &box, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    const auto& faces = item.hwndItem == face(ui::Face::Command1) ? command1Faces_ : command2Faces_;
    RECT inner = item.rcItem;
    if (pushed) OffsetRect(&inner, 1, 1);
    faces[static_cast<std::size_t>(layout_.faceScale - 1)].drawCentred(
        item.hDC, inner, layout_.faceWidth, layout_.faceHeight);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = item.rcItem;
        const int inset = std::max(3, 3 * layout_.dpi / ui::kDesignDpi);
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(item.hDC, &focus);
    }
}

void Form1Window::onDpiChanged(int dpi, const RECT& suggested)
{
    applyLayout(dpi);
    const RECT frame = windowRectFor(layout_.clientWidth, layout_.clientHeight, dpi);
    const Box box
        = windowBoxAfterDpiChange({ suggested.left, suggested.top, suggested.right - suggested.left,
                                      suggested.bottom - suggested.top },
            { 0, 0, frame.right - frame.left, frame.bottom - frame.top });
    SetWindowPos(
        window_, nullptr, box.left, box.top, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK Form1Window::command1Proc(
    HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR self)
{
    const LRESULT result = DefSubclassProc(button, message, wParam, lParam);
    if (message == WM_MOUSEMOVE) reinterpret_cast<Form1Window*>(self)->form_.Command1_MouseMove();
    return result;
}

int runProgram(HINSTANCE instance, int showCommand)
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES };
    InitCommonControlsEx(&controls);
    int code = 1;
    {
        Form1Window window;
        if (window.create(instance)) {
            window.loadAndShow(showCommand);
            code = Form1Window::run(window.handle());
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return code;
}

} // namespace mensurel::win32
