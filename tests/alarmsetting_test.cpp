#include "alarmsound.h"
#include "analogclock.h"
#include "clocksource.h"
#include "mainwindow.h"
#include "maskededit.h"
#include "testsupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <QAudioDevice>
#include <QCheckBox>
#include <QMediaDevices>
#include <QTest>
#include <QTimer>

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

namespace {

// Whether the event loop ran while action did: a call that waits for a sound
// to end lets it run, one that returns at once does not.
bool eventsRunWhile(const std::function<void()> &action)
{
    bool ran = false;
    QTimer probe;
    probe.setSingleShot(true);
    QObject::connect(&probe, &QTimer::timeout, [&] { ran = true; });
    probe.start(0);
    action();
    return ran;
}

} // namespace

TEST(AlarmSound, OnlyASoundThatCanBeHeardIsWaitedFor)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("garbage.wav")), "not a wave at all, just text");
    // A tenth of a second of silence, 8 kHz mono 8-bit; and the same bytes
    // marked as another kind of RIFF file.
    QByteArray wave("RIFF");
    const quint32 samples = 800;
    auto le32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char *>(&v), 4); };
    auto le16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char *>(&v), 2); };
    wave += le32(36 + samples) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(8000) + le32(8000) + le16(1) + le16(8)
        + "data" + le32(samples) + QByteArray(samples, char(128));
    writeFile(dir.filePath(QStringLiteral("silence.wav")), wave);
    writeFile(dir.filePath(QStringLiteral("video.wav")), QByteArray(wave).replace(8, 4, "AVI "));
    const bool soundDevice = !QMediaDevices::defaultAudioOutput().isNull();
    const struct
    {
        const char *file;
        int milliseconds;
        bool waited;
    } cases[] = {{"missing.wav", 0, false}, {"garbage.wav", 0, false}, {"video.wav", 0, false},
        {"silence.wav", 100, soundDevice}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        EXPECT_EQ(waveMilliseconds(path), c.milliseconds);
        EXPECT_EQ(eventsRunWhile([&] { playWaveToEnd(path); }), c.waited);
    }
}
