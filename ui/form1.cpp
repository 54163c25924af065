#include "mensurel/ui/form1.h"

#include "event_relay.h"
#include "mensurel/ui/layout.h"

#include <mensurel/convert.h>
#include <mensurel/number_text.h>
#include <mensurel/platform.h>

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

namespace mensurel::ui {

namespace {

// The maker, the rights notice and the first year of the range. The notice
// line is this text followed by the current year as FormatStr renders it:
// "... 2003 -" and " 2026" make "... 2003 - 2026".
constexpr std::string_view kNoticePrefix = "Brantovel 版权所有 (C) 2003 -";

constexpr std::array kUnitFields { UnitField::inchs, UnitField::mils, UnitField::mm,
    UnitField::ums };

QWidget* createControl(const ControlDesign& design, QWidget* parent)
{
    switch (design.kind) {
    case ControlKind::TextField: {
        auto* field = new QLineEdit(toQString(design.text), parent);
        field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        field->setFocusPolicy(Qt::StrongFocus);
        return field;
    }
    case ControlKind::Label: {
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
    case ControlKind::PictureButton: {
        auto* button = new QPushButton(parent);
        button->setFlat(false);
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::StrongFocus);
        // QIcon picks up the "@2x" file beside the picture for high DPI.
        button->setIcon(QIcon(toQString(design.picture)));
        button->setIconSize(kWindow.pictureSize);
        return button;
    }
    case ControlKind::Frame: break;
    }
    return nullptr;
}

} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(toQString(kWindow.title));
    setWindowIcon(QIcon(toQString(kWindow.icon)));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(toPixels(kWindow.clientArea).size());

    QPalette surface = palette();
    surface.setColor(QPalette::Window, surface.color(QPalette::Button));
    setPalette(surface);
    setAutoFillBackground(true);
    setFont(toFont(kWindow.defaultFont));

    buildControls();
    orderStacking();
    orderTabs();
    bindEvents();
    placeOn(QGuiApplication::screenAt(toPixels(kWindow.clientArea).topLeft()));
}

void Form1::buildControls()
{
    for (const ControlDesign& design : kControls) {
        const QRect rect = toPixels(design.rect);
        if (design.kind == ControlKind::Frame) {
            frames_.push_back({ rect, design.lineWidth });
            continue;
        }
        QWidget* control = createControl(design, this);
        control->setObjectName(toQString(design.name));
        control->setGeometry(rect);
        if (design.font == ControlFont::UnitLabel) control->setFont(toFont(kWindow.unitLabelFont));
        if (!design.toolTip.empty()) control->setToolTip(toolTipOf(design));
        if (!design.accessibleName.empty())
            control->setAccessibleName(toQString(design.accessibleName));
    }
    // The table lists the frames topmost first; they are painted bottom-most
    // first.
    std::ranges::reverse(frames_);

    inchs_ = findChild<QLineEdit*>(QStringLiteral("inchs"), Qt::FindDirectChildrenOnly);
    mils_ = findChild<QLineEdit*>(QStringLiteral("mils"), Qt::FindDirectChildrenOnly);
    mm_ = findChild<QLineEdit*>(QStringLiteral("mm"), Qt::FindDirectChildrenOnly);
    ums_ = findChild<QLineEdit*>(QStringLiteral("ums"), Qt::FindDirectChildrenOnly);
    command1_ = findChild<QPushButton*>(QStringLiteral("Command1"), Qt::FindDirectChildrenOnly);
    command2_ = findChild<QPushButton*>(QStringLiteral("Command2"), Qt::FindDirectChildrenOnly);
    label1_ = findChild<QLabel*>(QStringLiteral("Label1"), Qt::FindDirectChildrenOnly);
}

void Form1::orderStacking()
{
    // Raising from the bottom-most control upwards leaves the rank-0 control
    // on top.
    std::array<ControlDesign, kControls.size()> byRank = kControls;
    std::ranges::sort(byRank,
        [](const ControlDesign& a, const ControlDesign& b) { return a.stackRank > b.stackRank; });
    for (const ControlDesign& design : byRank) {
        if (auto* control = findChild<QWidget*>(toQString(design.name), Qt::FindDirectChildrenOnly))
            control->raise();
    }
}

