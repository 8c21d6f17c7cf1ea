// The balance printed on the command line, without a window.

#include "clocksource.h"
#include "commandline.h"
#include "testsupport.h"
#include "workinghours.h"
#include "worksheetreport.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QTextStream>

namespace {

// A data folder of its own, on the second day of the worked example.
struct CommandLine
{
    QTemporaryDir folder;
    FixedClock clock {QDateTime(QDate(2098, 12, 2), QTime(10, 0))};

    QString worksheet() const { return folder.filePath(QStringLiteral("Hourbook.csv")); }

    // What the options print, a failure unless they succeed.
    QString print(const QStringList &options)
    {
        QString out, err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        EXPECT_EQ(runCommandLine(QStringList("worktally") + options, folder.path(), outStream, errStream), 0);
        outStream.flush();
        errStream.flush();
        EXPECT_EQ(err, "");
        return out;
    }
};

} // namespace

TEST(CommandLine, SummaryOfTheWorkedExampleAsTextAndAsJson)
{
    CommandLine c;
    writeFile(c.worksheet(), WorkedExampleFile);
    EXPECT_EQ(c.print({"--summary"}),
        "01-12-98 - 02-12-98:   12:45  \n"
        "01-12-98 - 02-12-98:  -14:48 \n"
        "-02:03\n"
        "Today 2098-12-02: home 08:15, target 07:24, difference +00:51\n"
        "Week 2098-W49: home 12:45, target 14:48, difference -02:03\n");

    EXPECT_EQ(c.print({"--json"}),
        R"({"difference":"-02:03","home":"01-12-98 - 02-12-98:   12:45  ","nominal":"01-12-98 - 02-12-98:  -14:48 ",)"
        R"("today":{"difference":"+00:51","home":"08:15","target":"07:24"},)"
        R"("week":{"difference":"-02:03","home":"12:45","target":"14:48"}})"
        "\n");
    EXPECT_EQ(QDir(c.folder.path()).entryList(QDir::Files), QStringList({"Hourbook.csv"})); // nothing written
}

TEST(CommandLine, EmptyWorksheetHasNothingToAddUp)
{
    for (const QByteArray &file : {QByteArray(""), BottomLineCsv}) {
        CommandLine c;
        writeFile(c.worksheet(), file);
        EXPECT_EQ(c.print({"--summary"}),
            " - :   00:00  \n - :  -00:00 \n+00:00\n"
            "Today 2098-12-02: home 00:00, target 00:00, difference +00:00\n"
            "Week 2098-W49: home 00:00, target 00:00, difference +00:00\n");
        EXPECT_EQ(c.print({"--report", "week", "--csv"}), "week,home,nominal,difference\n");
    }
}

