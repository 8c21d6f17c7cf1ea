#include "awaysetting.h"

#include "inifile.h"

namespace {

const QString Section = QStringLiteral("Away");
const QString Key = QStringLiteral("Minutes");

} // namespace

int AwaySetting::minutes(const QString &settingsPath)
{
    IniFile settings;
    settings.read(settingsPath); // a file that cannot be read leaves it off
    bool isNumber = false;
    const int stored = settings.value(Section, Key).value_or(QString()).toInt(&isNumber);
    return isNumber && stored > 0 && stored <= MaximumMinutes ? stored : 0;
}

bool AwaySetting::write(const QString &settingsPath, int minutes)
{
    IniFile settings;
    if (!settings.read(settingsPath))
        return false;
    // Turning off what was never on leaves the file as it was.
    if (minutes == 0 && !settings.value(Section, Key))
        return true;
    settings.setValue(Section, Key, minutes > 0 ? QString::number(minutes) : QString());
    return settings.write(settingsPath);
}
