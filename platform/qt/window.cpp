#include "mensurel/qt/window.h"

#include "launcher.h"
#include "mensurel/qt/application.h"
#include "text.h"

#include <mensurel/ui/design.h>

#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QStyleHints>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace mensurel::qt {

namespace {

QRect toQRect(const ui::PixelRect& r)
{
    return { r.left, r.top, r.width, r.height };
}

ui::PixelRect toPixelRect(const QRect& r)
{
    return { .left = r.left(), .top = r.top(), .width = r.width(), .height = r.height() };
}

QColor toQColor(const ui::Rgb& rgb)
{
    return { rgb.red, rgb.green, rgb.blue };
}

QFont toFont(const ui::FontDesign& design)
{
    QStringList families;
    for (std::string_view family : design.families) {
        if (!family.empty()) families << toQString(family);
    }
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(design.pointSize);
    font.setWeight(design.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QWidget* createControl(const ui::ControlDesign& design, QWidget* parent)
{
    switch (design.kind) {
    case ui::ControlKind::TextField: {
        auto* field = new QLineEdit(toQString(design.text), parent);
        field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        field->setFocusPolicy(Qt::StrongFocus);
        // No limit below what the widget can hold: a long paste is kept
        // whole instead of being cut at Qt's default of 32,767 characters.
        field->setMaxLength(std::numeric_limits<int>::max());
        return field;
    }
    case ui::ControlKind::Label: {
        auto* label = new QLabel(toQString(design.text), parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setFocusPolicy(Qt::NoFocus);
        // The label leaves its background to the window surface, which has
        // the same colour; so the frames drawn there stay whole where a
        // label's rectangle reaches over them (the "Mm" label's last column
        // lies on the inner frame's right-hand line).
        label->setAutoFillBackground(false);
        return label;
    }
    case ui::ControlKind::PictureButton: {
        auto* button = new QPushButton(parent);
        button->setFlat(false);
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::StrongFocus);
        // QIcon picks up the "@2x" file beside the picture for high DPI.
        button->setIcon(QIcon(QStringLiteral(":/pictures/%1.gif").arg(toQString(design.picture))));
        button->setIconSize(
            QSize(ui::windowDesign().pictureWidth, ui::windowDesign().pictureHeight));
        return button;
    }
    case ui::ControlKind::Frame: break;
    }
    return nullptr;
}

QLabel* createNotice(QWidget* window)
{
    auto* notice = new QLabel(window, Qt::ToolTip | Qt::FramelessWindowHint);
    notice->setObjectName(QStringLiteral("notice"));
    notice->setTextFormat(Qt::PlainText);
    notice->setWordWrap(true);
    notice->setPalette(QToolTip::palette());
    notice->setForegroundRole(QPalette::ToolTipText);
    notice->setBackgroundRole(QPalette::ToolTipBase);
    notice->setAutoFillBackground(true);
    notice->setFrameStyle(QFrame::Box | QFrame::Plain);
    notice->setMargin(3);
    notice->setFocusPolicy(Qt::NoFocus);
    notice->setAttribute(Qt::WA_ShowWithoutActivating);
    return notice;
}

// The physical key of a key event: its scan code, which the release shares
// with the press whatever character either produced (Shift let go first
// turns "3" into "#"). Synthesised events carry none; their key stands in.
int physicalKey(const QKeyEvent& key)
{
    const quint32 scanCode = key.nativeScanCode();
    return scanCode != 0 ? static_cast<int>(scanCode) : key.key() | (1 << 30);
}

bool isReturn(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

Window::Window(QWidget* parent)
    : QWidget(parent)
    , form_(*this)
{
    const ui::WindowDesign& design = ui::windowDesign();
    setWindowTitle(toQString(design.title));
    setWindowIcon(QIcon(QStringLiteral(":/icons/%1.ico").arg(toQString(design.icon))));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(toQRect(ui::toPixels(design.clientArea)).size());

    QPalette surface = palette();
    surface.setColor(QPalette::Window, surface.color(QPalette::Button));
    setPalette(surface);
    setAutoFillBackground(true);
    setFont(toFont(design.defaultFont));

    buildControls();
    bindEvents();
    notice_ = createNotice(this);
    launch_ = [this](std::string_view address, std::function<void()> failed) {
        launchWebAddress(QUrl(toQString(address)), this, std::move(failed));
    };
    placeOn(QGuiApplication::screenAt(toQRect(ui::toPixels(design.clientArea)).topLeft()));
}

Window::~Window()
{
    abandonLaunches(this);
    if (desktopFlashTime_) QGuiApplication::styleHints()->setCursorFlashTime(*desktopFlashTime_);
}

void Window::buildControls()
{
    std::array<QWidget*, 13> widgets {}; // by table row; null for the frames
    const auto controls = ui::controls();
    for (std::size_t row = 0; row < controls.size(); ++row) {
        const ui::ControlDesign& design = controls[row];
        const QRect rect = toQRect(ui::toPixels(design.rect));
        if (design.kind == ui::ControlKind::Frame) {
            frames_.push_back({ rect, design.lineWidth });
            continue;
        }
        QWidget* control = createControl(design, this);
        control->setObjectName(toQString(design.name));
        control->setGeometry(rect);
        if (design.font == ui::ControlFont::UnitLabel)
            control->setFont(toFont(ui::windowDesign().unitLabelFont));
        if (!design.toolTip.empty()) control->setToolTip(toQString(ui::toolTipOf(design)));
        if (!design.accessibleName.empty())
            control->setAccessibleName(toQString(design.accessibleName));
        widgets[row] = control;
    }
    // The table lists the frames topmost first; they are painted bottom-most
    // first.
    std::ranges::reverse(frames_);

    const auto at = [&](ui::Control id) { return widgets[static_cast<std::size_t>(id)]; };
    for (const UnitField unit :
        { UnitField::inchs, UnitField::mils, UnitField::mm, UnitField::ums })
        fields_[static_cast<std::size_t>(unit)] = static_cast<QLineEdit*>(at(ui::controlOf(unit)));
    command1_ = static_cast<QPushButton*>(at(ui::Control::Command1));
    command2_ = static_cast<QPushButton*>(at(ui::Control::Command2));
    label1_ = static_cast<QLabel*>(at(ui::Control::Label1));

    // Stacking: raising from the bottom-most row upwards leaves the first
    // row on top.
    for (std::size_t row = widgets.size(); row-- > 0;) {
        if (widgets[row] != nullptr) widgets[row]->raise();
    }

    // Tab order: the focus-taking controls by tab position; the labels hold
    // tab positions but never take the focus.
    std::vector<std::pair<int, QWidget*>> chain;
    for (std::size_t row = 0; row < controls.size(); ++row) {
        const ui::ControlKind kind = controls[row].kind;
        if (kind == ui::ControlKind::TextField || kind == ui::ControlKind::PictureButton)
            chain.emplace_back(controls[row].tabIndex, widgets[row]);
    }
    std::ranges::sort(chain, [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1].second, chain[i].second);
    if (!chain.empty()) chain.front().second->setFocus(Qt::OtherFocusReason);
}

void Window::bindEvents()
{
    // Pointer movement without a button held reaches only widgets that track
    // the mouse: the window surface (the frames are painted on it) and
    // Command1. A move that a control does not take goes on to the window;
    // the labels, the fields and both buttons stop it there, so that moving
    // over them never runs Form_MouseMove. Command1 needs the stop too: its
    // own procedure runs, but the button itself leaves the move untaken.
    setMouseTracking(true);
    command1_->setMouseTracking(true);
    for (QWidget* control : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        control->setAttribute(Qt::WA_NoMousePropagation);

    installEventFilter(this);
    command1_->installEventFilter(this);
    command2_->installEventFilter(this);
    connect(command1_, &QPushButton::clicked, this, [this] { form_.Command1_Click(); });
    connect(command2_, &QPushButton::clicked, this, [this] { form_.Command2_Click(); });
    for (const UnitField unit :
        { UnitField::inchs, UnitField::mils, UnitField::mm, UnitField::ums }) {
        field(unit)->installEventFilter(this);
        // Every change of the text but the program's own writes: typing, the
        // menu, drops, input methods, and assistive tools, which set the
        // text without any textEdited.
        connect(field(unit), &QLineEdit::textChanged, this, [this, unit] {
            if (!writing_) form_.textChangedByUser(unit);
            steadyCaretForLongText();
        });
    }
}

int Window::fieldIndex(const QObject* object) const
{
    const auto* const it = std::ranges::find(fields_, object);
    return it == fields_.end() ? -1 : static_cast<int>(it - fields_.begin());
}

bool Window::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == this) {
        if (type == QEvent::MouseMove) form_.Form_MouseMove();
        // The notice belongs where the field was; it does not follow.
        if (type == QEvent::Move || type == QEvent::Hide || type == QEvent::WindowDeactivate)
            notice_->hide();
        return false;
    }
    if (watched == command1_ && type == QEvent::MouseMove) form_.Command1_MouseMove();
    if ((watched == command1_ || watched == command2_) && type == QEvent::KeyPress) {
        // Return and Enter click a focused face, as on the desktops the tool
        // was designed for; Space stays with the button itself.
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (isReturn(key)) {
            if (!key->isAutoRepeat()) static_cast<QPushButton*>(watched)->click();
            return true;
        }
        return false;
    }
    const int index = fieldIndex(watched);
    if (index < 0) return false;
    const auto unit = static_cast<UnitField>(index);
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        const ui::KeyEvent plain { .code = physicalKey(*key),
            .autoRepeat = key->isAutoRepeat(),
            .escape = key->key() == Qt::Key_Escape };
        if (type == QEvent::KeyPress)
            form_.keyPressed(unit, plain);
        else
            form_.keyReleased(unit, plain);
        break;
    }
    case QEvent::FocusIn: steadyCaretForLongText(); break;
    case QEvent::FocusOut:
        form_.focusLeft(unit);
        if (noticeField_ == index) notice_->hide();
        steadyCaretForLongText();
        break;
    default: break;
    }
    return false;
}

void Window::steadyCaretForLongText()
{
    // Each blink of the caret repaints its field, and a line edit lays out
    // its whole text for every paint: with a megabyte in the field that
    // alone keeps a quarter of a core busy. While the focused field holds a
    // text that long the caret stays on instead; the desktop's blinking
    // comes back with the focus elsewhere or a shorter text.
    constexpr qsizetype kSteadyCaretLength = 100'000;
    const auto* focused = qobject_cast<const QLineEdit*>(QApplication::focusWidget());
    const bool steady = focused != nullptr && std::ranges::find(fields_, focused) != fields_.end()
        && focused->text().size() > kSteadyCaretLength;
    QStyleHints* hints = QGuiApplication::styleHints();
    if (steady && !desktopFlashTime_) {
        desktopFlashTime_ = hints->cursorFlashTime();
        hints->setCursorFlashTime(0);
    } else if (!steady && desktopFlashTime_) {
        hints->setCursorFlashTime(*desktopFlashTime_);
        desktopFlashTime_.reset();
    }
}

const QWidget* Window::notice() const
{
    return notice_;
}

void Window::setLaunchHandler(LaunchHandler handler)
{
    launch_ = std::move(handler);
}

void Window::placeOn(const QScreen* screen)
{
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    const QRect design = toQRect(ui::toPixels(ui::windowDesign().clientArea));
    if (screen == nullptr) {
        move(design.topLeft());
        return;
    }
    // Before the window is first shown the window manager's frame is not
    // known yet; allow for a usual one. The window manager draws it in the
    // screen's own pixels, unscaled by Qt, so in the window's scaled pixels
    // it is that much smaller.
    const double scale = screen->devicePixelRatio();
    const auto unscaled
        = [scale](int pixels) { return static_cast<int>(std::ceil(pixels / scale)); };
    const ui::PixelMargins& usual = ui::windowDesign().frameAllowance;
    const ui::PixelMargins frame { .left = unscaled(usual.left),
        .top = unscaled(usual.top),
        .right = unscaled(usual.right),
        .bottom = unscaled(usual.bottom) };
    const ui::PixelPoint position = ui::firstClientPosition(
        toPixelRect(screen->availableGeometry()), design.width(), design.height(), frame);
    setGeometry(QRect(QPoint(position.x, position.y), design.size()));
}

void Window::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    const QColor colour = toQColor(ui::windowDesign().frameColour);
    for (const Outline& frame : frames_) {
        // The outline lies inside the frame's rectangle, `lineWidth` pixels
        // wide along each edge; the inside is not filled.
        const QRect& r = frame.rect;
        const int w = frame.lineWidth;
        painter.fillRect(QRect(r.left(), r.top(), r.width(), w), colour);
        painter.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), colour);
        painter.fillRect(QRect(r.left(), r.top(), w, r.height()), colour);
        painter.fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), colour);
    }
}