void Form1::orderTabs()
{
    std::vector<QWidget*> chain;
    std::array<ControlDesign, kControls.size()> byTab = kControls;
    std::ranges::sort(byTab,
        [](const ControlDesign& a, const ControlDesign& b) { return a.tabIndex < b.tabIndex; });
    for (const ControlDesign& design : byTab) {
        if (design.kind != ControlKind::TextField && design.kind != ControlKind::PictureButton)
            continue; // labels hold tab positions but never take the focus
        chain.push_back(findChild<QWidget*>(toQString(design.name), Qt::FindDirectChildrenOnly));
    }
    for (std::size_t i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
    if (!chain.empty()) chain.front()->setFocus(Qt::OtherFocusReason);
}

void Form1::bindEvents()
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

    connect(
        new EventRelay(this, QEvent::MouseMove), &EventRelay::raised, this, &Form1::Form_MouseMove);
    connect(new EventRelay(command1_, QEvent::MouseMove), &EventRelay::raised, this,
        &Form1::Command1_MouseMove);
    connect(command1_, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(command2_, &QPushButton::clicked, this, &Form1::Command2_Click);

    const std::array<std::pair<QLineEdit*, void (Form1::*)()>, 4> keyUps { {
        { inchs_, &Form1::inchs_KeyUp },
        { mils_, &Form1::mils_KeyUp },
        { mm_, &Form1::mm_KeyUp },
        { ums_, &Form1::ums_KeyUp },
    } };
    for (const auto& [control, keyUp] : keyUps) {
        connect(new KeyUpRelay(control), &KeyUpRelay::raised, this, keyUp);
        // A text the user changes without a key release in the field (paste,
        // cut or undo from the context menu, a middle-click paste, a drop)
        // converts as a key release does, so the four fields never disagree.
        // The program's own writes do not emit textEdited.
        connect(control, &QLineEdit::textEdited, this, keyUp);
    }
}

void Form1::Form_Load()
{
    const Currency year { std::int64_t { platform::today().year() } * 10000 };
    label1_->setText(toQString(kNoticePrefix) + QString::fromStdString(FormatStr(year)));
}

void Form1::Form_MouseMove()
{
    command1_->setVisible(true);
    command2_->setVisible(false);
}

void Form1::Command1_MouseMove()
{
    command2_->setVisible(true);
    command1_->setVisible(false);
}

void Form1::Command1_Click()
{
    platform::launchWebAddress(this, siteAddress());
}

void Form1::Command2_Click()
{
    platform::launchWebAddress(this, siteAddress());
}

void Form1::inchs_KeyUp()
{
    convertFrom(UnitField::inchs);
}

void Form1::mils_KeyUp()
{
    convertFrom(UnitField::mils);
}

void Form1::mm_KeyUp()
{
    convertFrom(UnitField::mm);
}

void Form1::ums_KeyUp()
{
    convertFrom(UnitField::ums);
}

void Form1::convertFrom(UnitField from)
{
    FieldTexts texts;
    for (const UnitField unit : kUnitFields) texts[unit] = field(unit)->text().toStdString();
    if (!ConvertFromField(from, texts)) {
        platform::showFieldNotice(field(from), platform::outOfRangeText());
        return;
    }
    for (const UnitField unit : kUnitFields) {
        platform::clearFieldNotice(field(unit));
        if (unit != from) field(unit)->setText(QString::fromStdString(texts[unit]));
    }
}

QLineEdit* Form1::field(UnitField unit) const
{
    switch (unit) {
    case UnitField::inchs: return inchs_;
    case UnitField::mils: return mils_;
    case UnitField::mm: return mm_;
    case UnitField::ums: return ums_;
    }
    return nullptr;
}

void Form1::placeOn(const QScreen* screen)
{
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    const QSize client = toPixels(kWindow.clientArea).size();
    if (screen == nullptr) {
        move(toPixels(kWindow.clientArea).topLeft());
        return;
    }
    // Before the window is first shown the window manager's frame is not
    // known yet; allow for a usual one.
    const QPoint position
        = firstClientPosition(screen->availableGeometry(), client, kWindow.frameAllowance);
    setGeometry(QRect(position, client));
}

void Form1::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    for (const Outline& frame : frames_) {
        // The outline lies inside the frame's rectangle, `lineWidth` pixels
        // wide along each edge; the inside is not filled.
        const QRect& r = frame.rect;
        const int w = frame.lineWidth;
        painter.fillRect(QRect(r.left(), r.top(), r.width(), w), kWindow.frameColour);
        painter.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), kWindow.frameColour);
        painter.fillRect(QRect(r.left(), r.top(), w, r.height()), kWindow.frameColour);
        painter.fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), kWindow.frameColour);
    }
}

} // namespace mensurel::ui
