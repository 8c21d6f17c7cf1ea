// Worktally beside a StatusNotifierItem host, the tray of most panels and of
// every Wayland desktop. The test runs on a session bus and an X server of
// its own (under dbus-run-session and xvfb-run), runs the watcher a panel
// runs, and asks the program's item over D-Bus what a panel asks.

#include "mainwindow.h"
#include "testsupport.h"
#include "trayicon.h"
#include "x11desktop.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QMutex>
#include <QSemaphore>
#include <QSystemTrayIcon>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString ItemPath = QStringLiteral("/StatusNotifierItem");
const QString ItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString MenuInterface = QStringLiteral("com.canonical.dbusmenu");

// The items registered so far, shared by the watcher's thread and the test's.
class RegisteredItems
{
public:
    void add(const QString &service)
    {
        QMutexLocker lock(&m_mutex);
        m_services << service;
    }
    QStringList services() const
    {
        QMutexLocker lock(&m_mutex);
        return m_services;
    }

private:
    mutable QMutex m_mutex;
    QStringList m_services;
};

// A panel's watcher: it takes the items in and tells that a host shows them.
// Qt puts its icon on the bus only while a watcher is there.
class StatusNotifierWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredStatusNotifierItems)

public:
    explicit StatusNotifierWatcher(RegisteredItems &items)
        : m_items(items)
    { }

    bool isStatusNotifierHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList registeredStatusNotifierItems() const { return m_items.services(); }

public slots:
    void RegisterStatusNotifierItem(const QString &service)
    {
        m_items.add(service);
        emit StatusNotifierItemRegistered(service);
    }
    void RegisterStatusNotifierHost(const QString &) { }

signals:
    void StatusNotifierItemRegistered(const QString &service);

private:
    RegisteredItems &m_items;
};

// The watcher answers from a thread of its own: the program's item lives in
// the test's thread, which Qt's blocking questions to the watcher hold up.
class WatcherThread : public QThread
{
public:
    RegisteredItems items;

    void start()
    {
        QThread::start();
        m_ready.acquire();
    }
    ~WatcherThread() override
    {
        quit();
        wait();
    }

protected:
    void run() override
    {
        const QString name = QStringLiteral("watcher");
        {
            QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
            StatusNotifierWatcher watcher(items);
            bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals
                    | QDBusConnection::ExportAllProperties);
            EXPECT_TRUE(bus.registerService(WatcherService));
            m_ready.release();
            exec();
            bus.unregisterService(WatcherService);
        }
        QDBusConnection::disconnectFromBus(name);
    }

private:
    QSemaphore m_ready;
};

// A question to the program's item, asked without blocking this thread,
// which answers it; milliseconds tells how long the answer took.
QDBusMessage ask(const QDBusMessage &call, qint64 *milliseconds = nullptr)
{
    QElapsedTimer clock;
    clock.start();
    QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(call);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 10000)) << call.member().toStdString();
    if (milliseconds)
        *milliseconds = clock.elapsed();
    EXPECT_EQ(pending.reply().type(), QDBusMessage::ReplyMessage) << pending.reply().errorMessage().toStdString();
    return pending.reply();
}

QVariant itemProperty(const QString &service, const QString &name)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, ItemPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << ItemInterface << name;
    return ask(call).arguments().value(0).value<QDBusVariant>().variant();
}

QDBusMessage callItem(const QString &service, const QString &method, qint64 *milliseconds = nullptr)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, ItemPath, ItemInterface, method);
    call << 10 << 10; // where the panel was clicked
    return ask(call, milliseconds);
}

struct ToolTip
{
    QString title;
    QString body;
};

// (sa(iiay)ss): icon name, icon pictures, title and body.
ToolTip readToolTip(const QDBusArgument &argument)
{
    ToolTip tip;
    QString iconName;
    argument.beginStructure();
    argument >> iconName;
    argument.beginArray();
    while (!argument.atEnd()) {
        int width = 0;
        int height = 0;
        QByteArray pixels;
        argument.beginStructure();
        argument >> width >> height >> pixels;
        argument.endStructure();
    }
    argument.endArray();
    argument >> tip.title >> tip.body;
    argument.endStructure();
    return tip;
}

// A menu item (ia{sv}av) as a panel draws it: its label, or "-" for a
// separator; hidden items are left out.
QStringList readMenuEntries(const QDBusArgument &item)
{
    int id = 0;
    QVariantMap properties;
    QStringList children;
    item.beginStructure();
    item >> id >> properties;
    item.beginArray();
    while (!item.atEnd()) {
        QDBusVariant child;
        item >> child;
        const QDBusArgument childItem = child.variant().value<QDBusArgument>();
        int childId = 0;
        QVariantMap childProperties;
        childItem.beginStructure();
        childItem >> childId >> childProperties;
        childItem.endStructure();
        if (!childProperties.value(QStringLiteral("visible"), true).toBool())
            continue;
        children << (childProperties.value(QStringLiteral("type")).toString() == u"separator"
                ? QStringLiteral("-")
                : childProperties.value(QStringLiteral("label")).toString());
    }
    item.endArray();
    item.endStructure();
    return children;
}

