// logind and the screen locker as the desktop's services tell of them, played
// by the test on a session bus of its own (dbus-run-session) and read by the
// sources through that bus.

#include "clocksource.h"
#include "logindsource.h"
#include "screenlocksource.h"

#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

namespace {

const QDateTime Noon(QDate(2026, 3, 2), QTime(12, 0));
const QString SessionPath = QStringLiteral("/org/freedesktop/login1/session/_31");

// logind's manager, as far as the source asks it.
class FakeLoginManager : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    int sessionQueries = 0;
    // As for a program that the user's service manager started.
    bool outsideASession = false;
    QString sessionAskedFor;
public slots:
    QDBusObjectPath GetSessionByPID(uint)
    {
        ++sessionQueries;
        if (outsideASession)
            sendErrorReply(QStringLiteral("org.freedesktop.login1.NoSessionForPID"), QStringLiteral("no session"));
        return QDBusObjectPath(SessionPath);
    }
    QDBusObjectPath GetSession(const QString &id)
    {
        sessionAskedFor = id;
        return QDBusObjectPath(SessionPath);
    }
};

// A clock fixed by the test that counts how often it is read: a source reads
// it when a signal reaches it, which is the event the test waits for.
class CountingClock
{
public:
    QDateTime now = Noon;
    int reads = 0;
    CountingClock()
    {
        ClockSource::setSource([this] {
            ++reads;
            return now;
        });
    }
    ~CountingClock() { ClockSource::setSource({}); }
};

// The desktop's services on a connection of their own.
class AwayBus : public ::testing::Test
{
protected:
    QDBusConnection desktop = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("desktop"));
    FakeLoginManager manager;
    CountingClock clock;

    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus";
        ASSERT_TRUE(desktop.registerService(QStringLiteral("org.freedesktop.login1")));
        ASSERT_TRUE(desktop.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
        ASSERT_TRUE(desktop.registerObject(QStringLiteral("/org/freedesktop/login1"), &manager,
                                           QDBusConnection::ExportAllSlots));
    }
    void TearDown() override { QDBusConnection::disconnectFromBus(QStringLiteral("desktop")); }

    void send(const QString &path, const QString &interface, const QString &name, const QVariantList &arguments)
    {
        QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
        signal.setArguments(arguments);
        ASSERT_TRUE(desktop.send(signal));
    }
    // Sends a signal and waits until the source has taken it in.
    void sendAndWaitForSource(const QString &path, const QString &interface, const QString &name, bool value)
    {
        const int readsBefore = clock.reads;
        send(path, interface, name, {value});
        ASSERT_TRUE(QTest::qWaitFor([&] { return clock.reads > readsBefore; }, 5000)) << name.toStdString();
    }
    // The desktop sets the session's idle hint (since lastInput) and clears
    // it. The source watches the session once logind's answer has reached it;
    // until then the hints go unheard, so they are repeated until one is.
    bool idleHintHeard(const QSignalSpy &spy, const QDateTime &lastInput)
    {
        const QString interface = QStringLiteral("org.freedesktop.login1.Session");
        const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
        const quint64 microseconds = quint64(lastInput.toMSecsSinceEpoch()) * 1000;
        const QVariantMap idle{{QStringLiteral("IdleHint"), true},
                               {QStringLiteral("IdleSinceHint"), QVariant::fromValue(microseconds)}};
        const QVariantMap back{{QStringLiteral("IdleHint"), false}};
        return QTest::qWaitFor(
            [&] {
                send(SessionPath, properties, QStringLiteral("PropertiesChanged"), {interface, idle, QStringList()});
                send(SessionPath, properties, QStringLiteral("PropertiesChanged"), {interface, back, QStringList()});
                return !spy.isEmpty();
            },
            5000);
    }
    void prepareForSleep(bool goingToSleep)
    {
        sendAndWaitForSource(QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
                             QStringLiteral("PrepareForSleep"), goingToSleep);
    }
    void lockScreen(bool locked)
    {
        sendAndWaitForSource(QStringLiteral("/org/freedesktop/ScreenSaver"),
                             QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("ActiveChanged"), locked);
    }
};

TEST_F(AwayBus, ASleepLongerThanTheSettingIsReportedOnWakingUp)
{
    LogindSource source(QDBusConnection::sessionBus(), false);
    QSignalSpy spy(&source, &AwayDetector::cameBack);
    source.start(15);

    prepareForSleep(true);
    clock.now = clock.now.addSecs(14 * 60);
    prepareForSleep(false);
    prepareForSleep(true);
    clock.now = clock.now.addSecs(45 * 60);
    prepareForSleep(false);

    ASSERT_EQ(spy.count(), 1) << "the 14 minutes asleep are under the setting";
    EXPECT_EQ(spy[0][0].toDateTime(), Noon.addSecs(14 * 60));
    EXPECT_EQ(spy[0][1].toDateTime(), Noon.addSecs(59 * 60));
    EXPECT_EQ(spy[0][2].value<AwayDetector::Kind>(), AwayDetector::Kind::Asleep);
}

TEST_F(AwayBus, TheSessionsIdleHintTellsFromWhenToWhen)
{
    LogindSource source(QDBusConnection::sessionBus(), true);
    QSignalSpy spy(&source, &AwayDetector::cameBack);
    source.start(15);
    ASSERT_TRUE(QTest::qWaitFor([&] { return manager.sessionQueries > 0; }, 5000));

    clock.now = Noon.addSecs(30 * 60);
    ASSERT_TRUE(idleHintHeard(spy, Noon.addSecs(-20 * 60)));
    // Idle before the start counts from the start.
    EXPECT_EQ(spy[0][0].toDateTime(), Noon);
    EXPECT_EQ(spy[0][1].toDateTime(), Noon.addSecs(30 * 60));
    EXPECT_EQ(spy[0][2].value<AwayDetector::Kind>(), AwayDetector::Kind::Idle);
}

TEST_F(AwayBus, AProgramOutsideASessionWatchesTheSessionItIsNamedFor)
{
    manager.outsideASession = true;
    qputenv("XDG_SESSION_ID", "c7");
    const auto unsetSession = qScopeGuard([] { qunsetenv("XDG_SESSION_ID"); });
    LogindSource source(QDBusConnection::sessionBus(), true);
    QSignalSpy spy(&source, &AwayDetector::cameBack);
    source.start(15);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !manager.sessionAskedFor.isEmpty(); }, 5000));
    EXPECT_EQ(manager.sessionAskedFor, u"c7");

    clock.now = Noon.addSecs(30 * 60);
    ASSERT_TRUE(idleHintHeard(spy, Noon.addSecs(10 * 60)));
    EXPECT_EQ(spy[0][0].toDateTime(), Noon.addSecs(10 * 60));
}

TEST_F(AwayBus, TheLockedScreenIsAwayUntilTheUnlock)
{
    ScreenLockSource source(QDBusConnection::sessionBus());
    QSignalSpy spy(&source, &AwayDetector::cameBack);
    source.start(15);

    lockScreen(true);
    clock.now = clock.now.addSecs(20 * 60);
    lockScreen(false);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0][0].toDateTime(), Noon);
    EXPECT_EQ(spy[0][1].toDateTime(), Noon.addSecs(20 * 60));
    EXPECT_EQ(spy[0][2].value<AwayDetector::Kind>(), AwayDetector::Kind::Idle);

}

} // namespace

#include "awaybus_test.moc"
