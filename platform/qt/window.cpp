#include "mensurel/qt/window.h"

#include "launcher.h"
#include "mensurel/qt/application.h"
#include "screens.h"
#include "settings.h"
#include "text.h"

#include <mensurel/ui/design.h>

#include <QDate>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStringList>

#include <algorithm>
#include <limits>
#include <utility>

namespace mensurel::qt {

namespace {

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
        // Qt's default would cut a paste at 32,767 characters.
        const int limit = ui::windowDesign().fieldMaxLength;
        field->setMaxLength(limit > 0 ? limit : std::numeric_limits<int>::max());
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

// A key event as Form1 takes it. The physical key is the scan code, which
// the release shares with the press whatever character either produced
// (Shift let go first turns "3" into "#"); synthesised events carry none,
// and their key stands in.
ui::KeyEvent plainKey(const QKeyEvent& key)
{
    const quint32 scanCode = key.nativeScanCode();
    return { .code = scanCode != 0 ? static_cast<int>(scanCode) : key.key() | (1 << 30),
        .autoRepeat = key.isAutoRepeat(),
        .escape = key.key() == Qt::Key_Escape,
        .enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter,
        .space = key.key() == Qt::Key_Space };
}

} // namespace

Window::Window(Services services)
    : form_(*this)
    , warning_(this)
    , layout_(ui::layoutAt(ui::kDesignDpi))
    , services_(std::move(services))
{
    const ui::WindowDesign& design = ui::windowDesign();
    setWindowTitle(toQString(design.title));
    setWindowIcon(QIcon(QStringLiteral(":/icons/%1.ico").arg(toQString(design.icon))));
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
    if (design.maximiseBox) flags |= Qt::WindowMaximizeButtonHint;
    setWindowFlags(flags);
    setFixedSize(layout_.clientWidth, layout_.clientHeight);

    QPalette surface = palette();
    surface.setColor(QPalette::Window, surface.color(QPalette::Button));
    setPalette(surface);
    setAutoFillBackground(true);
    setFont(toFont(design.defaultFont));

    buildControls();
    bindEvents();
    if (!services_.launch) {
        services_.launch = [this](std::string_view address, std::function<void()> failed) {
            launchWebAddress(QUrl(toQString(address)), this, std::move(failed));
        };
    }
    if (!services_.currentYear) services_.currentYear = [] { return QDate::currentDate().year(); };
    if (!services_.loadPlace) services_.loadPlace = loadPlaceSetting;
    if (!services_.savePlace) services_.savePlace = savePlaceSetting;
    const QPoint client = rememberedClientPosition(services_.loadPlace(), width())
                              .value_or(firstClientPosition(size()));
    setGeometry(QRect(client, size()));
}

Window::~Window()
{
    abandonLaunches(this);
}

void Window::buildControls()
{
    const auto designs = ui::controls();
    for (std::size_t row = 0; row < designs.size(); ++row) {
        const ui::ControlDesign& design = designs[row];
        QWidget* control = createControl(design, this);
        if (control == nullptr) continue; // a frame, painted on the surface
        control->setObjectName(toQString(design.name));
        control->setGeometry(toQRect(layout_.controls[row]));
        if (design.font == ui::ControlFont::UnitLabel)
            control->setFont(toFont(ui::windowDesign().unitLabelFont));
        if (!design.toolTip.empty()) control->setToolTip(toQString(ui::toolTipOf(design)));
        if (!design.accessibleName.empty())
            control->setAccessibleName(toQString(design.accessibleName));
        controls_[row] = control;
    }
    // Stacking: raising from the bottom-most row upwards leaves the first
    // row on top.
    for (std::size_t row = controls_.size(); row-- > 0;) {
        if (controls_[row] != nullptr) controls_[row]->raise();
    }
    const auto order = ui::focusOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(control(order[i - 1]), control(order[i]));
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
    face(ui::Face::Command1)->setMouseTracking(true);
    for (QWidget* control : controls_) {
        if (control != nullptr) control->setAttribute(Qt::WA_NoMousePropagation);
    }
    installEventFilter(this);
    for (const ui::Face which : { ui::Face::Command1, ui::Face::Command2 }) {
        face(which)->installEventFilter(this);
        connect(
            face(which), &QPushButton::clicked, this, [this, which] { form_.faceClicked(which); });
    }
    for (const UnitField unit : ui::kUnitFields) {
        field(unit)->installEventFilter(this);
        // Every change of the text: typing, the menu, drops, input methods,
        // assistive tools (which set the text without any textEdited), and
        // the program's own writes, which Form1 knows for its own.
        connect(field(unit), &QLineEdit::textChanged, this, [this, unit] {
            form_.textChanged(unit);
            steadyCaretForLongText();
        });
    }
}

std::optional<ui::Control> Window::controlOf(const QObject* object) const
{
    const auto* const it = std::ranges::find(controls_, object);
    if (it == controls_.end()) return std::nullopt;
    return static_cast<ui::Control>(it - controls_.begin());
}

bool Window::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseMove) form_.Form_MouseMove();
        if (type == QEvent::Move) form_.windowMoved();
        if (type == QEvent::Hide || type == QEvent::WindowDeactivate) form_.windowDeactivated();
        return false;
    }
    const auto control = controlOf(watched);
    if (!control) return false;
    if (const auto which = ui::faceOf(*control)) return faceEvent(*which, event);
    if (const auto unit = ui::fieldOf(*control)) return fieldEvent(*unit, event);
    return false;
}

