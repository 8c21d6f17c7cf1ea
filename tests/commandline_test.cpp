// The balance printed on the command line, without a window.

#include "clocksource.h"
#include "commandline.h"
#include "testsupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTextStream>

namespace {

const QByteArray BottomLine = "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n";

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

    const QString line = c.print({"--json"});
    EXPECT_EQ(line.count(u'\n'), 1);
    const QJsonObject json = QJsonDocument::fromJson(line.toUtf8()).object();
    EXPECT_EQ(json["home"].toString(), "01-12-98 - 02-12-98:   12:45  ");
    EXPECT_EQ(json["nominal"].toString(), "01-12-98 - 02-12-98:  -14:48 ");
    EXPECT_EQ(json["difference"].toString(), "-02:03");
    EXPECT_EQ(
        json["today"].toObject(), QJsonObject({{"home", "08:15"}, {"target", "07:24"}, {"difference", "+00:51"}}));
    EXPECT_EQ(json["week"].toObject(), QJsonObject({{"home", "12:45"}, {"target", "14:48"}, {"difference", "-02:03"}}));
    EXPECT_EQ(QDir(c.folder.path()).entryList(QDir::Files), QStringList({"Hourbook.csv"})); // nothing written
}

TEST(CommandLine, EmptyWorksheetHasNothingToAddUp)
{
    for (const QByteArray &file : {QByteArray(""), BottomLine}) {
        CommandLine c;
        writeFile(c.worksheet(), file);
        EXPECT_EQ(c.print({"--summary"}),
            " - :   00:00  \n - :  -00:00 \n+00:00\n"
            "Today 2098-12-02: home 00:00, target 00:00, difference +00:00\n"
            "Week 2098-W49: home 00:00, target 00:00, difference +00:00\n");
        EXPECT_EQ(c.print({"--report", "week", "--csv"}), "week,home,nominal,difference\n");
    }
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

// As a panel or a script runs it: the program itself, without a display.
TEST(CommandLine, TheProgramAnswersWithoutADisplayAndFailsClearly)
{
    QTemporaryDir root;
    // Away from any worksheet beside the build's program.
    const QString program = root.filePath(QStringLiteral("bin/worktally"));
    QDir().mkpath(QFileInfo(program).path());
    ASSERT_TRUE(QFile::copy(QStringLiteral(WORKTALLY_EXECUTABLE), program));
    const QString folder = root.filePath(QStringLiteral("data/Worktally"));
    const QString worksheet = folder + QStringLiteral("/Hourbook.csv");
    struct Case
    {
        const char *name;
        std::function<void()> prepare;
        QStringList options;
        int exitCode;
        QString output; // the start of it
        QString error;
    };
    const Case cases[] = {
        {"no data folder", [] {}, {"--summary"}, 1, "",
            "worktally: There is no worksheet: " + worksheet + " does not exist.\n"},
        {"the worked example",
            [&] {
                EXPECT_FALSE(QFileInfo::exists(folder)); // the run before made none
                QDir().mkpath(folder);
                writeFile(worksheet, WorkedExampleFile);
            },
            {"--summary"}, 0, "01-12-98 - 02-12-98:   12:45  \n01-12-98 - 02-12-98:  -14:48 \n-02:03\n", ""},
        {"a time that does not read",
            [&] { writeFile(worksheet, QByteArray(WorkedExampleFile).replace("\"08:15\"", "\"8.15\"")); }, {"--json"},
            1, "", "worktally: " + worksheet + ": '8.15' is not a valid time\n"},
        {"a folder in its place",
            [&] {
                QFile::remove(worksheet);
                QDir().mkpath(worksheet);
            },
            {"--report", "week"}, 1, "", "worktally: Cannot open file " + worksheet + " (it is a folder).\n"},
        {"an unknown option", [] {}, {"--balance"}, 2, "",
            "worktally: Unknown option 'balance'.\nTry 'worktally --help' for more information.\n"},
    };
    for (const Case &c : cases) {
        c.prepare();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), root.filePath(QStringLiteral("data")));
        for (const char *display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(display));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, c.options);
        ASSERT_TRUE(process.waitForFinished(10000)) << c.name;
        EXPECT_EQ(process.exitCode(), c.exitCode) << c.name;
        const QString output = QString::fromUtf8(process.readAllStandardOutput());
        EXPECT_TRUE(c.exitCode == 0 ? output.startsWith(c.output) : output.isEmpty())
            << c.name << ": " << output.toStdString();
        EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()), c.error) << c.name;
    }
}
