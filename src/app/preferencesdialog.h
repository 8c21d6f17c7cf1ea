#pragma once

#include <QDialog>

class AwayTimePage;
class PreferencesPage;
class QListWidget;
class QPushButton;
class QStackedWidget;
class WorkingHoursPage;

/// The settings beyond the colour, a page per topic chosen from the list on
/// the left. "OK" stores every page in the settings file; a value that does
/// not read is reported, its page shown, and the window stays open with
/// nothing stored.
class PreferencesDialog : public QDialog
{
    Q_OBJECT

public:
    /// Shows the values stored in the settings file at settingsPath.
    explicit PreferencesDialog(const QString &settingsPath, QWidget *parent = nullptr);

    /// "OK": checks every page, stores them all and closes.
    void btnOKClick();

    /// The pages' titles, in the order of the pages.
    QListWidget *pageList;
    QStackedWidget *pages;
    WorkingHoursPage *workingHoursPage;
    AwayTimePage *awayTimePage;
    QPushButton *btnOK;
    QPushButton *btnCancel;

private:
    template<typename Page> Page *addPage(const QString &title);

    QString m_settingsPath;
};