bool Window::faceEvent(ui::Face which, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        if (which == ui::Face::Command1) form_.Command1_MouseMove();
        return false;
    case QEvent::KeyPress:
        return form_.faceKeyPressed(which, plainKey(*static_cast<const QKeyEvent*>(event)));
    case QEvent::KeyRelease:
        return form_.faceKeyReleased(which, plainKey(*static_cast<const QKeyEvent*>(event)));
    default: return false;
    }
}

bool Window::fieldEvent(UnitField unit, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        form_.keyPressed(unit, plainKey(*static_cast<const QKeyEvent*>(event)));
        break;
    case QEvent::KeyRelease:
        form_.keyReleased(unit, plainKey(*static_cast<const QKeyEvent*>(event)));
        break;
    case QEvent::FocusIn: steadyCaretForLongText(); break;
    case QEvent::FocusOut:
        form_.focusLeft(unit);
        steadyCaretForLongText();
        break;
    default: break;
    }
    return false;
}

void Window::steadyCaretForLongText()
{
    const auto control = controlOf(QApplication::focusWidget());
    const auto unit = control ? ui::fieldOf(*control) : std::nullopt;
    caret_.update(unit ? field(*unit) : nullptr);
}

void Window::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (const auto place = placeOf(geometry(), screen())) services_.savePlace(*place);
}

void Window::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    const ui::Rgb& rgb = ui::windowDesign().frameColour;
    const QColor colour(rgb.red, rgb.green, rgb.blue);
    // The frames, bottom-most first: the table lists them topmost first.
    const auto designs = ui::controls();
    for (std::size_t row = designs.size(); row-- > 0;) {
        if (designs[row].kind != ui::ControlKind::Frame) continue;
        const int width = ui::lineWidthAt(designs[row], ui::kDesignDpi);
        for (const ui::PixelRect& bar : ui::outlineOf(layout_.controls[row], width))
            painter.fillRect(toQRect(bar), colour);
    }
}

// The desktop operations of the window's procedures.

std::string Window::fieldText(UnitField unit) const
{
    return toUtf8(field(unit)->text());
}

void Window::setFieldText(UnitField unit, const std::string& text)
{
    field(unit)->setText(toQString(text));
}

QLineEdit* Window::field(UnitField unit) const
{
    return static_cast<QLineEdit*>(control(ui::controlOf(unit)));
}

QPushButton* Window::face(ui::Face which) const
{
    return static_cast<QPushButton*>(control(ui::controlOf(which)));
}

void Window::setFaceVisible(ui::Face which, bool visible)
{
    face(which)->setVisible(visible);
}

bool Window::hasFocus(ui::Control id) const
{
    return control(id) != nullptr && control(id)->hasFocus();
}

void Window::setFocus(ui::Control id)
{
    if (control(id) != nullptr) control(id)->setFocus(Qt::OtherFocusReason);
}

void Window::setNoticeCaption(const std::string& text)
{
    static_cast<QLabel*>(control(ui::Control::Label1))->setText(toQString(text));
}

int Window::currentYear() const
{
    return services_.currentYear();
}

void Window::startLaunch(std::string_view address)
{
    // The report of a failure arrives from the event loop, after the click
    // has been handled.
    services_.launch(address, [this] { form_.launchFailed(); });
}

bool Window::windowActive() const
{
    return isVisible() && isActiveWindow() && !isMinimized();
}

void Window::beep()
{
    QApplication::beep();
}

void Window::showWarning(UnitField unit, const std::string& text)
{
    const QString warning = toQString(text);
    field(unit)->setAccessibleDescription(warning);
    warning_.show(field(unit), warning, font());
}

void Window::describeWarning(UnitField unit, const std::string& text)
{
    field(unit)->setAccessibleDescription(toQString(text));
}

void Window::hideWarning(UnitField unit)
{
    warning_.hide(field(unit));
}

void Window::removeWarning(UnitField unit)
{
    hideWarning(unit);
    field(unit)->setAccessibleDescription(QString());
}

void Window::showMessage(const std::string& text, ui::MessageIcon icon)
{
    reportError(this, toQString(text), icon);
}

} // namespace mensurel::qt
