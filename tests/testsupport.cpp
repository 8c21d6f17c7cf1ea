#include "testsupport.h"

#include "worksheet.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <QFile>
#include <QStringEncoder>
#include <unistd.h>

MessageRecorder::MessageRecorder()
{
    m_previous = setMessagePresenter([this](MessageKind kind, const QString &text) {
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

int strongestContrast(const QImage &image, const QRect &area, const QColor &background)
{
    int contrast = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            contrast = std::max(contrast, std::abs(qGray(image.pixel(x, y)) - qGray(background.rgb())));
    return contrast;
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