// The week runs Monday to Sunday around today (Tuesday 2 December 2098):
// home time counts by Start, the target by nominal Date, so a row started on
// the Sunday before but owed on the Monday adds its target only, and one
// started on the Sunday owed on the next Monday its home time only.
TEST(CommandLine, SummaryWeekEndsOnItsMondayAndSunday)
{
    CommandLine c;
    writeFile(c.worksheet(),
        workedExampleWith(
            "\"30-11-98 09:00\",\"30-11-98 10:00\",\"01:00\",\"\",\"01-12-98\",\"00:30\",\"\",\"\",\"\"\r\n"
            "\"07-12-98 09:00\",\"07-12-98 11:00\",\"02:00\",\"\",\"08-12-98\",\"01:00\",\"\",\"\",\"\"\r\n"));
    const QStringList lines = c.print({"--summary"}).split(u'\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[3], "Today 2098-12-02: home 08:15, target 07:24, difference +00:51");
    EXPECT_EQ(lines[4], "Week 2098-W49: home 14:45, target 15:18, difference -00:33");
}

// A worksheet of many megabytes is added up as it is read: its summary is
// what the whole worksheet, read as the window reads it, adds up to. Its
// lines end in every way a file may end them, some are blank, and every
// other one starts with the bytes of a byte-order mark (text of that line,
// not the mark of a file) whatever line the reading comes to.
TEST(CommandLine, SummaryOfAWorksheetOfManyMegabytesIsThatOfTheWholeWorksheet)
{
    for (const int markedParity : {0, 1}) {
        CommandLine c;
        QByteArray bytes;
        const char *lineEnds[] = {"\r\n", "\n", "\r\r\n"};
        for (int i = 0; i < 100000; ++i) {
            const QByteArray day = QByteArray::number(1 + i % 7).rightJustified(2, '0') + "-12-98";
            const QByteArray time = QByteArray::number(i % 10).rightJustified(2, '0') + ':'
                + QByteArray::number(i % 60).rightJustified(2, '0');
            if (i % 2 == markedParity)
                bytes += "\xEF\xBB\xBF";
            bytes += '"' + day + " 08:00\",\"" + day + " 09:00\",\"" + time + "\",\"\",\"" + day
                + "\",\"07:24\",\"\",\"\",\"note " + QByteArray::number(i) + '"' + lineEnds[i % 3];
            if (i % 1000 == 0)
                bytes += "\r\n";
        }
        bytes += "\"09-12-98 08:00\",\"10-12-98 09:00\",\"01:00\",\"\",\"11-12-98\",\"02:00\",\"\",\"\",\"\"\r\n"
            + BottomLineCsv;
        ASSERT_GT(bytes.size(), 8 << 20);
        writeFile(c.worksheet(), bytes);

        const QDate today(2098, 12, 2);
        const WorkingHours hours = WorkingHours::read(c.folder.filePath(QStringLiteral("none.ini")));
        const RecalculatedWorksheet whole = readWorksheet(c.folder.path());
        const WorksheetDays days(whole.cells);
        const WorksheetSummary summary = readSummary(c.folder.path(), today, hours);
        EXPECT_EQ(summaryText(summary),
            summaryText({whole.totals, today, todayBalance(days, today, hours), weekBalance(days, today, hours)}));
        EXPECT_EQ(summary.totals.home.left(19), "01-12-98 - 10-12-98");
    }
}

// Lines as the program writes them are added up from their bytes, one in a
// spreadsheet's form in the middle as the window reads it: the summary of
// the whole is that of the worksheet the window reads.
TEST(CommandLine, SummaryOfManyMegabytesAsWrittenWithALineFromASpreadsheet)
{
    CommandLine c;
    QByteArray bytes;
    const char *lineEnds[] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < 100000; ++i) {
        const QByteArray day = QByteArray::number(1 + i % 9).rightJustified(2, '0') + "-12-98";
        const QByteArray time = QByteArray::number(i % 24).rightJustified(2, '0') + ':'
            + QByteArray::number(i % 60).rightJustified(2, '0');
        bytes += '"' + day + " 08:00\",\"" + day + " 09:00\",\"" + time + "\",\"\",\"" + day
            + "\",\"07:24\",\"\",\"\",\"call, \"\"urgent\"\" #" + QByteArray::number(i) + '"' + lineEnds[i % 3];
        if (i == 50000)
            bytes += "2098/12/02 08:00:00,2098/12/02 09:30:00,01:30:00,,2098/12/02,07:24:00,,,\n";
    }
    bytes += BottomLineCsv;
    ASSERT_GT(bytes.size(), 8 << 20);
    writeFile(c.worksheet(), bytes);

    const QDate today(2098, 12, 2);
    const WorkingHours hours = WorkingHours::read(c.folder.filePath(QStringLiteral("none.ini")));
    const RecalculatedWorksheet whole = readWorksheet(c.folder.path());
    const WorksheetDays days(whole.cells);
    EXPECT_EQ(summaryText(readSummary(c.folder.path(), today, hours)),
        summaryText({whole.totals, today, todayBalance(days, today, hours), weekBalance(days, today, hours)}));
}

// Home time counts by Start, nominal time by nominal Date; the last day of
// 2098 belongs to ISO week 1 of 2099.
TEST(CommandLine, ReportByIsoWeekAndCalendarMonth)
{
    CommandLine c;
    const QByteArray newYear
        = "\"31-12-98 22:00\",\"31-12-98 23:30\",\"01:30\",\"\",\"04-01-99\",\"02:00\",\"\",\"\",\"\"\r\n";
    writeFile(c.worksheet(), workedExampleWith(newYear));
    EXPECT_EQ(c.print({"--report", "week"}),
        "2098-W49: home 12:45, nominal 14:48, difference -02:03\n"
        "2099-W01: home 01:30, nominal 02:00, difference -00:30\n");
    EXPECT_EQ(c.print({"--report", "month", "--csv"}),
        "month,home,nominal,difference\n2098-12,14:15,14:48,-00:33\n2099-01,00:00,02:00,-02:00\n");
}

TEST(CommandLine, AWorksheetThatCannotBeReadIsNamedAndNothingIsMade)
{
    CommandLine c;
    const QString missing = c.folder.filePath("Worktally/Hourbook.csv");
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    EXPECT_EQ(runCommandLine({"worktally", "--summary"}, QFileInfo(missing).path(), outStream, errStream), 1);
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(missing).path()));
    QDir().mkpath(c.worksheet()); // a folder in its place
    EXPECT_EQ(runCommandLine({"worktally", "--report", "week"}, c.folder.path(), outStream, errStream), 1);
    errStream.flush();
    EXPECT_EQ(err,
        "worktally: There is no worksheet: " + missing
            + " does not exist.\n"
              "worktally: Cannot open file "
            + c.worksheet() + " (it is a folder).\n");
    EXPECT_EQ(out, "");
}

