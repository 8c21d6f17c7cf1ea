// Worktally as a screen reader sees it: the program on an X server and a
// session bus of the test's own, read through the accessibility bus by an
// AT-SPI client (atspi_client.py, with pyatspi).

#include "testsupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs a command to its end and gives its output.
QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

/// An AT-SPI client that hears the program's events of some types while it
/// lives.
class Listener
{
public:
    Listener(qint64 pid, const QStringList &eventTypes)
    {
        m_client.start(QStringLiteral(ATSPI_CLIENT),
            QStringList {QStringLiteral("listen"), QString::number(pid)} + eventTypes);
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_client.canReadLine() || m_client.state() == QProcess::NotRunning; },
            30000));
        EXPECT_EQ(m_client.readLine().trimmed(), "listening") << m_client.readAllStandardError().toStdString();
    }
    ~Listener()
    {
        m_client.kill();
        m_client.waitForFinished(5000);
    }

    /// Waits for an event of which heard is true; the events heard before it
    /// are passed over.
    bool waitFor(const std::function<bool(const QJsonObject &)> &heard)
    {
        return QTest::qWaitFor(
            [&] {
                while (m_client.canReadLine())
                    if (heard(QJsonDocument::fromJson(m_client.readLine()).object()))
                        return true;
                return false;
            },
            15000);
    }

private:
    QProcess m_client;
};

/// The program on the worked example, in a folder of its own, with
/// accessibility on as a screen reader running turns it on.
class ScreenReader : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString program = m_folder.filePath(QStringLiteral("worktally"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(WORKTALLY_EXECUTABLE), program));
        writeFile(m_folder.filePath(QStringLiteral("Hourbook.csv")), WorkedExampleFile);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_program.setProcessEnvironment(environment);
        m_program.setProcessChannelMode(QProcess::ForwardedChannels);
        m_program.start(program, {});
        ASSERT_TRUE(m_program.waitForStarted(5000));
    }

    void TearDown() override
    {
        EXPECT_EQ(m_program.state(), QProcess::Running) << "the program ended with " << m_program.exitCode();
        m_program.kill();
        m_program.waitForFinished(5000);
    }

    /// What the client prints; a test failure unless it succeeds.
    QByteArray client(const QStringList &arguments)
    {
        QProcess client;
        client.start(QStringLiteral(ATSPI_CLIENT),
            QStringList {arguments.first(), QString::number(m_program.processId())} + arguments.mid(1));
        client.waitForFinished(30000);
        EXPECT_EQ(client.exitCode(), 0) << client.readAllStandardError().toStdString();
        return client.readAllStandardOutput();
    }

    /// The program's main window, once it is on the screen.
    QString window()
    {
        QString found;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                found = run(QStringLiteral("xdotool"),
                    {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                        QString::number(m_program.processId())});
                return !found.isEmpty();
            },
            15000));
        return found.section(u'\n', 0, 0);
    }

    /// Every object of the tree that a screen reader reads.
    QJsonArray tree() { return QJsonDocument::fromJson(client({QStringLiteral("dump")})).array(); }

    static QList<QJsonObject> withRole(const QJsonArray &tree, const QString &role)
    {
        QList<QJsonObject> found;
        for (const QJsonValue &entry : tree)
            if (entry[QStringLiteral("role")].toString() == role)
                found << entry.toObject();
        return found;
    }

    static QStringList namesOf(const QList<QJsonObject> &objects)
    {
        QStringList names;
        for (const QJsonObject &object : objects)
            names << object[QStringLiteral("name")].toString();
        return names;
    }

    static QStringList strings(const QJsonValue &array)
    {
        QStringList list;
        for (const QJsonValue &value : array.toArray())
            list << value.toString();
        return list;
    }

    QTemporaryDir m_folder;
    QProcess m_program;
};

TEST_F(ScreenReader, MainWindowIsAFrameNamedByItsTitle)
{
    const QJsonArray objects = tree();
    ASSERT_FALSE(objects.isEmpty());
    EXPECT_EQ(objects.first()[QStringLiteral("role")].toString(), "frame");
    EXPECT_EQ(objects.first()[QStringLiteral("name")].toString(), "Worktally");
}

TEST_F(ScreenReader, SwitchIsACheckBoxNamedByItsCaptionThatItsToggleActionChecks)
{
    const QList<QJsonObject> before = withRole(tree(), QStringLiteral("check box"));
    const auto start = std::find_if(before.begin(), before.end(),
        [](const QJsonObject &box) { return box[QStringLiteral("name")].toString() == "Start"; });
    ASSERT_NE(start, before.end()) << namesOf(before).join(u',').toStdString();
    EXPECT_FALSE(strings((*start)[QStringLiteral("states")]).contains("checked"));
    EXPECT_TRUE(strings((*start)[QStringLiteral("actions")]).contains("Toggle"));

    client({QStringLiteral("act"), QStringLiteral("check box"), QStringLiteral("Start"), QStringLiteral("Toggle")});
    // The running stopwatch's switch is captioned Stop, in the same place.
    const QJsonArray startPath = (*start)[QStringLiteral("path")].toArray();
    QJsonObject after;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            for (const QJsonObject &box : withRole(tree(), QStringLiteral("check box")))
                if (box[QStringLiteral("path")].toArray() == startPath)
                    after = box;
            return strings(after[QStringLiteral("states")]).contains("checked");
        },
        15000));
    EXPECT_EQ(after[QStringLiteral("name")].toString(), "Stop");
}

