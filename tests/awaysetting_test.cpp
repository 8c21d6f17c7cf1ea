#include "awaysetting.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

struct StoredValue
{
    const char *file;
    int minutes;
};

} // namespace

TEST(AwaySetting, OnlyAWholeNumberOfMinutesUpToADayTurnsTheQuestionOn)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Worktally.Setup"));
    EXPECT_EQ(AwaySetting::minutes(path), 0); // no file

    const StoredValue cases[] = {
        {"[Away]\nMinutes=15\n", 15},
        {"[away]\r\nminutes = 1\r\n", 1},
        {"[Away]\nMinutes=1440\n", 1440},
        {"[Away]\nMinutes=\"45\"\n", 45},
        {"[WorkingHours]\nMon=07:24\n", 0}, // no section
        {"[Away]\n", 0}, // no key
        {"[Away]\nMinutes=\n", 0},
        {"[Away]\nMinutes=0\n", 0},
        {"[Away]\nMinutes=-5\n", 0},
        {"[Away]\nMinutes=1441\n", 0},
        {"[Away]\nMinutes=15.5\n", 0},
        {"[Away]\nMinutes=fifteen\n", 0},
        {"[Away]\nMinutes=99999999999999999999\n", 0},
        {"[Other]\nMinutes=15\n[Away]\nSeconds=15\n", 0},
    };
    for (const StoredValue &c : cases) {
        writeFile(path, c.file);
        EXPECT_EQ(AwaySetting::minutes(path), c.minutes) << c.file;
    }
}

TEST(AwaySetting, WritingChangesOnlyItsOwnLine)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Worktally.Setup"));
    const QByteArray byHand = "; kept by hand\r\n[wkyColor]\r\nbackColor=255\r\n\r\n[WorkingHours]\r\nMon=07:24\r\n";
    writeFile(path, byHand);

    // Off where it was never on: the file stays as it is.
    ASSERT_TRUE(AwaySetting::write(path, 0));
    EXPECT_EQ(readFile(path), byHand);

    ASSERT_TRUE(AwaySetting::write(path, 20));
    EXPECT_EQ(readFile(path), byHand + "[Away]\r\nMinutes=20\r\n");
    EXPECT_EQ(AwaySetting::minutes(path), 20);

    ASSERT_TRUE(AwaySetting::write(path, 0));
    EXPECT_EQ(readFile(path), byHand + "[Away]\r\nMinutes=\r\n");
    EXPECT_EQ(AwaySetting::minutes(path), 0);
}