// The command line reads and recalculates what other programs wrote as the
// window does.
TEST(CommandLine, ReadsFilesFromOtherProgramsAsTheWindowDoes)
{
    for (const ForeignWorksheet &file : foreignWorksheets()) {
        CommandLine c;
        writeFile(c.worksheet(), file.bytes);
        const RecalculatedWorksheet worksheet = readWorksheet(c.folder.path());
        QList<QStringList> rows;
        for (int r = 1; r < worksheet.cells.rowCount(); ++r)
            rows << worksheet.cells.rowTexts(r);
        EXPECT_EQ(rows, csvLines(file.saved)) << file.name;
    }
}

// As a panel or a script runs it: the program itself, without a display.
TEST(CommandLine, TheProgramAnswersWithoutADisplayAndFailsWithAnExitCode)
{
    QTemporaryDir root;
    // Away from any worksheet beside the build's program.
    const QString program = root.filePath(QStringLiteral("bin/worktally"));
    QDir().mkpath(QFileInfo(program).path());
    ASSERT_TRUE(QFile::copy(QStringLiteral(WORKTALLY_EXECUTABLE), program));
    const QString worksheet = root.filePath(QStringLiteral("data/Worktally/Hourbook.csv"));
    QDir().mkpath(QFileInfo(worksheet).path());
    struct Case
    {
        QByteArray file;
        QString option;
        int exitCode;
        QString output; // the start of it
        QString error;
    };
    const Case cases[] = {
        {WorkedExampleFile, "--summary", 0, "01-12-98 - 02-12-98:   12:45  \n01-12-98 - 02-12-98:  -14:48 \n-02:03\n",
            ""},
        {QByteArray(WorkedExampleFile).replace("\"08:15\"", "\"8.15\""), "--json", 1, "",
            "worktally: " + worksheet + ": '8.15' is not a valid time\n"},
        {WorkedExampleFile, "--balance", 2, "",
            "worktally: Unknown option 'balance'.\nTry 'worktally --help' for more information.\n"},
    };
    for (const Case &c : cases) {
        writeFile(worksheet, c.file);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), root.filePath(QStringLiteral("data")));
        for (const char *display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(display));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, {c.option});
        ASSERT_TRUE(process.waitForFinished(10000)) << c.option.toStdString();
        EXPECT_EQ(process.exitCode(), c.exitCode) << c.option.toStdString();
        const QString output = QString::fromUtf8(process.readAllStandardOutput());
        EXPECT_TRUE(c.exitCode == 0 ? output.startsWith(c.output) : output.isEmpty()) << output.toStdString();
        EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()), c.error) << c.option.toStdString();
    }
}

// Qt's own options, with one dash or two, their values after '=' or as the
// next argument, are the window's: a restored session starts the program
// with -session, a user may ask for a style or a platform. Any other option
// is the command line's, which refuses the ones it does not know.
TEST(CommandLine, OnlyTheCommandLinesOwnOptionsKeepTheWindowClosed)
{
    const auto wants = [](std::vector<const char *> arguments) {
        arguments.insert(arguments.begin(), "worktally");
        return wantsCommandLine(int(arguments.size()), const_cast<char **>(arguments.data()));
    };
    EXPECT_FALSE(wants({}));
    EXPECT_FALSE(wants({"-session", "1234", "-style", "Fusion"}));
    EXPECT_FALSE(wants({"--platform", "offscreen"}));
    EXPECT_FALSE(wants({"--style=Fusion", "-reverse", "--widgetcount", "-stylesheet=a.qss"}));
    EXPECT_FALSE(wants({"-platformpluginpath", "/p", "-platformtheme", "gtk3", "-plugin", "evdevtablet",
        "--qmljsdebugger=port:1234", "-qwindowgeometry", "100x100+0+0", "-qwindowicon", "w.png", "-qwindowtitle",
        "W", "-display", ":1", "-geometry", "10x10", "-title", "T", "-name", "N", "-visual", "TrueColor", "-ncols",
        "8", "-cmap", "-nograb", "-dograb", "-sync", "-graphicssystem", "raster", "-testability"}));
    // A value is the option's, whatever it looks like; a lone dash is no option.
    EXPECT_FALSE(wants({"-qwindowtitle", "--summary"}));
    EXPECT_FALSE(wants({"-"}));

    EXPECT_TRUE(wants({"--summary"}));
    EXPECT_TRUE(wants({"-v"}));
    EXPECT_TRUE(wants({"-h"}));
    EXPECT_TRUE(wants({"-?"}));
    EXPECT_TRUE(wants({"--help-all"}));
    EXPECT_TRUE(wants({"-platform", "xcb", "--json"}));
    EXPECT_TRUE(wants({"--report", "week", "--style=Fusion", "-reverse"}));
    EXPECT_TRUE(wants({"--style=Fusion", "--summary"}));
    // Refused by the command line, not ignored by the window.
    EXPECT_TRUE(wants({"--balance"}));
    EXPECT_TRUE(wants({"-style", "Fusion", "-balance"}));
    EXPECT_TRUE(wants({"--styles"}));
    EXPECT_TRUE(wants({"--reverse=", "--platformx"}));
}

