#pragma once

#include "clocksource.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "onoffswitch.h"
#include "popupmenu.h"
#include "preferencesdialog.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QTest>
#include <QToolButton>

/// The main window over folder, which is given worksheet as its Hourbook.csv
/// and settings, when given, as its Worktally.Setup; shown and active.
inline std::unique_ptr<TForm1> startWindow(
    const QTemporaryDir &folder, const QByteArray &worksheet, const QByteArray &settings = {})
{
    writeFile(folder.filePath(QStringLiteral("Hourbook.csv")), worksheet);
    if (!settings.isEmpty())
        writeFile(folder.filePath(QStringLiteral("Worktally.Setup")), settings);
    auto form = std::make_unique<TForm1>(folder.path());
    form->show();
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    return form;
}

/// A started main window at 14:05 on Monday 07-12-26, with what a test does
/// to it as a person would.
struct StartedWindow
{
    QTemporaryDir folder;
    FixedClock clock {QDateTime(QDate(2026, 12, 7), QTime(14, 5))};
    MessageRecorder messages;
    std::unique_ptr<TForm1> form;

    explicit StartedWindow(const QByteArray &worksheet, const QByteArray &settings = {})
        : form(startWindow(folder, worksheet, settings))
    { }

    QString worksheet() const { return folder.filePath(QStringLiteral("Hourbook.csv")); }
    THyperGrid &grid() { return *form->Grid1; }
    QStringList row(int r) { return grid().cellTable().rowTexts(r); }

    void clickSwitch() { QTest::mousePress(form->Switch1, Qt::LeftButton, {}, form->Switch1->rect().center()); }
    void clickRow(int r) { QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().CellRect(1, r).center()); }
    void press(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    void retype(QWidget *edit, const QString &text)
    {
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    }
};

/// Opens the preferences as the user does: a right click on Setup, through
/// the window, which turns it into a context menu request, and a click on
/// "Preferences…". Null, with a failure, when it does not open.
inline PreferencesDialog *openPreferencesFromSetup(TForm1 &form)
{
    const QPoint setup = form.SpeedButton1->mapTo(&form, form.SpeedButton1->rect().center());
    QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, setup);
    EXPECT_TRUE(form.SetupMenu->isVisible());
    QTest::mouseClick(
        form.SetupMenu, Qt::LeftButton, {}, form.SetupMenu->actionGeometry(form.PopPreferences).center());
    auto *dialog = form.findChild<PreferencesDialog *>();
    EXPECT_TRUE(dialog && dialog->isVisible());
    return dialog && dialog->isVisible() ? dialog : nullptr;
}
