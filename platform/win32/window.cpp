#include <mensurel/win32/window.h>

#include <mensurel/ui/place.h>
#include <mensurel/win32/fonts.h>
#include <mensurel/win32/frames.h>
#include <mensurel/win32/screens.h>
#include <mensurel/win32/shell.h>
#include <mensurel/win32/text.h>
#include <resource_ids.h>

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <vector>

namespace mensurel::win32 {

namespace {

DWORD windowStyle()
{
    return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
        | (ui::windowDesign().maximiseBox ? WS_MAXIMIZEBOX : 0);
}
constexpr DWORD kWindowExStyle = 0;
// Control ids start above IDOK and IDCANCEL, which IsDialogMessageW sends for
// Return and Escape.
constexpr int kFirstControlId = 100;
// Posted when the web site could not be opened.
constexpr UINT kLaunchFailed = WM_APP + 1;
// The system's arrow pointer (IDC_ARROW, whose macro is the narrow kind).
const LPCWSTR kArrowCursor = MAKEINTRESOURCEW(32512);
// The subclass ids of command1Proc and accessibleProc.
constexpr UINT_PTR kCommand1Subclass = 2;
constexpr UINT_PTR kAccessibleSubclass = 4;
// The faces' pictures by face and scale (1x, 2x).
constexpr int kPictures[2][2]
    = { { IDB_COMMAND1, IDB_COMMAND1_2X }, { IDB_COMMAND2, IDB_COMMAND2_2X } };

RECT windowRectFor(int clientWidth, int clientHeight, int dpi)
{
    RECT frame { 0, 0, clientWidth, clientHeight };
    AdjustWindowRectExForDpi(&frame, windowStyle(), FALSE, kWindowExStyle, static_cast<UINT>(dpi));
    return frame;
}

// Tells the user `text` in a modal box over `owner`, titled with the
// program's name; returns when the user has closed it.
void messageBox(HWND owner, const std::string& text, ui::MessageIcon icon)
{
    MessageBoxW(owner, widen(text).c_str(), widen(ui::windowDesign().title).c_str(),
        MB_OK | (icon == ui::MessageIcon::Error ? MB_ICONERROR : MB_ICONWARNING)
            | MB_SETFOREGROUND);
}

} // namespace

Window::Window()
    : Window(Services {})
{
}

Window::Window(Services services)
    : services_(std::move(services))
    , form_(*this)
{
}

Window::~Window()
{
    if (window_) DestroyWindow(window_);
    if (defaultFont_) DeleteObject(defaultFont_);
    if (unitFont_) DeleteObject(unitFont_);
}

bool Window::registerClass(HINSTANCE instance) const
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MENSUREL));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MENSUREL),
        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, kArrowCursor);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool Window::create(HINSTANCE instance)
{
    if (!registerClass(instance)) return false;
    instance_ = instance;
    defaultTypeface_ = firstInstalledTypeface(ui::windowDesign().defaultFont.families);
    unitTypeface_ = firstInstalledTypeface(ui::windowDesign().unitLabelFont.families);
    // Laid out and placed before anything is made: the window is made once,
    // where it opens, at the DPI it has there, and each control where it
    // goes, in its font. The tooltips come after the first frame
    // (loadAndShow), the warning's window when it first shows. The monitor
    // at the design position is taken to have the system's DPI, as it has
    // unless its scale was changed since the user logged on; the window,
    // once made, tells, and in that case is laid out and placed again.
    const ui::TwipRect& design = ui::windowDesign().clientArea;
    const int systemDpi = static_cast<int>(GetDpiForSystem());
    const POINT designClient { ui::twipsToPixels(design.left, systemDpi),
        ui::twipsToPixels(design.top, systemDpi) };
    const auto text = services_.loadPlace();
    const auto place = text ? ui::readPlace(*text) : std::nullopt;
    const ui::PixelPoint client = openingPlace(designClient, place,
        { MonitorFromPoint(designClient, MONITOR_DEFAULTTOPRIMARY), systemDpi });
    const ui::PixelMargins frame = frameMargins(layout_.dpi);
    window_ = CreateWindowExW(kWindowExStyle, kClassName, widen(ui::windowDesign().title).c_str(),
        windowStyle(), client.x - frame.left, client.y - frame.top,
        layout_.clientWidth + frame.left + frame.right,
        layout_.clientHeight + frame.top + frame.bottom, nullptr, nullptr, instance, this);
    if (!window_) return false;
    if (const KnownDpi actual { MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST),
            static_cast<int>(GetDpiForWindow(window_)) };
        actual.dpi != layout_.dpi) {
        const ui::PixelPoint corrected = openingPlace(designClient, place, actual);
        moveClientTo(corrected, frameMargins(layout_.dpi));
    }
    createControls(instance);
    warning_.create(window_);
    return true;
}

