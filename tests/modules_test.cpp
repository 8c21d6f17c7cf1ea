// Printing and the alarm sound as the program has them: from the module
// files built beside it, and not at all when those are missing.

#include "analogclock.h"
#include "clocksource.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "maskededit.h"
#include "modules.h"
#include "pageprinter.h"
#include "printpreview.h"
#include "panelstatusbar.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPrinter>
#include <QTest>
#include <QToolButton>

namespace {

QString builtModule(const char *file)
{
    return QStringLiteral(WORKTALLY_MODULE_FOLDER "/") + QLatin1String(file);
}

// For its lifetime the tests have no module linked in, and look for the
// module files beside the test program, where there are none.
struct WithoutModules
{
    WithoutModules()
    {
        useModule(static_cast<PrintingModule *>(nullptr));
        useModule(static_cast<SoundModule *>(nullptr));
    }
    ~WithoutModules()
    {
        useModule(worktallyPrintingModule());
        useModule(worktallySoundModule());
    }
};

} // namespace

TEST(Modules, TheSoundModuleReturnsFromFilesItCannotPlay)
{
    SoundModule &sound = loadSoundModule(builtModule(SoundModuleFile));
    EXPECT_NE(&sound, worktallySoundModule()); // the module's own code
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("garbage.wav")), "not a wave at all, just text");
    sound.playWaveToEnd(dir.filePath(QStringLiteral("missing.wav")));
    sound.playWaveToEnd(dir.filePath(QStringLiteral("garbage.wav")));
}

TEST(Modules, ThePrintingModuleShowsTheWorksheetInItsPreview)
{
    QTemporaryDir folder;
    writeFile(folder.filePath(QStringLiteral("Hourbook.csv")),
        "\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\",\"\",\"\"\r\n");
    MessageRecorder messages;
    TForm1 form(folder.path());
    PrintingModule &printing = loadPrintingModule(builtModule(PrintingModuleFile));
    EXPECT_NE(&printing, worktallyPrintingModule());

    const std::unique_ptr<TPrintPrv> preview = printing.createPrintPreview(form.Grid1, form.StatusBar1);
    preview->PrinterDialog = [&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(QStringLiteral("printout.pdf")));
        return true;
    };
    printing.printWorksheet(*preview);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->Prn->PageCount(), 1);
    EXPECT_EQ(preview->lblSidetal->text(), "Page 1 of 1");
}

TEST(Modules, WithoutItsModulesTheProgramSaysWhichFileIsMissingAndTheAlarmStillRings)
{
    QTemporaryDir folder;
    FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(7, 10)));
    MessageRecorder messages;
    TForm1 form(folder.path());
    const WithoutModules none;
    const QString beside = QCoreApplication::applicationDirPath() + u'/';

    QTest::mouseClick(form.btnUdskriv, Qt::LeftButton);
    EXPECT_EQ(messages.texts, QStringList({"Cannot open file " + beside + PrintingModuleFile}));

    form.MaskEdit4->setText(QStringLiteral("07:30"));
    QTest::mouseClick(form.chkWake, Qt::LeftButton);
    QTest::mouseClick(form.chkLyd, Qt::LeftButton);
    clock.set(QDateTime(QDate(2026, 12, 7), QTime(7, 30)));
    form.Clock1->Tick();
    EXPECT_EQ(messages.texts.mid(1),
        QStringList({"Alarm is now set at 07:30", "Cannot open file " + beside + SoundModuleFile, "Alarm!"}));
    EXPECT_FALSE(form.chkWake->isChecked());
}
