// The window scenarios' driver over the Qt window on a real X display
// (Xvfb): keys and the pointer go through the X server by XTest, as a
// keyboard and a mouse would send them, so Qt sees real scan codes, the
// server's own key repetition and real pointer crossings.
#include "../window/driver.h"

#include <mensurel/qt/application.h>
#include <mensurel/qt/window.h>

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QClipboard>
#include <QDate>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cmath>

namespace mensurel::test {
namespace {

QString toQ(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

ui::PixelRect toRect(const QRect& r)
{
    return { r.x(), r.y(), r.width(), r.height() };
}

KeySym keySym(Key key)
{
    switch (key) {
    case Key::Return: return XK_Return;
    case Key::KeypadEnter: return XK_KP_Enter;
    case Key::Space: return XK_space;
    case Key::Tab: return XK_Tab;
    case Key::Shift: return XK_Shift_L;
    case Key::Control: return XK_Control_L;
    case Key::Escape: return XK_Escape;
    case Key::Backspace: return XK_BackSpace;
    case Key::Left: return XK_Left;
    case Key::Right: return XK_Right;
    case Key::Digit5: return XK_5;
    case Key::Digit7: return XK_7;
    case Key::V: return XK_v;
    }
    return NoSymbol;
}

// The context menu's entries as Qt names them, "&Paste\tCtrl+V" read "Paste".
QString entryText(MenuEntry entry)
{
    switch (entry) {
    case MenuEntry::Undo: return QStringLiteral("Undo");
    case MenuEntry::Cut: return QStringLiteral("Cut");
    case MenuEntry::Paste: return QStringLiteral("Paste");
    case MenuEntry::Delete: return QStringLiteral("Delete");
    case MenuEntry::SelectAll: return QStringLiteral("Select All");
    }
    return {};
}

class QtDriver final : public Driver {
public:
    explicit QtDriver(const Options& options)
        : launchWorks_(options.launchWorks)
        , window_({ .launch =
                        [this](std::string_view address, std::function<void()> failed) {
                            launches_.emplace_back(address);
                            // Reported later from the event loop, as a launcher would.
                            if (!launchWorks_) QTimer::singleShot(50, &window_, std::move(failed));
                        },
              .currentYear
              = [year = options.year] { return year != 0 ? year : QDate::currentDate().year(); },
              // Each window opens at its first placement and keeps nothing.
              .loadPlace = [] { return std::optional<std::string>(); },
              .savePlace = [](const std::string&) {} })
    {
        display_ = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
        window_.form().Form_Load();
        window_.show();
        window_.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window_));
        // The pointer starts away from the window. Qt drops a move to where it
        // last saw the pointer, which may be a place of the window before
        // this one: it first sees it over a label, where a move changes
        // nothing.
        movePointer(centreOf(widget(Control::Um)->geometry()));
        pointerTo(QGuiApplication::primaryScreen()->geometry().bottomRight() - QPoint(2, 2));
        settle(20);
        watchBoxes();
    }

