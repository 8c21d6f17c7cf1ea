#include "workinghoursdialog.h"

#include "datetimetext.h"
#include "errors.h"
#include "maskededit.h"
#include "messages.h"
#include "workinghours.h"
#include "worksheettotals.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLocale>
#include <QPushButton>

namespace {

// An edit holding nothing but blanks and the separator sets no target.
std::optional<int> typedMinutes(const QString &text)
{
    if (QString(text).remove(u':').remove(u'_').trimmed().isEmpty())
        return std::nullopt;
    return int(readDuration(text.trimmed()).minutes);
}

} // namespace

WorkingHoursDialog::WorkingHoursDialog(const QString &settingsPath, QWidget *parent)
    : QDialog(parent)
    , m_settingsPath(settingsPath)
{
    setWindowTitle(QStringLiteral("Working hours"));
    setAttribute(Qt::WA_WindowPropagation); // the main window's font
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
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOK = buttons->button(QDialogButtonBox::Ok);
    btnCancel = buttons->button(QDialogButtonBox::Cancel);
    layout->addRow(buttons);
    // OK is checked first; a time that does not read keeps the dialog open.
    connect(btnOK, &QPushButton::clicked, this, guarded([this] { btnOKClick(); }));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void WorkingHoursDialog::btnOKClick()
{
    WorkingHours hours;
    for (int day = 1; day <= 7; ++day)
        hours.setMinutes(day, typedMinutes(dayEdits[day - 1]->Text()));
    if (!hours.write(m_settingsPath))
        throw FileCreateError(m_settingsPath);
    accept();
}