TEST_F(ScreenReader, SwitchTellsThatItTurnedChecked)
{
    Listener events(m_program.processId(), {QStringLiteral("object:state-changed:checked")});
    client({QStringLiteral("act"), QStringLiteral("check box"), QStringLiteral("Start"), QStringLiteral("Toggle")});
    EXPECT_TRUE(events.waitFor([](const QJsonObject &event) {
        return event[QStringLiteral("role")].toString() == "check box" && event[QStringLiteral("detail1")].toInt() == 1;
    }));
}

TEST_F(ScreenReader, GridTellsWhichCellTheKeyboardMovesTo)
{
    const QString mainWindow = window();
    Listener events(m_program.processId(), {QStringLiteral("object:state-changed:focused")});
    // A click on the first period's Start, then Down to the second period.
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QStringLiteral("--window"), mainWindow, QStringLiteral("45"),
            QStringLiteral("227"), QStringLiteral("click"), QStringLiteral("1")});
    run(QStringLiteral("xdotool"),
        {QStringLiteral("windowfocus"), QStringLiteral("--sync"), mainWindow, QStringLiteral("key"),
            QStringLiteral("Down")});
    EXPECT_TRUE(events.waitFor([](const QJsonObject &event) {
        return event[QStringLiteral("role")].toString() == "table cell" && event[QStringLiteral("detail1")].toInt() == 1
            && event[QStringLiteral("name")].toString() == "02-12-98 13:00";
    }));
}

TEST_F(ScreenReader, GridIsATableOfTheShownTextsUnderItsColumnTitles)
{
    const QList<QJsonObject> tables = withRole(tree(), QStringLiteral("table"));
    ASSERT_EQ(tables.size(), 1);
    const QJsonObject table = tables.first();
    EXPECT_EQ(table[QStringLiteral("name")].toString(), "Overview");
    EXPECT_EQ(strings(table[QStringLiteral("columns")]),
        QStringList({"Start", "End", "Time", "", "Date", "hh:mm", "", "Diff.", "Notes"}));
    EXPECT_EQ(table[QStringLiteral("rows")].toInt(), 3); // two periods and the empty bottom line
    const QJsonArray cells = table[QStringLiteral("cells")].toArray();
    ASSERT_EQ(cells.size(), 3);
    EXPECT_EQ(strings(cells[0]),
        QStringList({"01-12-98 08:00", "01-12-98 12:30", "04:30", "", "01-12-98", "07:24", "", "-02:54",
            "Train \"late\""}));
    EXPECT_EQ(strings(cells[1]).at(7), "+00:51");
}

TEST_F(ScreenReader, StatusPanelsAreLabelsWithTheirWholeTexts)
{
    const QJsonArray objects = tree();
    const QList<QJsonObject> bars = withRole(objects, QStringLiteral("status bar"));
    ASSERT_EQ(bars.size(), 1);
    const QJsonArray barPath = bars.first()[QStringLiteral("path")].toArray();
    QStringList panels;
    for (const QJsonObject &label : withRole(objects, QStringLiteral("label"))) {
        QJsonArray parentPath = label[QStringLiteral("path")].toArray();
        parentPath.removeLast();
        if (parentPath == barPath)
            panels << label[QStringLiteral("name")].toString();
    }
    EXPECT_EQ(panels,
        QStringList({"01-12-98 - 02-12-98:   12:45  ", "01-12-98 - 02-12-98:  -14:48 ", "-02:03", "v. 1.00"}));
}

TEST_F(ScreenReader, EditsAndPictureButtonsAreNamedAsTheScreenShowsThem)
{
    const QJsonArray objects = tree();
    const QList<QJsonObject> edits = withRole(objects, QStringLiteral("text"));
    EXPECT_EQ(namesOf(edits),
        QStringList({"Home WorkTime Date", "Start", "End date", "End time", "Nominal Worktime Date", "Hours:mins",
            "Notes", "Set alarm "}));
    const auto endDate = std::find_if(edits.begin(), edits.end(),
        [](const QJsonObject &edit) { return edit[QStringLiteral("name")].toString() == "End date"; });
    ASSERT_NE(endDate, edits.end());
    EXPECT_EQ((*endDate)[QStringLiteral("description")].toString(), "End date of actual period");

    QStringList calendarButtons;
    for (const QJsonObject &button : withRole(objects, QStringLiteral("push button"))) {
        const QString name = button[QStringLiteral("name")].toString();
        EXPECT_FALSE(name.isEmpty()) << "a button without a name";
        if (name == "Calendar")
            calendarButtons << name;
    }
    EXPECT_EQ(calendarButtons.size(), 3);
}

TEST_F(ScreenReader, ClockIsNamedWithTheTimeItShows)
{
    static const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));
    const QStringList labels = namesOf(withRole(tree(), QStringLiteral("label")));
    EXPECT_EQ(labels.filter(time).size(), 1) << labels.join(u',').toStdString();
}

} // namespace
