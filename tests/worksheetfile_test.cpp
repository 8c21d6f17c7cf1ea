#include "hypergrid.h"
#include "testsupport.h"
#include "worksheetfile.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace {

void setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

} // namespace

TEST(WorksheetFile, ChangeIsInTheContentNotInTheTime)
{
    QTemporaryDir dir;
    WorksheetFile file(dir.filePath(QStringLiteral("Hourbook.csv")));
    file.noteLoading(); // none there yet
    writeFile(file.path(), "\"a\"\r\n");
    EXPECT_TRUE(file.changedOnDisk()); // made by someone else meanwhile

    THyperGrid grid;
    file.noteLoading();
    file.noteLoaded(grid.LoadFromCSV(0, 1, file.path()));
    EXPECT_FALSE(file.changedOnDisk());
    setModified(file.path(), QDateTime::currentDateTime().addSecs(60)); // touched
    EXPECT_FALSE(file.changedOnDisk());
    writeFile(file.path(), "\"b\"\r\n"); // the same size
    setModified(file.path(), QDateTime::currentDateTime().addSecs(60));
    EXPECT_TRUE(file.changedOnDisk());

    // Big enough to be written in several pieces, each hashed as it goes.
    grid.setRowCount(30000);
    for (int r = 1; r < grid.RowCount(); ++r)
        grid.setCells(0, r, QStringLiteral("a longer text on every row"));
    WorksheetFile::Save save = file.prepareSave(grid.csvRows(0, 1));
    save.run();
    file.noteSaved(save);
    EXPECT_FALSE(file.changedOnDisk());
    setModified(file.path(), QDateTime::currentDateTime().addSecs(120));
    EXPECT_FALSE(file.changedOnDisk());
    QFile::remove(file.path()); // nothing to lose by writing
    EXPECT_FALSE(file.changedOnDisk());
}