// Beside the command line's options, Qt's are left out: what is printed is
// what the command line's options alone print, errors included.
TEST(CommandLine, QtsOptionsBesideItsOwnChangeNothing)
{
    CommandLine c;
    writeFile(c.worksheet(), WorkedExampleFile);
    const QStringList qtOptions = {"-platform", "offscreen", "--style=Fusion", "-reverse", "--session", "--json"};
    EXPECT_EQ(c.print(qtOptions + QStringList {"--summary"}), c.print({"--summary"}));
    EXPECT_EQ(c.print(QStringList {"--report", "month"} + qtOptions), c.print({"--report", "month"}));

    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    EXPECT_EQ(runCommandLine({"worktally", "-reverse", "--balance", "-style", "Fusion"}, c.folder.path(), outStream,
                  errStream),
        2);
    errStream.flush();
    EXPECT_EQ(err, "worktally: Unknown option 'balance'.\nTry 'worktally --help' for more information.\n");
    EXPECT_EQ(out, "");
}

// Qt reads its options that take a value as two arguments, "=" only for
// -style and -stylesheet: the program hands them over in that form.
TEST(CommandLine, QtsOptionsWithAValueAfterEqualsBecomeTwoArguments)
{
    std::vector<const char *> arguments = {"worktally", "--platform=offscreen", "-style=Fusion", "-session=a=b",
        "-qwindowtitle", "--geometry=1x1", "--qmljsdebugger=port:1234", "-reverse", "--platform", "xcb",
        "--reverse=", "-platformx=1", "plain=text"};
    QtArguments qt(int(arguments.size()), const_cast<char **>(arguments.data()));
    QStringList given;
    for (int i = 0; i < qt.argc(); ++i)
        given << QString::fromLocal8Bit(qt.argv()[i]);
    EXPECT_EQ(given,
        QStringList({"worktally", "--platform", "offscreen", "-style", "Fusion", "-session", "a=b", "-qwindowtitle",
            "--geometry=1x1", "--qmljsdebugger=port:1234", "-reverse", "--platform", "xcb", "--reverse=",
            "-platformx=1", "plain=text"}));
    EXPECT_EQ(qt.argv()[qt.argc()], nullptr);
}

// Started with Qt's options alone, without a display, the program opens its
// window on the platform asked for, takes the lock of the first copy and,
// ended by a signal, saves.
TEST(CommandLine, TheProgramWithQtsOptionsOpensItsWindow)
{
    const QStringList startOptions[] = {{"-platform", "offscreen"},
        {"--platform", "offscreen", "--style=Fusion", "-reverse", "-qwindowtitle", "--summary"},
        {"--platform=offscreen"}, {"-qwindowtitle=Hours", "-platform=offscreen"}};
    for (const QStringList &options : startOptions) {
        QTemporaryDir root;
        const QString program = root.filePath(QStringLiteral("bin/worktally"));
        QDir().mkpath(QFileInfo(program).path());
        ASSERT_TRUE(QFile::copy(QStringLiteral(WORKTALLY_EXECUTABLE), program));
        const QString runtime = root.filePath(QStringLiteral("run"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), root.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_STATE_HOME"), root.filePath(QStringLiteral("state")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        for (const char *display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(display));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, options);
        ASSERT_TRUE(process.waitForStarted(5000));

        // The lock names the running copy once its window is loaded.
        QFile lock(QDir(runtime).filePath(QStringLiteral("worktally.instance")));
        const QByteArray copy = QByteArray::number(process.processId()) + ' ';
        const bool locked = QTest::qWaitFor(
            [&] {
                if (process.state() != QProcess::Running)
                    return true;
                if (!lock.open(QIODevice::ReadOnly))
                    return false;
                const bool ours = lock.readAll().startsWith(copy);
                lock.close();
                return ours;
            },
            15000);
        ASSERT_TRUE(locked && process.state() == QProcess::Running)
            << options.join(' ').toStdString() << " ended with " << process.exitCode() << ": "
            << process.readAllStandardError().toStdString();

        ::kill(pid_t(process.processId()), SIGTERM);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        EXPECT_TRUE(QFile::exists(root.filePath(QStringLiteral("data/Worktally/Hourbook.csv"))));
        EXPECT_EQ(process.readAllStandardOutput(), ""); // nothing of the command line
    }
}
