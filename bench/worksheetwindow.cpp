#include "worksheetwindow.h"

#include "datetimetext.h"
#include "floorcomparison.h"
#include "samplefiles.h"
#include "worksheet.h"
#include "worksheettotals.h"

#include <cmath>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <thread>

std::unique_ptr<TForm1> openWorksheetWithWorkingHours(const QString &name, int rows)
{
    const QString folder = dataFolder() + QStringLiteral("/%1_%2").arg(name).arg(rows);
    QDir().mkpath(folder);
    QFile::remove(folder + QStringLiteral("/Hourbook.csv"));
    QFile::copy(sampleFile(rows), folder + QStringLiteral("/Hourbook.csv"));
    QFile settings(folder + QStringLiteral("/Worktally.Setup"));
    if (settings.open(QIODevice::WriteOnly))
        settings.write("[WorkingHours]\nMon=07:24\nTue=07:24\nWed=07:24\nThu=07:24\nFri=07:24\nSat=01:00\nSun=01:00\n");
    settings.close();
    return std::make_unique<TForm1>(folder);
}

void waitForTheSave(const TForm1 &form)
{
    while (form.isSaving()) {
        QCoreApplication::processEvents();
        std::this_thread::yield();
    }
}

double recalculatingOneRow(CellTable &cells, int row)
{
    return millisecondsOf([&] {
        const DateTime start = parseDateTime(cells.cell(StartColumn, row));
        const DateTime end = parseDateTime(cells.cell(EndColumn, row));
        cells.setCell(TimeColumn, row, formatTimeText(std::abs(end - start)));
        writeDifference(
            cells, row, readDuration(cells.cell(TimeColumn, row)), readDuration(cells.cell(NominalTimeColumn, row)));
    });
}
