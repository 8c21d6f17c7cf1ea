#pragma once

#include "mainwindow.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <QTest>

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
