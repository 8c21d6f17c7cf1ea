#include "settingsfile.h"

#include "inifile.h"

namespace {
const QString ColorSection = QStringLiteral("wkyColor");
const QString ColorKey = QStringLiteral("backColor");
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
    IniFile settings;
    if (!settings.read(m_path))
        return std::nullopt;
    const std::optional<QString> value = settings.value(ColorSection, ColorKey);
    return value ? parseColor(*value) : std::nullopt;
}

bool SettingsFile::setBackgroundColor(TColor color)
{
    IniFile settings;
    if (!settings.read(m_path))
        return false;
    settings.setValue(ColorSection, ColorKey, QString::number(color));
    return settings.write(m_path);
}