    ~QtDriver() override
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible())
                box->reject();
        }
    }
    QtDriver(const QtDriver&) = delete;
    QtDriver& operator=(const QtDriver&) = delete;

    void type(std::string_view text) override
    {
        for (const char c : text) {
            const std::string name(1, c);
            KeySym sym = XStringToKeysym(name.c_str());
            if (c == '.') sym = XK_period;
            if (c == '-') sym = XK_minus;
            if (c == ' ') sym = XK_space;
            send(XKeysymToKeycode(display_, sym), true);
            send(XKeysymToKeycode(display_, sym), false);
        }
        settle(30);
    }

    void key(Key key, bool down) override
    {
        send(XKeysymToKeycode(display_, keySym(key)), down);
        settle(30);
    }

    void hold(Key key, int ms) override
    {
        send(XKeysymToKeycode(display_, keySym(key)), true);
        settle(ms);
        send(XKeysymToKeycode(display_, keySym(key)), false);
        settle(30);
    }

    void click(Control control, int times) override
    {
        movePointer(centreOf(widget(control)->geometry()));
        for (int i = 0; i < times; ++i) {
            XTestFakeButtonEvent(display_, 1, True, CurrentTime);
            XTestFakeButtonEvent(display_, 1, False, CurrentTime);
            XSync(display_, False);
            settle(20);
        }
        settle(50);
    }

    void movePointer(ui::PixelPoint client) override
    {
        pointerTo(window_.mapToGlobal(QPoint(client.x, client.y)));
        settle(40);
    }

    void leftButton(bool down) override
    {
        XTestFakeButtonEvent(display_, 1, down ? True : False, CurrentTime);
        XSync(display_, False);
        settle(40);
    }

    void choose(Control field, MenuEntry entry) override
    {
        // The menu key opens the field's menu, whose own event loop runs
        // until an entry is chosen: the choice is made from a timer there.
        bool chosen = false;
        QTimer chooser;
        QObject::connect(&chooser, &QTimer::timeout, &window_, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr || chosen) return;
            for (QAction* action : menu->actions()) {
                if (action->text().remove('&').section('\t', 0, 0) != entryText(entry)) continue;
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                chosen = true;
            }
        });
        chooser.start(30);
        focus(field);
        send(XKeysymToKeycode(display_, XK_Menu), true);
        send(XKeysymToKeycode(display_, XK_Menu), false);
        settle(50);
        QTRY_VERIFY_WITH_TIMEOUT(chosen, 3000);
        chooser.stop();
        settle(50);
    }

    void focusAndSelectAll(Control field) override
    {
        focus(field);
        static_cast<QLineEdit*>(widget(field))->selectAll();
    }

    void focus(Control control) override
    {
        widget(control)->setFocus(Qt::OtherFocusReason);
        settle(10);
    }

    void setClipboard(const std::string& text) override
    {
        QGuiApplication::clipboard()->setText(toQ(text));
    }

    void setTextFromOutside(Control field, const std::string& text) override
    {
        // As a screen reader's bridge edits: through the accessibility interface.
        QAccessibleEditableTextInterface* edit
            = QAccessible::queryAccessibleInterface(widget(field))->editableTextInterface();
        ASSERT_NE(edit, nullptr);
        edit->replaceText(0, static_cast<int>(this->text(field).size()), toQ(text));
        settle(30);
    }

    void moveWindowBy(int dx, int dy) override
    {
        window_.move(window_.pos() + QPoint(dx, dy));
        settle(50);
    }

    void minimise() override
    {
        window_.showMinimized();
        settle(100);
    }

    void activateAnotherWindow() override
    {
        other_ = std::make_unique<QWidget>();
        other_->show();
        other_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(other_.get()));
    }

    void wait(int ms) override { settle(ms); }

    [[nodiscard]] int layoutDpi() const override { return ui::kDesignDpi; } // Qt scales the rest
    [[nodiscard]] bool exists(Control control) const override { return find(control) != nullptr; }
    [[nodiscard]] ui::PixelRect rect(Control control) const override
    {
        return toRect(widget(control)->geometry());
    }
    [[nodiscard]] ui::PixelRect onScreen(Control control) const override
    {
        return toRect(QRect(widget(control)->mapToGlobal(QPoint(0, 0)), widget(control)->size()));
    }
    [[nodiscard]] ui::PixelRect clientOnScreen() const override
    {
        return toRect(QRect(window_.mapToGlobal(QPoint(0, 0)), window_.size()));
    }
    [[nodiscard]] ui::PixelRect frameOnScreen() const override
    {
        return toRect(window_.frameGeometry());
    }
    [[nodiscard]] ui::PixelRect available() const override
    {
        return toRect(window_.screen()->availableGeometry());
    }
    [[nodiscard]] std::string title() const override { return window_.windowTitle().toStdString(); }
    [[nodiscard]] bool resizable() const override
    {
        return window_.minimumSize() != window_.maximumSize()
            || window_.windowFlags().testFlag(Qt::WindowMaximizeButtonHint);
    }
    [[nodiscard]] bool hasIcon() const override
    {
        // Both sizes, else a resource or the ICO plug-in is missing.
        const QList<QSize> sizes = window_.windowIcon().availableSizes();
        return sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32));
    }
    [[nodiscard]] std::string text(Control control) const override
    {
        const QWidget* w = widget(control);
        if (const auto* field = qobject_cast<const QLineEdit*>(w))
            return field->text().toStdString();
        if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text().toStdString();
        return qobject_cast<const QPushButton*>(w)->text().toStdString();
    }
    [[nodiscard]] std::string toolTip(Control control) const override
    {
        return widget(control)->toolTip().toStdString();
    }
    [[nodiscard]] std::optional<std::string> accessibleName(Control control) const override
    {
        return widget(control)->accessibleName().toStdString();
    }
    [[nodiscard]] std::optional<std::string> description(Control field) const override
    {
        return widget(field)->accessibleDescription().toStdString();
    }
    [[nodiscard]] FontSeen font(Control control) const override
    {
        const QFontInfo info(widget(control)->font());
        return { info.family().toStdString(), info.pointSize(), info.bold() };
    }
    [[nodiscard]] int textWidth(Control control) const override
    {
        return QFontMetrics(widget(control)->font()).horizontalAdvance(toQ(text(control)));
    }
    [[nodiscard]] bool visible(Control control) const override
    {
        return widget(control)->isVisible();
    }
    [[nodiscard]] std::optional<Control> focused() const override
    {
        return controlNamed(QApplication::focusWidget());
    }
    [[nodiscard]] std::optional<Control> controlAt(ui::PixelPoint client) const override
    {
        return controlNamed(window_.childAt(QPoint(client.x, client.y)));
    }
    [[nodiscard]] std::vector<ui::Rgb> colours(ui::PixelPoint client) const override
    {
        const QImage image = const_cast<mensurel::qt::Window&>(window_).grab().toImage();
        const int scale = static_cast<int>(std::lround(image.devicePixelRatio()));
        std::vector<ui::Rgb> seen;
        for (int dy = 0; dy < scale; ++dy) {
            for (int dx = 0; dx < scale; ++dx) {
                const QColor c = image.pixelColor((client.x * scale) + dx, (client.y * scale) + dy);
                seen.push_back({ static_cast<unsigned char>(c.red()),
                    static_cast<unsigned char>(c.green()), static_cast<unsigned char>(c.blue()) });
            }
        }
        return seen;
    }
    [[nodiscard]] ui::Rgb surfaceColour() const override
    {
        const QColor c = window_.palette().color(QPalette::Window);
        return { static_cast<unsigned char>(c.red()), static_cast<unsigned char>(c.green()),
            static_cast<unsigned char>(c.blue()) };
    }
    [[nodiscard]] std::optional<WarningSeen> warning() const override
    {
        const auto* popup = window_.findChild<QLabel*>(QStringLiteral("warning"));
        if (popup == nullptr || !popup->isVisible()) return std::nullopt;
        return WarningSeen { popup->text().toStdString(), toRect(popup->frameGeometry()) };
    }
    [[nodiscard]] std::vector<std::string> launches() const override { return launches_; }
    [[nodiscard]] std::vector<BoxSeen> boxes() const override { return boxes_; }

