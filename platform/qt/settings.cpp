#include "settings.h"

#include "text.h"

#include <mensurel/ui/design.h>

#include <QSettings>

namespace mensurel::qt {

namespace {

const QString kPlaceKey = QStringLiteral("window/place");

QSettings userSettings()
{
    const QString name = toQString(ui::windowDesign().title);
    return { QSettings::IniFormat, QSettings::UserScope, name, name };
}

} // namespace

std::optional<std::string> loadPlaceSetting()
{
    const QSettings settings = userSettings();
    const QVariant value = settings.value(kPlaceKey);
    if (settings.status() != QSettings::NoError || value.typeId() != QMetaType::QString)
        return std::nullopt;
    return toUtf8(value.toString());
}

void savePlaceSetting(const std::string& text)
{
    QSettings settings = userSettings();
    settings.setValue(kPlaceKey, toQString(text));
    settings.sync();
}

} // namespace mensurel::qt
