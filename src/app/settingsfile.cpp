#include "settingsfile.h"

#include <QSettings>

namespace {
const QString ColorKey = QStringLiteral("wkyColor/backColor");
}

SettingsFile::SettingsFile(QString path)
    : m_path(std::move(path))
{ }

std::optional<TColor> SettingsFile::parseColor(const QString &text)
{
    const QString value = text.trimmed();
    bool ok = false;
    qint64 number = 0;
    if (value.size() > 2 && (value.startsWith(QLatin1String("0x")) || value.startsWith(QLatin1String("0X"))))
        number = value.mid(2).toLongLong(&ok, 16);
    else if (value.startsWith(u'$'))
        number = value.mid(1).toLongLong(&ok, 16);
    else
        number = value.toLongLong(&ok, 10);
    if (!ok || number < INT32_MIN || number > UINT32_MAX)
        return std::nullopt;
    return TColor(quint32(number));
}

std::optional<TColor> SettingsFile::backgroundColor() const
{
    const QSettings settings(m_path, QSettings::IniFormat);
    const QVariant value = settings.value(ColorKey);
    if (!value.isValid())
        return std::nullopt;
    return parseColor(value.toString());
}

bool SettingsFile::setBackgroundColor(TColor color)
{
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(ColorKey, QString::number(color));
    settings.sync();
    return settings.status() == QSettings::NoError;
}
