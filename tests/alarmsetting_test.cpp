#include "alarmsound.h"
#include "analogclock.h"
#include "clocksource.h"
#include "mainwindow.h"
#include "maskedit.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTest>

namespace {

struct AlarmWindow
{
    QTemporaryDir folder;
    FixedClock clock {QDateTime(QDate(2026, 12, 7), QTime(7, 10))};
    MessageRecorder messages;
    std::unique_ptr<TForm1> form;
    QStringList sounds;

    AlarmWindow()
    {
        form = std::make_unique<TForm1>(folder.path());
        form->playSound = [this](const QString &path) {
            // Which messages had been shown when the sound played.
            sounds << QStringLiteral("%1 after %2 messages").arg(path).arg(messages.texts.size());
        };
        form->show();
    }

    void setAlarm(const QString &time)
    {
        form->MaskEdit4->setText(time);
        QTest::mouseClick(form->chkWake, Qt::LeftButton);
    }
};

} // namespace

TEST(AlarmSetting, TickingSetArmsTheClockAtTheTypedTime)
{
    AlarmWindow w;
    w.setAlarm(QStringLiteral("07:30"));
    EXPECT_TRUE(w.form->chkWake->isChecked());
    EXPECT_TRUE(w.form->Clock1->AlarmEnabled());
    EXPECT_EQ(w.form->Clock1->AlarmHour(), 7);
    EXPECT_EQ(w.form->Clock1->AlarmMinute(), 30);
    EXPECT_EQ(w.form->Clock1->AlarmSecond(), 0);
    EXPECT_EQ(w.messages.texts, QStringList({"Alarm is now set at 07:30"}));

    QTest::mouseClick(w.form->chkWake, Qt::LeftButton); // clearing does nothing
    EXPECT_TRUE(w.form->Clock1->AlarmEnabled());
    w.setAlarm(QStringLiteral(" 8:15"));
    EXPECT_EQ(w.form->Clock1->AlarmHour(), 8);
    EXPECT_EQ(w.form->Clock1->AlarmMinute(), 15);
    EXPECT_EQ(w.messages.texts.last(), "Alarm is now set at  8:15");
}

TEST(AlarmSetting, InvalidTimeKeepsTheAlarmItHad)
{
    AlarmWindow w;
    w.setAlarm(QStringLiteral("07:30"));
    QTest::mouseClick(w.form->chkWake, Qt::LeftButton);
    w.setAlarm(QStringLiteral("24:00"));
    EXPECT_EQ(w.messages.texts.last(), "'24:00' is not a valid time");
    EXPECT_TRUE(w.form->Clock1->AlarmEnabled());
    EXPECT_EQ(w.form->Clock1->AlarmHour(), 7);
    EXPECT_EQ(w.form->Clock1->AlarmMinute(), 30);
}

TEST(AlarmSetting, AlarmSoundsFirstThenShowsTheMessageAndClearsBothBoxes)
{
    AlarmWindow w;
    w.setAlarm(QStringLiteral("07:30"));
    QTest::mouseClick(w.form->chkLyd, Qt::LeftButton);
    w.clock.set(QDateTime(QDate(2026, 12, 7), QTime(7, 29, 59)));
    w.form->Clock1->Tick();
    EXPECT_TRUE(w.sounds.isEmpty());
    w.clock.set(QDateTime(QDate(2026, 12, 7), QTime(7, 30, 0)));
    w.form->Clock1->Tick();
    EXPECT_EQ(w.sounds, QStringList({w.form->alarmSoundPath() + " after 1 messages"}));
    EXPECT_EQ(w.messages.texts, QStringList({"Alarm is now set at 07:30", "Alarm!"}));
    EXPECT_FALSE(w.form->chkWake->isChecked());
    EXPECT_FALSE(w.form->chkLyd->isChecked());
    EXPECT_EQ(w.form->MaskEdit4->Text(), "07:30");

    // Without "Sound" only the message, the next day.
    w.clock.set(QDateTime(QDate(2026, 12, 8), QTime(0, 0, 1)));
    w.form->Clock1->Tick();
    w.clock.set(QDateTime(QDate(2026, 12, 8), QTime(7, 30, 2)));
    w.form->Clock1->Tick();
    EXPECT_EQ(w.sounds.size(), 1);
    EXPECT_EQ(w.messages.texts.last(), "Alarm!");
}

TEST(AlarmSound, FilesThatCannotPlayReturnAtOnce)
{
    QTemporaryDir dir;
    playWaveToEnd(dir.filePath(QStringLiteral("alarm.wav"))); // missing
    writeFile(dir.filePath(QStringLiteral("garbage.wav")), "not a wave at all, just text");
    playWaveToEnd(dir.filePath(QStringLiteral("garbage.wav")));

    // A tenth of a second of silence, 8 kHz mono 8-bit: whether or not this
    // machine has a sound device, the call comes back.
    QByteArray wave("RIFF");
    const quint32 samples = 800;
    auto le32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char *>(&v), 4); };
    auto le16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char *>(&v), 2); };
    wave += le32(36 + samples) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(8000) + le32(8000) + le16(1) + le16(8)
        + "data" + le32(samples) + QByteArray(samples, char(128));
    writeFile(dir.filePath(QStringLiteral("silence.wav")), wave);
    QElapsedTimer timer;
    timer.start();
    playWaveToEnd(dir.filePath(QStringLiteral("silence.wav")));
    EXPECT_LT(timer.elapsed(), 10000);
}
