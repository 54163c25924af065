// UTF-8 texts of the design to Qt's strings and back.
#pragma once

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

} // namespace mensurel::qt
