#include "settingsfile.h"
#include "testsupport.h"
#include "workinghours.h"

#include <gtest/gtest.h>
#include <QDate>
#include <QSettings>

TEST(WorkingHours, DaysRoundTripThroughTheSettingsFileAndBadValuesOweNothing)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Worktally.Setup"));
    EXPECT_TRUE(WorkingHours::read(path).isEmpty()); // no file yet

    WorkingHours hours;
    hours.setMinutes(1, 7 * 60 + 24);
    hours.setMinutes(5, 0);
    ASSERT_TRUE(hours.write(path));
    const QByteArray written = readFile(path);
    EXPECT_TRUE(written.contains("[WorkingHours]"));
    EXPECT_TRUE(written.contains("Mon=07:24"));

    writeFile(path, written + "\n[wkyColor]\nbackColor=255\n");
    QSettings(path, QSettings::IniFormat).setValue(QStringLiteral("WorkingHours/Tue"), QStringLiteral("24:00"));
    const WorkingHours back = WorkingHours::read(path);
    EXPECT_EQ(back.minutes(1), 444);
    EXPECT_EQ(back.minutes(2), std::nullopt); // not a time of day
    EXPECT_EQ(back.minutes(5), 0); // set, owing nothing
    EXPECT_EQ(back.minutesOn(QDate(2026, 12, 7)), 444); // a Monday
    EXPECT_EQ(SettingsFile(path).backgroundColor(), TColor(255)); // the colour stays
}
