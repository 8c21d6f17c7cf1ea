#include "errors.h"
#include "inifile.h"
#include "settingsfile.h"
#include "testsupport.h"
#include "workinghours.h"

#include <gtest/gtest.h>
#include <QDate>

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

    writeFile(path, QByteArray(written).replace("Tue=", "Tue=24:00") + "\n[wkyColor]\nbackColor=255\n");
    const WorkingHours back = WorkingHours::read(path);
    EXPECT_EQ(back.minutes(1), 444);
    EXPECT_EQ(back.minutes(2), std::nullopt); // not a time of day
    EXPECT_EQ(back.minutes(5), 0); // set, owing nothing
    EXPECT_EQ(back.minutesOn(QDate(2026, 12, 7)), 444); // a Monday
    EXPECT_EQ(SettingsFile(path).backgroundColor(), TColor(255)); // the colour stays
}

TEST(WorkingHours, ValuesThatDoNotReadAreNamedWhenAsked)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Worktally.Setup"));
    writeFile(path, "[WorkingHours]\nMon=25:00\nTue=07:24\nWed=\nThu=7.5\n");
    const WorkingHours hours = WorkingHours::read(path);
    EXPECT_EQ(hours.minutes(1), std::nullopt);
    EXPECT_EQ(hours.minutes(2), 444);
    EXPECT_EQ(messageOf<ConversionError>([&] { hours.requireReadable(); }),
        "'25:00' is not a valid time\n'7.5' is not a valid time");
    writeFile(path, "[WorkingHours]\nMon=\nTue=07:24\n");
    WorkingHours::read(path).requireReadable(); // empty: no target, nothing wrong
}

namespace {

// Sets key in section of a file holding before and gives the file's bytes.
QByteArray afterSetting(const QByteArray &before, const QString &section, const QString &key, const QString &value)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("settings.ini"));
    if (!before.isNull())
        writeFile(path, before);
    IniFile ini;
    EXPECT_TRUE(ini.read(path));
    ini.setValue(section, key, value);
    EXPECT_TRUE(ini.write(path));
    return readFile(path);
}

std::optional<QString> valueIn(const QByteArray &bytes, const QString &section, const QString &key)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("settings.ini"));
    writeFile(path, bytes);
    IniFile ini;
    EXPECT_TRUE(ini.read(path));
    return ini.value(section, key);
}

} // namespace

TEST(IniFile, SettingAKeyChangesItsLineAloneOrAddsOne)
{
    // A new file, a new key at the end of its section, a new section at the end.
    EXPECT_EQ(afterSetting({}, "wkyColor", "backColor", "255"), "[wkyColor]\nbackColor=255\n");
    EXPECT_EQ(
        afterSetting("[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", "a", "z", "3"), "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n");
    EXPECT_EQ(afterSetting("; note\n[a]\nx=1", "b", "y", "2"), "; note\n[a]\nx=1\n[b]\ny=2\n");
    EXPECT_EQ(afterSetting("[a]\n", "a", "x", "1"), "[a]\nx=1\n");
    // The key's own line, also spelt otherwise, keeps its line end; the
    // first of two counts.
    EXPECT_EQ(afterSetting("[A]\r\n  X = 1\r\nx=2", "a", "x", "9"), "[A]\r\n  X =9\r\nx=2");
    EXPECT_EQ(afterSetting("[a]\nx=1\n[a]\nx=2\n", "a", "x", "9"), "[a]\nx=9\n[a]\nx=2\n");
    // A key of the same name elsewhere, or commented out, is another.
    EXPECT_EQ(afterSetting("[b]\nx=1\n[a]\n;x=2\n", "a", "x", "9"), "[b]\nx=1\n[a]\nx=9\n;x=2\n");
}

TEST(IniFile, ValuesAreReadAsAnEditorOrAnOlderVersionWroteThem)
{
    EXPECT_EQ(valueIn("\xEF\xBB\xBF[wkyColor]\r\n backColor = \"$FF\" \r\n", "wkycolor", "BACKCOLOR"), "$FF");
    EXPECT_EQ(valueIn("[a]\nx=\n", "a", "x"), "");
    EXPECT_EQ(valueIn("[a]\nx=1\n[b]\ny=2\n", "a", "y"), std::nullopt);
    EXPECT_EQ(valueIn("[a]\n#x=1\n", "a", "x"), std::nullopt);
    EXPECT_EQ(valueIn("x=1\n[a]\n", "a", "x"), std::nullopt);
}

TEST(IniFile, AFileThatCannotBeReadIsNotWrittenOver)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Worktally.Setup"));
    OrdinaryUser user(folder.path());
    ASSERT_TRUE(user.ok());
    writeFile(path, "[WorkingHours]\nMon=07:24\n");
    ASSERT_TRUE(QFile::setPermissions(path, QFile::WriteOwner));
    WorkingHours hours;
    hours.setMinutes(2, 60);
    EXPECT_FALSE(hours.write(path));
    EXPECT_FALSE(SettingsFile(path).setBackgroundColor(clRed));
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_EQ(readFile(path), "[WorkingHours]\nMon=07:24\n");
}
