#include "workinghourspage.h"

#include "datetimetext.h"
#include "maskededit.h"
#include "messages.h"
#include "workinghours.h"
#include "worksheettotals.h"

#include <QFormLayout>
#include <QLocale>

namespace {

// An edit holding nothing but blanks and the separator sets no target.
std::optional<int> typedMinutes(const QString &text)
{
    if (QString(text).remove(u':').remove(u'_').trimmed().isEmpty())
        return std::nullopt;
    return int(readDuration(text.trimmed()).minutes);
}

} // namespace

WorkingHoursPage::WorkingHoursPage(const QString &settingsPath, QWidget *parent)
    : PreferencesPage(parent)
{
    auto *layout = new QFormLayout(this);
    const WorkingHours stored = WorkingHours::read(settingsPath);
    runGuarded([&stored] { stored.requireReadable(); }); // such a day shows empty
    for (int day = 1; day <= 7; ++day) {
        auto *edit = new MaskedEdit(this);
        edit->setEditMask(MaskedEdit::TimeMask);
        edit->setFixedWidth(46);
        if (const std::optional<int> minutes = stored.minutes(day))
            edit->setText(formatMinuteTotal(*minutes));
        layout->addRow(QLocale::c().dayName(day), edit);
        dayEdits[day - 1] = edit;
    }
}

void WorkingHoursPage::check() const
{
    typedHours();
}

bool WorkingHoursPage::store(const QString &settingsPath) const
{
    return typedHours().write(settingsPath);
}

WorkingHours WorkingHoursPage::typedHours() const
{
    WorkingHours hours;
    for (int day = 1; day <= 7; ++day)
        hours.setMinutes(day, typedMinutes(dayEdits[day - 1]->Text()));
    return hours;
}
