// The window Form1 over the Win32 API: the controls built from ui/'s design
// tables and layout at the window's DPI, the runtime operations ui::Form1
// relies on, and the translation of Win32 messages into ui::Form1's inputs.
#pragma once

#include <mensurel/convert.h>
#include <mensurel/ui/desktop.h>
#include <mensurel/ui/form1.h>
#include <mensurel/ui/layout.h>
#include <mensurel/win32/balloon.h>
#include <mensurel/win32/faces.h>
#include <mensurel/win32/shell.h>

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace mensurel::win32 {

class Form1Window final : public ui::Desktop {
public:
    // Opens a web address; true when it could be started. The default hands
    // it to the shell (shellOpen).
    using Launcher = std::function<bool(const std::wstring& address)>;
    // Tells the user `text` in a modal box over `owner`; the default is
    // messageBox.
    using Reporter
        = std::function<void(HWND owner, const std::wstring& text, ui::MessageIcon icon)>;

    Form1Window();
    Form1Window(const Form1Window&) = delete;
    Form1Window& operator=(const Form1Window&) = delete;
    ~Form1Window() override;

    // Builds the window and its controls, hidden, at the DPI of the monitor
    // it opens on. False when the window could not be created.
    bool create(HINSTANCE instance);

    // Start-up after create(): the load event, then the window is shown.
    void loadAndShow(int showCommand);

    // Runs the message loop until the window is closed; the exit code.
    static int run(HWND window);

    // Translates one queued message for the window (keyboard navigation,
    // keys on a face); true when it was handled.
    bool preTranslate(MSG& message);

    HWND handle() const noexcept { return window_; }
    // A control by its design row; null for the frames.
    HWND control(ui::Control which) const { return controls_[static_cast<std::size_t>(which)]; }
    const ui::Layout& layout() const noexcept { return layout_; }

    // The default reporter: MessageBoxW over `owner`, titled with the
    // program's name; returns when the user has closed it.
    static void messageBox(HWND owner, const std::wstring& text, ui::MessageIcon icon);

    // The seams a test replaces so that nothing opens a browser or waits for
    // a click on a message box.
    void setLauncher(Launcher launcher) { launcher_ = std::move(launcher); }
    void setReporter(Reporter reporter) { reporter_ = std::move(reporter); }

    // ui::Desktop
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

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK command1Proc(
        HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);

    bool registerClass(HINSTANCE instance) const;
    void placeOnMonitor(POINT designClient, int dpi);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onActivate(WPARAM wParam);
    HWND createControl(const ui::ControlDesign& design, HINSTANCE instance);
    void createControls(HINSTANCE instance);
    void createToolTips(HINSTANCE instance);
    void applyLayout(int dpi);
    void paint();
    void drawFace(const DRAWITEMSTRUCT& item) const;
    void onCommand(WPARAM wParam, LPARAM lParam);
    void onDpiChanged(int dpi, const RECT& suggested);
    HWND face(ui::Face which) const { return control(ui::controlOf(which)); }
    HWND field(UnitField which) const { return control(ui::controlOf(which)); }
    std::optional<ui::Control> controlOf(HWND handle) const;
    void report(const std::wstring& text, ui::MessageIcon icon);

    HWND window_ = nullptr;
    std::array<HWND, ui::kControlCount> controls_ {}; // as ui::controls(); null for the frames
    HWND tips_ = nullptr;
    FieldBalloon balloon_;
    HFONT defaultFont_ = nullptr;
    HFONT unitFont_ = nullptr;
    std::wstring defaultTypeface_;
    std::array<FaceBitmap, 2> command1Faces_; // 1x, 2x
    std::array<FaceBitmap, 2> command2Faces_;
    ui::Layout layout_ {};
    std::array<std::wstring, ui::kControlCount> tipTexts_;
    HWND lastFocus_ = nullptr; // the focus to give back when the window is activated
    std::unique_ptr<AccessibleText> accessible_; // made once COM is up
    Launcher launcher_;
    Reporter reporter_;
    ui::Form1 form_;
};

// The program: builds the window, runs Form_Load, shows the window and the
// message loop. The wWinMain of mensurel.exe.
int runProgram(HINSTANCE instance, int showCommand);

} // namespace mensurel::win32