// The desktop operations of the window's procedures.

std::string Window::fieldText(UnitField unit) const
{
    return toUtf8(field(unit)->text());
}

void Window::setFieldText(UnitField unit, const std::string& text)
{
    // textChanged arrives inside setText; the flag keeps the program's own
    // write from counting as the user's.
    writing_ = true;
    field(unit)->setText(toQString(text));
    writing_ = false;
}

QPushButton* Window::face(ui::Face which) const
{
    return which == ui::Face::Command1 ? command1_ : command2_;
}

void Window::setFaceVisible(ui::Face which, bool visible)
{
    face(which)->setVisible(visible);
}

bool Window::faceHasFocus(ui::Face which) const
{
    return face(which)->hasFocus();
}

void Window::focusFace(ui::Face which)
{
    face(which)->setFocus(Qt::OtherFocusReason);
}

void Window::setNoticeCaption(const std::string& text)
{
    label1_->setText(toQString(text));
}

int Window::currentYear() const
{
    return today().year();
}

void Window::startLaunch(std::string_view address)
{
    // The report of a failure arrives from the event loop, after the click
    // has been handled.
    launch_(address, [this] { form_.launchFailed(); });
}

void Window::beep()
{
    QApplication::beep();
}

void Window::showFieldNotice(UnitField unit, const std::string& text)
{
    QLineEdit* at = field(unit);
    const QString notice = toQString(text);
    at->setAccessibleDescription(notice);
    notice_->setText(notice);
    notice_->setFont(font());
    noticeField_ = static_cast<int>(unit);

    // Beside the field and wholly on the screen, wrapped when the screen is
    // narrower than the text.
    const QScreen* screen = at->screen();
    QRect available = screen != nullptr ? screen->availableGeometry() : QRect();
    // Qt rounds the screen's size in scaled pixels to the nearest: at three
    // times on 1280 pixels it says 427, and a notice flush with that edge
    // loses its border. One scaled pixel less keeps it whole at any scale.
    if (screen != nullptr && screen->devicePixelRatio() != 1.0) available.adjust(0, 0, -1, -1);
    const QMargins edges = notice_->contentsMargins();
    const int margin = (2 * notice_->margin()) + edges.left() + edges.right();
    int width = notice_->fontMetrics().horizontalAdvance(notice) + margin + 1;
    if (available.isValid()) width = std::min(width, available.width());
    notice_->resize(width, notice_->heightForWidth(width));
    const QRect fieldOnScreen(at->mapToGlobal(QPoint(0, 0)), at->size());
    QPoint position(fieldOnScreen.left(), fieldOnScreen.bottom() + 1);
    if (available.isValid()) {
        const ui::PixelPoint placed = ui::placeNotice(toPixelRect(fieldOnScreen), notice_->width(),
            notice_->height(), toPixelRect(available));
        position = QPoint(placed.x, placed.y);
    }
    notice_->move(position);
    notice_->show();
    notice_->raise();
}

void Window::hideFieldNotice(UnitField unit, bool forget)
{
    if (noticeField_ == static_cast<int>(unit)) notice_->hide();
    if (forget) field(unit)->setAccessibleDescription(QString());
}

void Window::showMessage(const std::string& text)
{
    reportError(this, toQString(text));
}

} // namespace mensurel::qt
