#include "aboutbox.h"
#include "clocksource.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "preferencesdialog.h"
#include "printpreview.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace {

// The title the window manager shows for window on X11. The offscreen
// platform keeps the title as it is set, so this adds what Qt's X11 platform
// adds: the application's display name, when one is set, after a title that
// does not end in it.
QString titleOnX11(const QWidget *window)
{
    EXPECT_TRUE(window->windowHandle()) << "never shown";
    const QString title = window->windowHandle() ? window->windowHandle()->title() : QString();
    // Without a display name of its own, applicationDisplayName() follows the
    // application name.
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(name + QStringLiteral(" (other)"));
    const QString displayName = QGuiApplication::applicationDisplayName();
    const bool displayNameSet = displayName != QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(name);
    if (!displayNameSet)
        return title.isEmpty() ? name : title;
    if (title.endsWith(displayName))
        return title;
    return title.isEmpty() ? displayName : title + QStringLiteral(" — ") + displayName;
}

// The main window over a data folder of its own, shown.
struct Shown
{
    QTemporaryDir folder;
    FixedClock clock {QDateTime(QDate(2026, 12, 7), QTime(14, 5))};
    MessageRecorder messages;
    TForm1 form {folder.path()};

    Shown()
    {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    // Runs open, which shows a modal window, and gives the title of that
    // window as X11 shows it; the window is closed with Escape.
    QString titleOfModal(const std::function<void()> &open)
    {
        QString title;
        QTimer::singleShot(0, &form, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            title = titleOnX11(modal);
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        open();
        return title;
    }
};

} // namespace

TEST(WindowTitles, EachWindowCarriesItsOwnTitleAlone)
{
    Shown s;
    EXPECT_EQ(titleOnX11(&s.form), "Worktally");

    EXPECT_EQ(s.titleOfModal([&] { s.form.popAbout->trigger(); }), " ");

    s.form.PopPreferences->trigger();
    const auto *preferences = s.form.findChild<PreferencesDialog *>();
    ASSERT_TRUE(preferences && preferences->isVisible());
    EXPECT_EQ(titleOnX11(preferences), "Preferences");

    auto &preview = static_cast<TPrintPrv &>(s.form.PrintPreview());
    const QString pdf = s.folder.filePath(QStringLiteral("printout.pdf"));
    preview.PrinterDialog = [&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    QTest::mouseClick(s.form.btnUdskriv, Qt::LeftButton);
    ASSERT_TRUE(preview.isVisible());
    EXPECT_EQ(titleOnX11(&preview), "Udskriftgennemsyn");
}

TEST(WindowTitles, MessageBoxesAreTitledWithTheProgramsName)
{
    Shown s;
    installMessageBoxes(); // the real boxes, until the recorder puts its own back
    EXPECT_EQ(s.titleOfModal([&] { s.form.Clock1Alarm(); }), "Worktally");
}
