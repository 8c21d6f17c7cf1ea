#include "worksheetreport.h"

#include "datetimetext.h"
#include "errors.h"
#include "filelocations.h"
#include "rowsums.h"
#include "worksheetfile.h"
#include "worksheetrows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <vector>

namespace {

// Hands the bytes of Hourbook.csv in dataFolder to read, with the file's name
// as the user is shown it; only a regular file, as the window reads. The
// file is mapped, not copied: a worksheet of a million rows is some 90 MB.
// A file that cannot be mapped (an empty one) is read.
template<typename Read> auto withWorksheetBytes(const QString &dataFolder, Read read)
{
    const QString path = worksheetFile(dataFolder);
    const QString shownPath = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.exists())
        throw WorktallyError(QStringLiteral("There is no worksheet: %1 does not exist.").arg(shownPath));
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw WorktallyError(QStringLiteral("%1 (%2).").arg(FileOpenError(shownPath).message(), whyUnreadable(path)));
    const qint64 size = file.size();
    const uchar *mapped = size > 0 ? file.map(0, size) : nullptr;
    const QByteArray copied = mapped ? QByteArray() : file.readAll();
    try {
        return read(mapped ? QByteArrayView(mapped, size) : QByteArrayView(copied));
    } catch (const ConversionError &e) {
        throw WorktallyError(shownPath + QStringLiteral(": ") + e.message());
    }
}

// The bytes up to the end of the first line that ends at or after
// SliceBytes: lines end in LF, CR LF or CR CR LF (or a lone CR, in which
// case the bytes stay one slice). A slice never starts with what reads as a
// byte-order mark at the start of a file, and a UTF-16 file is one slice.
QByteArrayView nextSlice(QByteArrayView bytes)
{
    constexpr qsizetype SliceBytes = 4 << 20;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return bytes;
    qsizetype end = SliceBytes;
    do {
        if (end >= bytes.size())
            return bytes;
        const qsizetype lineFeed = bytes.indexOf('\n', end);
        if (lineFeed < 0)
            return bytes;
        end = lineFeed + 1;
    } while (bytes.sliced(end).startsWith("\xEF\xBB\xBF"));
    return bytes.first(end);
}

} // namespace

RecalculatedWorksheet readWorksheet(const QString &dataFolder)
{
    return withWorksheetBytes(dataFolder, [](QByteArrayView bytes) {
        CsvEncoding encoding;
        RecalculatedWorksheet worksheet {worksheetRows(bytes, encoding), {}};
        worksheet.totals = recalculateWorksheet(worksheet.cells);
        return worksheet;
    });
}

WorksheetSummary readSummary(const QString &dataFolder, QDate today, const WorkingHours &hours)
{
    // The file is read a slice of lines at a time, only one slice's rows
    // held at once, if any: lines as this program writes them are added up
    // straight from their bytes.
    return withWorksheetBytes(dataFolder, [&](QByteArrayView bytes) {
        RowSums sums;
        while (!bytes.isEmpty()) {
            const QByteArrayView slice = nextSlice(bytes);
            bytes = bytes.sliced(slice.size());
            sums += sumLines(slice, today);
        }
        return WorksheetSummary {sums.sums.texts(), today, todayBalance(sums.today, today, hours),
            weekBalance(sums.week, sums.today, today, hours)};
    });
}

namespace {

QString weekName(QDate day)
{
    int year = 0;
    const int week = day.weekNumber(&year);
    return QStringLiteral("%1-W%2").arg(year).arg(week, 2, 10, QChar(u'0'));
}

QString balanceText(const Balance &balance, const char *owedName)
{
    return QStringLiteral("home %1, %2 %3, difference %4")
        .arg(formatMinuteTotal(balance.home), QLatin1String(owedName), formatMinuteTotal(balance.owed),
            formatDifference(balance.difference()));
}

QJsonObject balanceJson(const Balance &balance)
{
    return {{QStringLiteral("home"), formatMinuteTotal(balance.home)},
        {QStringLiteral("target"), formatMinuteTotal(balance.owed)},
        {QStringLiteral("difference"), formatDifference(balance.difference())}};
}

} // namespace

QString summaryText(const WorksheetSummary &summary)
{
    return summary.totals.home + u'\n' + summary.totals.nominal + u'\n' + summary.totals.difference + u'\n'
        + QStringLiteral("Today %1: ").arg(summary.today.toString(Qt::ISODate))
        + balanceText(summary.todayBalance, "target") + u'\n' + QStringLiteral("Week %1: ").arg(weekName(summary.today))
        + balanceText(summary.weekBalance, "target") + u'\n';
}

QString summaryJson(const WorksheetSummary &summary)
{
    const QJsonObject object {{QStringLiteral("home"), summary.totals.home},
        {QStringLiteral("nominal"), summary.totals.nominal}, {QStringLiteral("difference"), summary.totals.difference},
        {QStringLiteral("today"), balanceJson(summary.todayBalance)},
        {QStringLiteral("week"), balanceJson(summary.weekBalance)}};
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + u'\n';
}

QString reportText(const WorksheetDays &days, ReportPeriod period, bool csv)
{
    // The days come in order, and so do their weeks and months.
    std::vector<std::pair<QString, Balance>> periods;
    for (const auto &[day, balance] : days.days()) {
        const QString name = period == ReportPeriod::Week ? weekName(day) : day.toString(QStringLiteral("yyyy-MM"));
        if (periods.empty() || periods.back().first != name)
            periods.emplace_back(name, Balance());
        periods.back().second += balance;
    }
    QString text;
    if (csv)
        text = (period == ReportPeriod::Week ? QStringLiteral("week") : QStringLiteral("month"))
            + QStringLiteral(",home,nominal,difference\n");
    for (const auto &[name, balance] : periods) {
        if (csv)
            text += QStringList({name, formatMinuteTotal(balance.home), formatMinuteTotal(balance.owed),
                                    formatDifference(balance.difference())})
                        .join(u',');
        else
            text += name + QStringLiteral(": ") + balanceText(balance, "nominal");
        text += u'\n';
    }
    return text;
}