private:
    QWidget* find(Control control) const
    {
        return window_.findChild<QWidget*>(
            toQ(ui::designOf(control).name), Qt::FindDirectChildrenOnly);
    }
    QWidget* widget(Control control) const
    {
        QWidget* w = find(control);
        if (w == nullptr) ADD_FAILURE() << "no control " << ui::designOf(control).name;
        return w;
    }
    static std::optional<Control> controlNamed(const QWidget* w)
    {
        for (const ui::ControlDesign& design : ui::controls()) {
            if (w != nullptr && w->objectName() == toQ(design.name)) return design.id;
        }
        return std::nullopt;
    }
    static ui::PixelPoint centreOf(const QRect& r) { return { r.center().x(), r.center().y() }; }

    // The X server takes pointer positions in its own pixels.
    void pointerTo(QPoint global)
    {
        const qreal scale = window_.devicePixelRatio();
        XTestFakeMotionEvent(display_, -1, static_cast<int>(std::lround(global.x() * scale)),
            static_cast<int>(std::lround(global.y() * scale)), CurrentTime);
        XSync(display_, False);
    }

    void send(KeyCode code, bool down)
    {
        XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime);
        XSync(display_, False);
        QTest::qWait(5);
    }

    static void settle(int ms) { QTest::qWait(ms); }

    // Each box is read when it appears and closed 300 ms later.
    void watchBoxes()
    {
        QObject::connect(&boxWatcher_, &QTimer::timeout, &window_, [this] {
            std::vector<QMessageBox*> open;
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(widget);
                    box != nullptr && box->isVisible())
                    open.push_back(box);
            }
            for (auto& [box, ticks, index] : watched_) {
                const bool stillOpen = std::find(open.begin(), open.end(), box) != open.end();
                if (!stillOpen) continue;
                if (++ticks == 6) {
                    boxes_[index].keptUntilClosed = true;
                    box->accept();
                }
            }
            for (QMessageBox* box : open) {
                const bool known = std::any_of(
                    watched_.begin(), watched_.end(), [&](const auto& w) { return w.box == box; });
                if (known) continue;
                watched_.push_back({ box, 0, boxes_.size() });
                boxes_.push_back({ box->text().toStdString(), false, open.size() > 1 });
            }
        });
        boxWatcher_.start(50);
    }

    struct Watched {
        QPointer<QMessageBox> box;
        int ticks;
        std::size_t index;
    };

    bool launchWorks_;
    std::vector<std::string> launches_;
    std::vector<BoxSeen> boxes_;
    std::vector<Watched> watched_;
    QTimer boxWatcher_;
    Display* display_ = nullptr;
    std::unique_ptr<QWidget> other_;
    mensurel::qt::Window window_;
};

} // namespace

std::unique_ptr<Driver> openWindow(const Options& options)
{
    return std::make_unique<QtDriver>(options);
}

} // namespace mensurel::test

int main(int argc, char* argv[])
{
    mensurel::qt::Application application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