ui::PixelMargins Window::frameMargins(int dpi) const
{
    const RECT frame = windowRectFor(layout_.clientWidth, layout_.clientHeight, dpi);
    return { -frame.left, -frame.top, frame.right - layout_.clientWidth,
        frame.bottom - layout_.clientHeight };
}

void Window::moveClientTo(ui::PixelPoint client, const ui::PixelMargins& frame)
{
    SetWindowPos(window_, nullptr, client.x - frame.left, client.y - frame.top,
        layout_.clientWidth + frame.left + frame.right,
        layout_.clientHeight + frame.top + frame.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Where the window was when it last closed (`place`), when the shared rule
// allows it (at that place the window is on a monitor of the DPI it had
// there); otherwise its client area at the design position when the whole
// window fits on that monitor's work area, or the window centred on it.
// Lays the window out for the DPI it will have there.
ui::PixelPoint Window::openingPlace(
    POINT designClient, const std::optional<ui::RememberedPlace>& place, const KnownDpi& known)
{
    applyLayout(dpiOf(MonitorFromPoint(designClient, MONITOR_DEFAULTTOPRIMARY), known));
    if (const auto client = place ? ui::rememberedClientPosition(*place, screenAreas(known),
                                        layout_.clientWidth, frameMargins(place->dpi))
                                  : std::nullopt) {
        if (place->dpi != layout_.dpi) applyLayout(place->dpi);
        return *client;
    }
    return ui::firstClientPosition(workAreaAt(designClient), layout_.clientWidth,
        layout_.clientHeight, frameMargins(layout_.dpi));
}

HWND Window::createControl(const ui::ControlDesign& design, HINSTANCE instance)
{
    auto* const id = reinterpret_cast<HMENU>(
        static_cast<INT_PTR>(kFirstControlId + static_cast<int>(design.id)));
    const std::wstring text = widen(design.text);
    const ui::PixelRect& r = layout_.controls[static_cast<std::size_t>(design.id)];
    switch (design.kind) {
    case ui::ControlKind::TextField:
        return CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(),
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, r.left, r.top, r.width,
            r.height, window_, id, instance, nullptr);
    case ui::ControlKind::PictureButton:
        // The caption is not drawn (the face is the picture) but names the
        // button for accessibility tools.
        return CreateWindowExW(0, L"BUTTON", widen(design.accessibleName).c_str(),
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_OWNERDRAW, r.left, r.top,
            r.width, r.height, window_, id, instance, nullptr);
    case ui::ControlKind::Label:
        // SS_NOTIFY makes the label take the pointer, so that moving over it
        // is not a move over the window surface, and lets its tooltip see the
        // pointer.
        return CreateWindowExW(0, L"STATIC", text.c_str(),
            WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_NOTIFY, r.left, r.top, r.width,
            r.height, window_, id, instance, nullptr);
    case ui::ControlKind::Frame: break;
    }
    return nullptr;
}

void Window::createControls(HINSTANCE instance)
{
    // Children are stacked in the order they are created, the first on top
    // (each new child goes below its siblings), and Tab follows that order:
    // so the controls that take the focus are created in the focus order
    // (which puts Command2 above Command1, as designed), then the labels,
    // which never take it. Each is made where the layout puts it.
    const auto focus = ui::focusOrder();
    std::vector<ui::Control> order(focus.begin(), focus.end());
    for (const ui::ControlDesign& design : ui::controls()) {
        if (std::ranges::find(focus, design.id) == focus.end()) order.push_back(design.id);
    }
    for (const ui::Control id : order) {
        const ui::ControlDesign& design = ui::designOf(id);
        HWND control = createControl(design, instance);
        if (!control) continue;
        if (HFONT font = fontOf(design))
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        controls_[static_cast<std::size_t>(id)] = control;
        if (!design.accessibleName.empty()) {
            accessible_.setName(control, widen(design.accessibleName));
            SetWindowSubclass(
                control, accessibleProc, kAccessibleSubclass, reinterpret_cast<DWORD_PTR>(this));
        }
        if (design.kind == ui::ControlKind::Label) paintFramesOverLabel(control, layout_);
        if (design.kind == ui::ControlKind::PictureButton) pressOnEveryClick(control);
    }
    // The default limit would stop a paste at about 32,000 characters; 0 is
    // as many as the control can hold.
    for (const UnitField unit : ui::kUnitFields)
        SendMessageW(field(unit), EM_SETLIMITTEXT,
            static_cast<WPARAM>(ui::windowDesign().fieldMaxLength), 0);
    SetWindowSubclass(face(ui::Face::Command1), command1Proc, kCommand1Subclass,
        reinterpret_cast<DWORD_PTR>(this));
    lastFocus_ = control(ui::focusOrder().front());
}

void Window::applyLayout(int dpi)
{
    layout_ = ui::layoutAt(dpi);
    HFONT oldDefault = defaultFont_;
    HFONT oldUnit = unitFont_;
    const ui::WindowDesign& window = ui::windowDesign();
    defaultFont_ = createPointFont(
        defaultTypeface_, window.defaultFont.pointSize, window.defaultFont.bold, dpi);
    // The unit labels' texts are plain ASCII: the ANSI character set keeps
    // the font mapper on the designed face.
    unitFont_ = createPointFont(unitTypeface_, window.unitLabelFont.pointSize,
        window.unitLabelFont.bold, dpi, ANSI_CHARSET);
    const auto designs = ui::controls();
    for (std::size_t i = 0; i < designs.size(); ++i) {
        if (!controls_[i]) continue;
        const ui::PixelRect& r = layout_.controls[i];
        SetWindowPos(
            controls_[i], nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
        if (HFONT font = fontOf(designs[i]))
            SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    tips_.setFont(defaultFont_);
    warning_.setFont(defaultFont_);
    if (oldDefault) DeleteObject(oldDefault);
    if (oldUnit) DeleteObject(oldUnit);
    if (window_) InvalidateRect(window_, nullptr, TRUE);
}

HFONT Window::fontOf(const ui::ControlDesign& design) const
{
    switch (design.font) {
    case ui::ControlFont::None: break;
    case ui::ControlFont::WindowDefault: return defaultFont_;
    case ui::ControlFont::UnitLabel: return unitFont_;
    }
    return nullptr;
}

void Window::loadAndShow(int showCommand)
{
    form_.Form_Load();
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    // Only hovering shows a tooltip: they are made once the first frame is
    // on the screen.
    tips_.create(window_, controls_);
    tips_.setFont(defaultFont_);
}

std::optional<ui::Control> Window::controlOf(HWND handle) const
{
    if (!handle) return std::nullopt;
    const auto* const it = std::ranges::find(controls_, handle);
    if (it == controls_.end()) return std::nullopt;
    return static_cast<ui::Control>(it - controls_.begin());
}

// The desktop operations of the window's procedures.

std::string Window::fieldText(UnitField which) const
{
    return windowText(field(which));
}

void Window::setFieldText(UnitField which, const std::string& text)
{
    SetWindowTextW(field(which), widen(text).c_str());
}

void Window::setFaceVisible(ui::Face which, bool visible)
{
    ShowWindow(face(which), visible ? SW_SHOWNA : SW_HIDE);
}

bool Window::hasFocus(ui::Control which) const
{
    return control(which) && GetFocus() == control(which);
}

void Window::setFocus(ui::Control which)
{
    if (!control(which)) return;
    // Also where the focus goes back to when the window is activated; while
    // the window is hidden (Form_Load), only that: it gets the focus when
    // the window is shown and activated.
    lastFocus_ = control(which);
    if (IsWindowVisible(window_)) SetFocus(lastFocus_);
}

void Window::setNoticeCaption(const std::string& text)
{
    SetWindowTextW(control(ui::Control::Label1), widen(text).c_str());
}

int Window::currentYear() const
{
    return services_.currentYear();
}

void Window::startLaunch(std::string_view address)
{
    // A failure is reported from the message loop, after the click has been
    // handled.
    const bool started = services_.launch && services_.launch(widen(address));
    if (!started) PostMessageW(window_, kLaunchFailed, 0, 0);
}

bool Window::windowActive() const
{
    return GetActiveWindow() == window_ && IsWindowVisible(window_) && !IsIconic(window_);
}

void Window::beep()
{
    MessageBeep(MB_ICONWARNING);
}

void Window::showWarning(UnitField which, const std::string& text)
{
    HWND edit = field(which);
    const std::wstring warning = widen(text);
    accessible_.setDescription(edit, warning);
    warning_.show(edit, widen(ui::windowDesign().title), warning);
}

void Window::describeWarning(UnitField which, const std::string& text)
{
    accessible_.setDescription(field(which), widen(text));
}

void Window::hideWarning(UnitField which)
{
    warning_.hide(field(which));
}

void Window::removeWarning(UnitField which)
{
    hideWarning(which);
    accessible_.setDescription(field(which), {});
}

void Window::showMessage(const std::string& text, ui::MessageIcon icon)
{
    messageBox(window_, text, icon);
}

LRESULT CALLBACK Window::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    // No exception may cross the system's frames: one that escapes an event
    // is told to the user and the program goes on.
    try {
        return self->onMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        messageBox(window, ui::texts::unexpectedError(error.what()), ui::kUnexpectedErrorIcon);
    } catch (...) {
        messageBox(window, ui::texts::unexpectedError({}), ui::kUnexpectedErrorIcon);
    }
    return 0;
}

LRESULT Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: paint(); return 0;
    case WM_MOUSEMOVE:
        // Only the bare surface and the frames painted on it reach here:
        // every control takes the pointer over itself.
        form_.Form_MouseMove();
        return 0;
    case WM_COMMAND: onCommand(wParam, lParam); return 0;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        drawFaceButton(item, picture(item), layout_.faceWidth, layout_.faceHeight, layout_.dpi);
        return TRUE;
    }
    case WM_GETOBJECT:
        // An assistive tool asks: the controls' names are handed over before
        // the system answers it.
        accessible_.provide();
        break;
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_GETMINMAXINFO:
        if (layout_.clientWidth == 0) break; // not laid out yet
        keepSizeOnSmallScreens(*reinterpret_cast<MINMAXINFO*>(lParam),
            toPixelRect(windowRectFor(layout_.clientWidth, layout_.clientHeight, layout_.dpi)));
        return 0;
    case WM_MOVE: form_.windowMoved(); break;
    case WM_ACTIVATE: onActivate(wParam); return 0;
    case kLaunchFailed: form_.launchFailed(); return 0;
    case WM_DESTROY:
        // A window closed while minimised keeps the place it was given before.
        if (!IsIconic(window_)) services_.savePlace(ui::placeText(placeOf(window_)));
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        window_ = nullptr;
        return 0;
    default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Window::paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    paintFrames(dc, layout_);
    EndPaint(window_, &paint);
}

