#include "worksheetreport.h"

#include "datetimetext.h"
#include "errors.h"
#include "filelocations.h"
#include "worksheetfile.h"
#include "worksheetrows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <vector>

RecalculatedWorksheet readWorksheet(const QString &dataFolder)
{
    const QString path = worksheetFile(dataFolder);
    const QString shownPath = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.exists())
        throw WorktallyError(QStringLiteral("There is no worksheet: %1 does not exist.").arg(shownPath));
    // As the window reads: only a regular file.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw WorktallyError(QStringLiteral("%1 (%2).").arg(FileOpenError(shownPath).message(), whyUnreadable(path)));
    // Mapped, not copied: a worksheet of a million rows is some 90 MB, read
    // once. A file that cannot be mapped (an empty one) is read.
    const qint64 size = file.size();
    const uchar *mapped = size > 0 ? file.map(0, size) : nullptr;
    const QByteArray copied = mapped ? QByteArray() : file.readAll();
    const QByteArrayView bytes = mapped ? QByteArrayView(mapped, size) : QByteArrayView(copied);
    CsvEncoding encoding;
    RecalculatedWorksheet worksheet {worksheetRows(bytes, encoding), {}};
    try {
        worksheet.totals = recalculateWorksheet(worksheet.cells);
    } catch (const ConversionError &e) {
        throw WorktallyError(shownPath + QStringLiteral(": ") + e.message());
    }
    return worksheet;
}

WorksheetSummary summarize(const RecalculatedWorksheet &worksheet, QDate today, const WorkingHours &hours)
{
    // Only the days of today's week are added up, not every day of the file.
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    const WorksheetDays days(worksheet.cells, monday, monday.addDays(6));
    return {worksheet.totals, today, todayBalance(days, today, hours), weekBalance(days, today, hours)};
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
