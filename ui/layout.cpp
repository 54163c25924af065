#include "mensurel/ui/layout.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

#ifndef MENSUREL_SITE_URL
#error "MENSUREL_SITE_URL must name the maker's web site (set by CMake)"
#endif

namespace mensurel::ui {

int twipsToPixels(int twips)
{
    // 15 is odd, so no twip count lies exactly half-way between two pixels.
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

QRect toPixels(const TwipRect& rect)
{
    const int left = twipsToPixels(rect.left);
    const int top = twipsToPixels(rect.top);
    const int right = twipsToPixels(rect.left + rect.width);
    const int bottom = twipsToPixels(rect.top + rect.height);
    return { left, top, right - left, bottom - top };
}

QString toQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QFont toFont(const FontDesign& design)
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

QUrl siteAddress()
{
    return QUrl { QStringLiteral(MENSUREL_SITE_URL) };
}

QString siteHost()
{
    return siteAddress().host();
}

QString toolTipOf(const ControlDesign& control)
{
    QString text = toQString(control.toolTip);
    if (control.toolTipEndsWithSiteHost) text += siteHost();
    return text;
}

QPoint firstClientPosition(const QRect& available, const QSize& client, const QMargins& frame)
{
    const QPoint design = toPixels(kWindow.clientArea).topLeft();
    const QSize whole = client.grownBy(frame);
    const QRect atDesign(design - QPoint(frame.left(), frame.top()), whole);
    if (available.contains(atDesign)) return design;

    QRect centred(QPoint(), whole);
    centred.moveCenter(available.center());
    const QPoint topLeft(
        std::max(centred.left(), available.left()), std::max(centred.top(), available.top()));
    return topLeft + QPoint(frame.left(), frame.top());
}

} // namespace mensurel::ui
