#include "awaysetting.h"

#include "inifile.h"

int AwaySetting::minutes(const QString &settingsPath)
{
    IniFile file;
    if (!file.read(settingsPath))
        return 0;
    bool ok = false;
    const int minutes = file.value(u"Away", u"Minutes").value_or(QString()).toInt(&ok);
    return ok && minutes > 0 ? minutes : 0;
}
