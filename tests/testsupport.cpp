#include "testsupport.h"

#include "csvcodec.h"
#include "worksheet.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <QFile>
#include <QStringEncoder>
#include <unistd.h>

PrivateFolders::PrivateFolders()
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome.path()));
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_stateHome.path()));
}

MessageRecorder::MessageRecorder()
{
    m_previous = setMessagePresenter([this](MessageKind kind, const QString &text, QWidget *) {
        kinds << kind;
        texts << text;
    });
    m_previousQuestions = setQuestionPresenter([this](const QString &text, const QStringList &buttons, int safeChoice) {
        questions << text;
        questionButtons << buttons;
        return answers.isEmpty() ? safeChoice : answers.takeFirst();
    });
}

MessageRecorder::~MessageRecorder()
{
    setMessagePresenter(std::move(m_previous));
    setQuestionPresenter(std::move(m_previousQuestions));
}

namespace {

constexpr uid_t NobodyUser = 65534;
constexpr gid_t NobodyGroup = 65534;

} // namespace

OrdinaryUser::OrdinaryUser(const QString &folder)
{
    m_superuser = geteuid() == 0;
    if (!m_superuser)
        return;
    // The superuser's identity stays saved, so that it can be taken back.
    m_ok = chown(QFile::encodeName(folder).constData(), NobodyUser, NobodyGroup) == 0
        && setresgid(NobodyGroup, NobodyGroup, 0) == 0 && setresuid(NobodyUser, NobodyUser, 0) == 0;
}

OrdinaryUser::~OrdinaryUser()
{
    if (m_superuser && (setresuid(0, 0, 0) != 0 || setresgid(0, 0, 0) != 0))
        std::abort(); // the tests after this one would run without their rights
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray utf16(const QByteArray &utf8, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder(QString::fromUtf8(utf8));
}

const QByteArray BottomLineCsv = "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n";

QByteArray morningPeriodCsv(int day, const QByteArray &note)
{
    const QByteArray date = QByteArray::number(day).rightJustified(2, '0') + "-12-98";
    return "\"" + date + " 08:00\",\"" + date + " 12:30\",\"04:30\",\"\",\"" + date + "\",\"07:24\",\"\",\"\",\"" + note
        + "\"\r\n";
}

const QByteArray WorkedExampleFile
    = "\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\",\"\",\"Train \"\"late\"\"\"\r\n"
      "\"02-12-98 13:00\",\"02-12-98 21:15\",\"08:15\",\"\",\"02-12-98\",\"07:24\",\"\",\"\",\"\"\r\n"
    + BottomLineCsv;

QByteArray workedExampleWith(const QByteArray &line)
{
    return QByteArray(WorkedExampleFile).insert(WorkedExampleFile.lastIndexOf("\r\n\"\",") + 2, line);
}

std::vector<ForeignWorksheet> foreignWorksheets()
{
    auto firstDay = [](const QByteArray &diff) {
        return "\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\",\"" + diff
            + "\",\"Train \"\"late\"\"\"";
    };
    auto secondDay = [](const QByteArray &note, const QByteArray &diff = {}) {
        return "\"02-12-98 13:00\",\"02-12-98 21:15\",\"08:15\",\"\",\"02-12-98\",\"07:24\",\"\",\"" + diff + "\",\""
            + note + '"';
    };
    const QByteArray firstDaySaved = firstDay("-02:54") + "\r\n";
    auto secondDaySaved = [&](const QByteArray &note) { return secondDay(note, "+00:51") + "\r\n"; };
    const QByteArray saved = firstDaySaved + secondDaySaved("") + BottomLineCsv;
    const QByteArray appended = morningPeriodCsv(3, "appended");
    return {
        {"line appended below the bottom line", WorkedExampleFile + appended,
            firstDaySaved + secondDaySaved("")
                + QByteArray(appended).replace("\"\",\"appended", "\"-02:54\",\"appended") + BottomLineCsv},
        {"blank line in the middle", firstDay({}) + "\r\n\r\n" + secondDay("") + "\r\n" + BottomLineCsv, saved},
        {"CR CR LF line ends", QByteArray(WorkedExampleFile).replace("\r\n", "\r\r\n"), saved},
        {"heading line", "Start,End,Time,,Date,hh:mm,,Diff.,Notes\r\n" + WorkedExampleFile, saved},
        {"spreadsheet's forms",
            "\"2026/12/01 08:00:00\",\"2026/12/01 12:30:00\",04:30:00,,2026/12/01,07:24:00,,21:06:00,x\n"
            "\"2026-12-02 13:00:00\",\"2026-12-02 21:15:00\",08:15:00,,2026-12-02,07:24:00,,00:51:00,\n"
            ",,,,,,,,\n",
            "\"01-12-26 08:00\",\"01-12-26 12:30\",\"04:30\",\"\",\"01-12-26\",\"07:24\",\"\",\"-02:54\",\"x\"\r\n"
            "\"02-12-26 13:00\",\"02-12-26 21:15\",\"08:15\",\"\",\"02-12-26\",\"07:24\",\"\",\"+00:51\",\"\"\r\n"
                + BottomLineCsv},
        {"quote inside a quoted note", firstDay({}) + "\r\n" + secondDay("say \"hi\" now") + "\r\n" + BottomLineCsv,
            firstDaySaved + secondDaySaved("say \"\"hi\"\" now") + BottomLineCsv},
        {"stray byte beside UTF-8", firstDay({}) + "\r\n" + secondDay("Gr\xFC\xC3\x9F Gott") + "\r\n" + BottomLineCsv,
            firstDaySaved + secondDaySaved("Gr\xC3\xBC\xC3\x9F Gott") + BottomLineCsv},
        {"line ending in many commas",
            firstDay({}) + QByteArray(10000, ',') + "\r\n" + secondDay("") + "\r\n" + BottomLineCsv, saved},
    };
}

QList<QStringList> csvLines(const QByteArray &bytes)
{
    QList<QStringList> lines;
    readCsvBytes(bytes, [&](int, std::span<const QStringView> fields) {
        QStringList texts;
        for (const QStringView field : fields)
            texts << field.toString();
        lines << texts;
    });
    return lines;
}

CellTable worksheetCells(const std::vector<QStringList> &rows)
{
    CellTable cells;
    cells.resize(WorksheetColumnCount, int(rows.size()) + 2);
    for (size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            cells.setCell(c, int(r) + 1, rows[r][c]);
    return cells;
}

QStringList dataRow(
    const QString &start, const QString &end, const QString &time, const QString &date, const QString &owed)
{
    return {start, end, time, "", date, owed, "", "", ""};
}
