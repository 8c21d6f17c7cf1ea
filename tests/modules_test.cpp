// Printing and the alarm sound as the program has them: from the module
// files built beside it, and not at all when those are missing. This test
// program links what the program links and nothing of the modules' code, so
// that a module runs here on the program's copy of every library it shares
// with it, as it does in the program.

#include "analogclock.h"
#include "clocksource.h"
#include "mainwindow.h"
#include "maskededit.h"
#include "modules.h"
#include "testsupport.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <QToolButton>

void setUpModules()
{
    // As in the program: each module is loaded from its file at first use.
}

namespace {

QString builtModule(const char *file)
{
    return QStringLiteral(WORKTALLY_MODULE_FOLDER "/") + QLatin1String(file);
}

// The module the program uses for the lifetime of the object.
class PrintingInUse
{
public:
    explicit PrintingInUse(PrintingModule &module) { useModule(&module); }
    ~PrintingInUse() { useModule(static_cast<PrintingModule *>(nullptr)); }
    PrintingInUse(const PrintingInUse &) = delete;
    PrintingInUse &operator=(const PrintingInUse &) = delete;
};

// The names of the functions and data that a file defines for the programs
// that load it, leaving out the copies of inline functions (weak, and the
// same wherever they are) and the end markers every linker adds.
QStringList definedSymbols(const QString &file)
{
    QProcess nm;
    nm.start(QStringLiteral("nm"), {QStringLiteral("--dynamic"), QStringLiteral("--defined-only"), file});
    if (!nm.waitForFinished(10000) || nm.exitCode() != 0)
        ADD_FAILURE() << "nm failed on " << file.toStdString();
    const QStringList endMarkers({QStringLiteral("__bss_start"), QStringLiteral("_edata"), QStringLiteral("_end")});
    QStringList names;
    for (const QByteArray &line : nm.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' '); // address, kind, name
        const QString name = QString::fromLatin1(fields.value(2));
        if (fields.size() == 3 && QByteArrayView("TDRB").contains(fields[1]) && !endMarkers.contains(name))
            names += name;
    }
    return names;
}

template<typename Widget> Widget *childWithText(const QWidget &window, const QString &text)
{
    for (Widget *child : window.findChildren<Widget *>())
        if (child->text() == text)
            return child;
    return nullptr;
}

} // namespace

TEST(Modules, TheSoundModuleReturnsFromFilesItCannotPlay)
{
    SoundModule &sound = loadSoundModule(builtModule(SoundModuleFile));
    EXPECT_EQ(dlsym(RTLD_DEFAULT, "worktallySoundModule"), nullptr); // the module's own code
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("garbage.wav")), "not a wave at all, just text");
    sound.playWaveToEnd(dir.filePath(QStringLiteral("missing.wav")));
    sound.playWaveToEnd(dir.filePath(QStringLiteral("garbage.wav")));
}

TEST(Modules, ThePrintingModulePrintsTheWorksheetFromTheWindow)
{
    QTemporaryDir folder;
    writeFile(folder.filePath(QStringLiteral("Hourbook.csv")),
        "\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\",\"\",\"\"\r\n");
    MessageRecorder messages;
    TForm1 form(folder.path());
    PrintingModule &printing = loadPrintingModule(builtModule(PrintingModuleFile));
    EXPECT_EQ(dlsym(RTLD_DEFAULT, "worktallyPrintingModule"), nullptr);
    const PrintingInUse inUse(printing);

    QWidget &preview = form.PrintPreview();
    const QString pdf = folder.filePath(QStringLiteral("printout.pdf"));
    printing.printIntoFile(preview, pdf);
    QTest::mouseClick(form.btnUdskriv, Qt::LeftButton);
    EXPECT_TRUE(preview.isVisible());
    EXPECT_NE(childWithText<QLabel>(preview, QStringLiteral("Page 1 of 1")), nullptr);

    QToolButton *print = childWithText<QToolButton>(preview, QStringLiteral("&Print"));
    ASSERT_NE(print, nullptr);
    QTest::mouseClick(print, Qt::LeftButton);
    EXPECT_EQ(messages.texts, QStringList({"Printed to " + pdf}));
    EXPECT_TRUE(readFile(pdf).startsWith("%PDF"));
}

TEST(Modules, EachModuleGivesOnlyItsEntryPointAndTakesTheRestFromTheProgram)
{
    EXPECT_EQ(definedSymbols(builtModule(PrintingModuleFile)), QStringList({"worktallyPrintingModule"}));
    EXPECT_EQ(definedSymbols(builtModule(SoundModuleFile)), QStringList({"worktallySoundModule"}));
}

TEST(Modules, WithoutItsModulesTheProgramSaysWhichFileIsMissingAndTheAlarmStillRings)
{
    QTemporaryDir folder;
    FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(7, 10)));
    MessageRecorder messages;
    TForm1 form(folder.path());
    // The test program's folder holds no module files.
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