// Like a dialog: the control that had the focus gets it back when the window
// is activated again. Deactivated or minimised, the window takes its
// warning with it: the warning is a topmost popup.
void Window::onActivate(WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) lastFocus_ = focus;
        form_.windowDeactivated();
    } else if (!HIWORD(wParam)) { // not while minimised
        SetFocus(lastFocus_ && IsWindowVisible(lastFocus_) ? lastFocus_
                                                           : control(ui::focusOrder().front()));
    }
}

void Window::onCommand(WPARAM wParam, LPARAM lParam)
{
    const auto at = controlOf(reinterpret_cast<HWND>(lParam));
    if (!at) return; // IDOK and IDCANCEL (Return and Escape outside a face) do nothing
    const int code = HIWORD(wParam);
    if (const auto inField = ui::fieldOf(*at)) {
        // Every change of the text: typing, the context menu, undo, an input
        // method, and the program's own writes, which Form1 knows for its own.
        if (code == EN_CHANGE) form_.textChanged(*inField);
        if (code == EN_KILLFOCUS) form_.focusLeft(*inField);
        return;
    }
    if (const auto onFace = ui::faceOf(*at); onFace && code == BN_CLICKED)
        form_.faceClicked(*onFace);
}

void Window::onDpiChanged(int dpi, const RECT& suggested)
{
    applyLayout(dpi);
    const RECT frame = windowRectFor(layout_.clientWidth, layout_.clientHeight, dpi);
    const ui::PixelRect box = ui::windowAfterDpiChange(
        toPixelRect(suggested), { 0, 0, frame.right - frame.left, frame.bottom - frame.top });
    SetWindowPos(
        window_, nullptr, box.left, box.top, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

const FaceBitmap& Window::picture(const DRAWITEMSTRUCT& item)
{
    const std::size_t which = item.hwndItem == face(ui::Face::Command1) ? 0 : 1;
    const auto scale = static_cast<std::size_t>(layout_.faceScale - 1);
    FaceBitmap& picture = pictures_[which][scale];
    if (!picture) picture = FaceBitmap::load(instance_, kPictures[which][scale]);
    return picture;
}

LRESULT CALLBACK Window::accessibleProc(
    HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR self)
{
    if (message == WM_GETOBJECT) reinterpret_cast<Window*>(self)->accessible_.provide();
    return DefSubclassProc(control, message, wParam, lParam);
}

LRESULT CALLBACK Window::command1Proc(
    HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR self)
{
    const LRESULT result = DefSubclassProc(button, message, wParam, lParam);
    if (message == WM_MOUSEMOVE) reinterpret_cast<Window*>(self)->form_.Command1_MouseMove();
    return result;
}

} // namespace mensurel::win32
