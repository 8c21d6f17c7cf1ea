#pragma once

#include <array>
#include <QDialog>

class QPushButton;
class MaskedEdit;

/// Asks for the working time owed on each weekday: one "hh:mm" edit per day,
/// Monday first, left empty for a day that owes nothing. "OK" stores the days
/// in the settings file; a time that does not read is reported and the dialog
/// stays open.
class WorkingHoursDialog : public QDialog
{
    Q_OBJECT

public:
    /// Shows the days stored in the settings file at settingsPath.
    explicit WorkingHoursDialog(const QString &settingsPath, QWidget *parent = nullptr);

    /// "OK": reads every day, stores them and closes.
    void btnOKClick();

    /// The edits of Monday … Sunday.
    std::array<MaskedEdit *, 7> dayEdits;
    QPushButton *btnOK;
    QPushButton *btnCancel;

private:
    QString m_settingsPath;
};
