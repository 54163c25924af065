// The design's values in Qt's types and back: UTF-8 texts, pixel rectangles.
#pragma once

#include <mensurel/ui/design.h>

#include <QRect>
#include <QString>

#include <string>
#include <string_view>

namespace mensurel::qt {

inline QString toQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string toUtf8(const QString& text)
{
    return text.toStdString();
}

inline QRect toQRect(const ui::PixelRect& r)
{
    return { r.left, r.top, r.width, r.height };
}

inline ui::PixelRect toPixelRect(const QRect& r)
{
    return { .left = r.left(), .top = r.top(), .width = r.width(), .height = r.height() };
}

} // namespace mensurel::qt
