// The window Form1 over the Win32 API: the controls built from ui/'s design
// tables and layout at the window's DPI, the runtime operations ui::Form1
// relies on, and the translation of Win32 messages into ui::Form1's inputs.
#pragma once

#include <mensurel/convert.h>
#include <mensurel/ui/desktop.h>
#include <mensurel/ui/form1.h>
#include <mensurel/ui/layout.h>
#include <mensurel/win32/faces.h>
#include <mensurel/win32/screens.h>
#include <mensurel/win32/settings.h>
#include <mensurel/win32/shell.h>
#include <mensurel/win32/tooltips.h>
#include <mensurel/win32/warning.h>

#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mensurel::win32 {

// The calendar year of today's date in local time.
int localYear();

class Window final : public ui::Desktop {
public:
    // Opens a web address; true when it could be started.
    using Launcher = std::function<bool(const std::wstring& address)>;

    // What the window takes from the system beyond its controls; the
    // program's own by default, a test gives other ones.
    struct Services {
        Launcher launch = shellOpen; // opens the web site the faces lead to
        std::function<int()> currentYear = localYear; // the notice line's year
        // Where the window was when it last closed (ui::placeText), if kept.
        std::function<std::optional<std::string>()> loadPlace = loadPlaceSetting;
        std::function<void(const std::string&)> savePlace = savePlaceSetting;
    };

    Window();
    explicit Window(Services services);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window() override;

    // Builds the window and its controls, hidden, at the DPI of the monitor
    // it opens on: where it last closed when that place is still on a
    // screen, otherwise at its first placement. False when the window could
    // not be created.
    bool create(HINSTANCE instance);

    // Start-up after create(): the load event, then the window is shown.
    void loadAndShow(int showCommand);

    HWND handle() const noexcept { return window_; }
    // A control by its design row; null for the frames.
    HWND control(ui::Control which) const { return controls_[static_cast<std::size_t>(which)]; }

private:
    friend void handleMessage(MSG& message);

    // ui::Desktop: what ui::Form1 asks of the window.
    [[nodiscard]] std::string fieldText(UnitField which) const override;
    void setFieldText(UnitField which, const std::string& text) override;
    void setFaceVisible(ui::Face which, bool visible) override;
    [[nodiscard]] bool hasFocus(ui::Control which) const override;
    void setFocus(ui::Control which) override;
    void setNoticeCaption(const std::string& text) override;
    [[nodiscard]] int currentYear() const override;
    void startLaunch(std::string_view address) override;
    [[nodiscard]] bool windowActive() const override;
    void beep() override;
    void showWarning(UnitField which, const std::string& text) override;
    void describeWarning(UnitField which, const std::string& text) override;
    void hideWarning(UnitField which) override;
    void removeWarning(UnitField which) override;
    void showMessage(const std::string& text, ui::MessageIcon icon) override;

    // The window's class; also how the installer finds a running copy.
    static constexpr wchar_t kClassName[] = L"MensurelForm1";

    // The window of this class that `hwnd` is or lies in, if any.
    static Window* owning(HWND hwnd);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK command1Proc(
        HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
    static LRESULT CALLBACK accessibleProc(
        HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);

    // Takes one queued message of the window's before it is dispatched (keys
    // in the fields and on the faces, keyboard navigation) and dispatches it.
    void preTranslate(MSG& message);
    bool registerClass(HINSTANCE instance) const;
    ui::PixelPoint openingPlace(
        POINT designClient, const std::optional<ui::RememberedPlace>& place, const KnownDpi& known);
    [[nodiscard]] ui::PixelMargins frameMargins(int dpi) const;
    void moveClientTo(ui::PixelPoint client, const ui::PixelMargins& frame);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onActivate(WPARAM wParam);
    HWND createControl(const ui::ControlDesign& design, HINSTANCE instance);
    void createControls(HINSTANCE instance);
    void applyLayout(int dpi);
    HFONT fontOf(const ui::ControlDesign& design) const; // null for none
    void paint();
    void onCommand(WPARAM wParam, LPARAM lParam);
    void onDpiChanged(int dpi, const RECT& suggested);
    const FaceBitmap& picture(const DRAWITEMSTRUCT& item);
    HWND face(ui::Face which) const { return control(ui::controlOf(which)); }
    HWND field(UnitField which) const { return control(ui::controlOf(which)); }
    std::optional<ui::Control> controlOf(HWND handle) const;

    HWND window_ = nullptr;
    std::array<HWND, ui::kControlCount> controls_ {}; // as ui::controls(); null for the frames
    ControlTips tips_;
    FieldWarning warning_;
    HFONT defaultFont_ = nullptr;
    HFONT unitFont_ = nullptr;
    std::wstring defaultTypeface_;
    std::wstring unitTypeface_;
    HINSTANCE instance_ = nullptr; // where the faces' pictures are
    // The faces' pictures, by face and scale (1x, 2x), each loaded when first
    // drawn: a start loads only the one it shows.
    std::array<std::array<FaceBitmap, 2>, 2> pictures_;
    ui::Layout layout_ {};
    HWND lastFocus_ = nullptr; // the focus to give back when the window is activated
    AccessibleText accessible_; // handed to the system when a tool asks
    Services services_;
    ui::Form1 form_;
};

// Handles one message taken from the thread's queue as the program does: a
// message for the window or one of its controls goes through the window's
// keyboard handling (keys in the fields and on the faces, Tab and the other
// dialog keys), any other is translated and dispatched.
void handleMessage(MSG& message);

// The program: builds the window, runs Form_Load, shows the window and runs
// the message loop until the window is closed; the exit code. The wWinMain
// of mensurel.exe.
int runProgram(HINSTANCE instance, int showCommand);

} // namespace mensurel::win32