QStringList menuEntries(const QString &service, const QString &menuPath)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, menuPath, MenuInterface, QStringLiteral("GetLayout"));
    call << 0 << -1 << QStringList(); // the whole menu from its root, with every property
    const QDBusMessage reply = ask(call);
    if (reply.arguments().size() < 2)
        return {};
    return readMenuEntries(reply.arguments().at(1).value<QDBusArgument>());
}

class StatusNotifierTray : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_watcher = new WatcherThread;
        s_watcher->start();
    }
    static void TearDownTestSuite()
    {
        delete s_watcher;
        s_watcher = nullptr;
    }

    // The window with working hours on every day, so that the tooltip tells
    // of today; it waits until its item has registered with the watcher.
    TForm1 &startWindow()
    {
        writeFile(m_folder.filePath(QStringLiteral("Worktally.Setup")),
            "[WorkingHours]\nMon=07:24\nTue=07:24\nWed=07:24\nThu=07:24\nFri=07:24\nSat=07:24\nSun=07:24\n");
        const qsizetype before = s_watcher->items.services().size();
        m_form = std::make_unique<TForm1>(m_folder.path());
        m_form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_form.get()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return s_watcher->items.services().size() > before; }, 10000));
        m_service = s_watcher->items.services().value(before);
        return *m_form;
    }

    QString m_service; // where the window's item answers
    static WatcherThread *s_watcher;

private:
    QTemporaryDir m_folder;
    std::unique_ptr<TForm1> m_form;
};

WatcherThread *StatusNotifierTray::s_watcher = nullptr;

} // namespace

TEST_F(StatusNotifierTray, TheItemExportsTheTrayMenuAndTellsOfTodayInItsTooltip)
{
    TForm1 &form = startWindow();
    ASSERT_FALSE(m_service.isEmpty());
    EXPECT_TRUE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_TRUE(form.TrayIcon1->isAdded());

    // The panel draws the menu from the copy exported beside the item, with
    // the Alt letters as dbusmenu marks them.
    const QString menuPath = itemProperty(m_service, QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    EXPECT_NE(menuPath, "/NO_DBUSMENU");
    EXPECT_EQ(menuEntries(m_service, menuPath),
        QStringList({"_Worktally", "S_tart", "SorrelbySoft _WWW", "_About Worktally", "Preferences…", "-", "E_xit"}));

    // Qt 6.4 sends the whole tooltip as the title and leaves the body empty;
    // the panel shows "Worktally" over the line about today either way.
    const ToolTip tip = readToolTip(itemProperty(m_service, QStringLiteral("ToolTip")).value<QDBusArgument>());
    const QString today = form.TrayIcon1->Detail();
    ASSERT_TRUE(today.startsWith("Today ")) << today.toStdString();
    EXPECT_EQ((tip.title + u'\n' + tip.body).split(u'\n', Qt::SkipEmptyParts), QStringList({"Worktally", today}));
}

TEST_F(StatusNotifierTray, ActivateRestoresTheWindowAndTheContextMenuIsAnsweredAtOnce)
{
    TForm1 &form = startWindow();
    ASSERT_FALSE(m_service.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.TrayIcon1->isAdded(); }, 5000));
    QTest::mouseClick(form.btnMinimer, Qt::LeftButton);
    ASSERT_TRUE(form.isHidden());

    // A menu that waited for the user would hold the answer up: the test
    // closes any after two seconds.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
    });
    closer.start(2000);
    qint64 milliseconds = 0;
    callItem(m_service, QStringLiteral("ContextMenu"), &milliseconds);
    EXPECT_LT(milliseconds, 1000);
    EXPECT_TRUE(form.isHidden());

    callItem(m_service, QStringLiteral("Activate"));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
}

// On X11 too the shown window keeps its entry in the task bar beside the
// icon; only the window hidden in the tray leaves it. Nothing tells when a
// window manager has left a state alone, so a state that must not come is
// given a second.
TEST_F(StatusNotifierTray, TheTaskBarListsTheShownWindowOnly)
{
    TForm1 &form = startWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.TrayIcon1->isAdded(); }, 5000));
    Helper windowManager(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return windowProperty(form, QStringLiteral("WM_STATE")).contains("Normal"); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return taskbarListsWindow(form); }, 5000));
    EXPECT_FALSE(QTest::qWaitFor([&] { return !taskbarListsWindow(form); }, 1000));

    QTest::mouseClick(form.btnMinimer, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !taskbarListsWindow(form); }, 5000));

    callItem(m_service, QStringLiteral("Activate"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(QTest::qWaitFor([&] { return taskbarListsWindow(form); }, 5000));
    EXPECT_FALSE(QTest::qWaitFor([&] { return !taskbarListsWindow(form); }, 1000));
}

#include "statusnotifier_test.moc"
