#pragma once

#include "datetime.h"

#include <QString>

// The machine's own date and time texts, as headers and table tokens show
// them, written through the program's display format codes.

/// A date or time format of the locale (its "d", "MMMM", "h:mm AP" form)
/// rewritten in the display format codes: "AP" becomes "ampm", and the time
/// zone and milliseconds, which a printout does not show, are left out.
QString displayPatternOf(const QString &localeFormat);

QString shortDateText(DateTime value);
QString longDateText(DateTime value);
QString shortTimeText(DateTime value);
QString longTimeText(DateTime value);
