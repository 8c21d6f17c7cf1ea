#include "awaysetting.h"
#include "awaytimepage.h"
#include "clocksource.h"
#include "maskededit.h"
#include "popupmenu.h"
#include "preferencesdialog.h"
#include "startedwindow.h"
#include "workinghourspage.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <QWindow>

namespace {

// Settings kept by hand around every day of the working hours, which OK
// writes back as they are.
const QByteArray ByHand = "; kept by hand\r\n[wkyColor]\r\nbackColor=255\r\n\r\n"
                          "[WorkingHours]\r\nMon=07:24\r\nTue=\r\nWed=\r\nThu=\r\nFri=06:30\r\nSat=\r\nSun=\r\n";

struct Preferences : StartedWindow
{
    explicit Preferences(const QByteArray &settings = ByHand)
        : StartedWindow(BottomLineCsv, settings)
    { }

    QString settings() const { return folder.filePath(QStringLiteral("Worktally.Setup")); }

    /// Opens the window from the tray menu's item, as a person does.
    PreferencesDialog *openFromTray()
    {
        form->PopPreferences->trigger();
        auto *dialog = form->findChild<PreferencesDialog *>();
        // Active, so that the focus moves as the user moves it.
        if (dialog)
            dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog && QApplication::activeWindow() == dialog; }));
        return dialog;
    }

    /// Chooses the away time's page in the list on the left.
    static void showAwayTime(PreferencesDialog *dialog)
    {
        QListWidget *list = dialog->pageList;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    }

    void typeMinutes(PreferencesDialog *dialog, const QString &text)
    {
        QSpinBox *box = dialog->awayTimePage->minutesBox;
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Tab); // leaving the field settles what was typed
    }
};

} // namespace

TEST(Preferences, OneWindowFromTheSetupButtonAndTheTrayMenuWithAPagePerTopic)
{
    Preferences p;
    TForm1 &form = *p.form;
    EXPECT_EQ(form.PopPreferences->text(), "Preferences…");
    EXPECT_EQ(form.PopPreferences->statusTip(), form.PopPreferences->toolTip());
    EXPECT_TRUE(form.TrayMenu1->actions().contains(form.PopPreferences));

    PreferencesDialog *dialog = openPreferencesFromSetup(form);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Preferences");
    ASSERT_EQ(dialog->pageList->count(), 2);
    EXPECT_EQ(dialog->pageList->item(0)->text(), "Working hours");
    EXPECT_EQ(dialog->pageList->item(1)->text(), "Away time");
    EXPECT_EQ(dialog->pages->currentWidget(), dialog->workingHoursPage);
    EXPECT_EQ(dialog->workingHoursPage->dayEdits[4]->Text(), "06:30");

    Preferences::showAwayTime(dialog);
    EXPECT_EQ(dialog->pages->currentWidget(), dialog->awayTimePage);
    EXPECT_TRUE(dialog->awayTimePage->isVisible());
    EXPECT_FALSE(dialog->workingHoursPage->isVisible());
    // Back by the keyboard.
    dialog->pageList->setFocus();
    QTest::keyClick(dialog->pageList, Qt::Key_Up);
    EXPECT_EQ(dialog->pages->currentWidget(), dialog->workingHoursPage);

    // Asked again from the tray while open: the same window.
    EXPECT_EQ(p.openFromTray(), dialog);
    EXPECT_EQ(form.findChildren<PreferencesDialog *>().size(), 1);
    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
}

TEST(Preferences, TypedAwayMinutesAreStoredBesideTheOtherSettingsAndTold)
{
    Preferences p;
    TForm1 &form = *p.form;
    QSignalSpy changed(&form, &TForm1::preferencesChanged);
    EXPECT_EQ(form.awayMinutes(), 0);

    PreferencesDialog *dialog = p.openFromTray();
    ASSERT_TRUE(dialog);
    Preferences::showAwayTime(dialog);
    EXPECT_EQ(dialog->awayTimePage->minutesBox->text(), "Off");
    p.typeMinutes(dialog, "30");
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(readFile(p.settings()), ByHand + "[Away]\r\nMinutes=30\r\n");
    EXPECT_EQ(AwaySetting::minutes(p.settings()), 30);
    EXPECT_EQ(form.awayMinutes(), 30);
    EXPECT_EQ(changed.size(), 1);

    // An emptied field turns it off again.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    dialog = p.openFromTray();
    Preferences::showAwayTime(dialog);
    EXPECT_EQ(dialog->awayTimePage->minutesBox->value(), 30);
    p.typeMinutes(dialog, "");
    EXPECT_EQ(dialog->awayTimePage->minutesBox->text(), "Off");
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
    EXPECT_EQ(readFile(p.settings()), ByHand + "[Away]\r\nMinutes=\r\n");
    EXPECT_EQ(form.awayMinutes(), 0);
    EXPECT_EQ(changed.size(), 2);
    EXPECT_TRUE(p.messages.texts.isEmpty());
}

TEST(Preferences, TurningTheAwayTimeOnOffersFifteenMinutes)
{
    Preferences p;
    PreferencesDialog *dialog = p.openFromTray();
    ASSERT_TRUE(dialog);
    Preferences::showAwayTime(dialog);
    QSpinBox *box = dialog->awayTimePage->minutesBox;
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(box->text(), "15");
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(box->value(), 16);
    QTest::keyClick(box, Qt::Key_Down);
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
    EXPECT_EQ(AwaySetting::minutes(p.settings()), 15);
    EXPECT_EQ(p.form->awayMinutes(), 15);
}

TEST(Preferences, AwayMinutesThatDoNotReadAreOffWithoutAWord)
{
    {
        Preferences stored(ByHand + "[Away]\r\nMinutes=25\r\n");
        EXPECT_EQ(stored.form->awayMinutes(), 25); // read at the start
    }
    const QByteArray settings = ByHand + "[Away]\r\nMinutes=a quarter\r\n";
    Preferences p(settings);
    EXPECT_EQ(p.form->awayMinutes(), 0);
    PreferencesDialog *dialog = p.openFromTray();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->awayTimePage->minutesBox->text(), "Off");
    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
    EXPECT_EQ(readFile(p.settings()), settings);
    EXPECT_TRUE(p.messages.texts.isEmpty());
}

TEST(Preferences, CancelAndAnHourThatDoesNotReadStoreNothing)
{
    Preferences p;
    TForm1 &form = *p.form;
    QSignalSpy changed(&form, &TForm1::preferencesChanged);

    PreferencesDialog *dialog = p.openFromTray();
    ASSERT_TRUE(dialog);
    Preferences::showAwayTime(dialog);
    p.typeMinutes(dialog, "45");
    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(readFile(p.settings()), ByHand);
    EXPECT_EQ(form.awayMinutes(), 0);

    // The away time is fine, a working hour is not: its page is shown and
    // neither is stored.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    dialog = p.openFromTray();
    p.retype(dialog->workingHoursPage->dayEdits[1], "2500");
    Preferences::showAwayTime(dialog);
    p.typeMinutes(dialog, "45");
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
    EXPECT_EQ(p.messages.texts, QStringList({"'25:00' is not a valid time"}));
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->pages->currentWidget(), dialog->workingHoursPage);
    EXPECT_EQ(readFile(p.settings()), ByHand);

    p.retype(dialog->workingHoursPage->dayEdits[1], "0800");
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(readFile(p.settings()),
        QByteArray(ByHand).replace("Tue=", "Tue=08:00") + "[Away]\r\nMinutes=45\r\n");
    EXPECT_EQ(form.awayMinutes(), 45);
    EXPECT_EQ(changed.size(), 1);
}
