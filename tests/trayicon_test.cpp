#include "errors.h"
#include "testsupport.h"
#include "trayicon.h"

#include <gtest/gtest.h>
#include <QPixmap>

// The offscreen platform has no notification area: QSystemTrayIcon shows
// nothing there. The tests stand in a desktop that has one (or not) and check
// what the component hands to QSystemTrayIcon.

namespace {

QIcon solidIcon(Qt::GlobalColor color)
{
    QPixmap picture(16, 16);
    picture.fill(color);
    return QIcon(picture);
}

class DesktopTrayIcon : public TTrayIcon
{
public:
    bool areaAvailable = true;

    qint64 shownIconKey() { return systemTrayIcon()->icon().cacheKey(); }
    void platformReports(QSystemTrayIcon::ActivationReason reason) { emit systemTrayIcon()->activated(reason); }

protected:
    bool notificationAreaAvailable() const override { return areaAvailable; }
};

QString buttonName(Qt::MouseButton button)
{
    return button == Qt::LeftButton ? "left" : button == Qt::RightButton ? "right" : "middle";
}

// An added tray icon that writes down its events in order.
struct RecordedTray
{
    DesktopTrayIcon tray;
    QStringList events;

    RecordedTray()
    {
        tray.setIcon(solidIcon(Qt::red));
        tray.OnClick = [this](TTrayIcon *, Qt::MouseButton button, Qt::KeyboardModifiers, QPoint) {
            events << "click " + buttonName(button);
        };
        tray.OnDblClick = [this](TTrayIcon *) { events << "dblclick"; };
        tray.OnMouseDown = [this](TTrayIcon *, Qt::MouseButton button, Qt::KeyboardModifiers, bool doubleClick,
                               QPoint) { events << "down " + buttonName(button) + (doubleClick ? " double" : ""); };
        tray.OnMouseUp = [this](TTrayIcon *, Qt::MouseButton button, Qt::KeyboardModifiers, bool, QPoint) {
            events << "up " + buttonName(button);
        };
    }
};

} // namespace

TEST(TrayIcon, TheTooltipIsTheHintBeforeItsBarCutTo63Characters)
{
    DesktopTrayIcon tray;
    tray.setIcon(solidIcon(Qt::red));
    tray.setHint(QString(70, u'a'));
    EXPECT_EQ(tray.systemTrayIcon()->toolTip(), QString(63, u'a'));
    tray.setHint(QStringLiteral("Worktally|Counts the hours|of work"));
    EXPECT_EQ(tray.systemTrayIcon()->toolTip(), "Worktally");
    tray.setHint(QStringLiteral("|Only a long hint"));
    EXPECT_EQ(tray.systemTrayIcon()->toolTip(), "");
}

TEST(TrayIcon, TheDetailGoesBelowTheHintUncut)
{
    DesktopTrayIcon tray;
    tray.setIcon(solidIcon(Qt::red));
    tray.setHint(QStringLiteral("Worktally|Counts the hours"));
    tray.setDetail(QString(70, u'b'));
    EXPECT_EQ(tray.systemTrayIcon()->toolTip(), "Worktally\n" + QString(70, u'b'));
    tray.setDetail({});
    EXPECT_EQ(tray.systemTrayIcon()->toolTip(), "Worktally");
}

TEST(TrayIcon, IsAddedOnlyWhileActiveWithAnIconAndANotificationArea)
{
    DesktopTrayIcon tray;
    tray.setHint(QStringLiteral("Worktally"));
    EXPECT_FALSE(tray.isAdded());
    const QIcon red = solidIcon(Qt::red);
    tray.setIcon(red);
    EXPECT_TRUE(tray.isAdded());
    EXPECT_EQ(tray.shownIconKey(), red.cacheKey());
    tray.setActive(false);
    EXPECT_FALSE(tray.systemTrayIcon()->isVisible());
    tray.setActive(true);
    tray.setIcon(QIcon());
    EXPECT_FALSE(tray.isAdded());

    tray.areaAvailable = false;
    tray.setIcon(red);
    EXPECT_FALSE(tray.isAdded());
    tray.areaAvailable = true; // a notification area starts later
    tray.checkNotificationArea();
    EXPECT_TRUE(tray.isAdded());
    tray.areaAvailable = false;
    tray.checkNotificationArea();
    EXPECT_FALSE(tray.isAdded());

    // The real question goes to the platform.
    TTrayIcon real;
    real.setIcon(red);
    EXPECT_EQ(real.isAdded(), QSystemTrayIcon::isSystemTrayAvailable());
}

TEST(TrayIcon, PlatformClicksArriveAsPressesAndReleases)
{
    RecordedTray t;
    for (auto reason :
        {QSystemTrayIcon::Trigger, QSystemTrayIcon::Context, QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown})
        t.tray.platformReports(reason);
    EXPECT_EQ(t.events,
        QStringList({"down left", "click left", "up left", "down right", "click right", "up right", "down middle",
            "up middle"}));

    // The second press of a double click makes no second click.
    t.events.clear();
    t.tray.platformReports(QSystemTrayIcon::Trigger);
    t.tray.platformReports(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(t.events, QStringList({"down left", "click left", "up left", "dblclick", "down left double", "up left"}));

    // Nor does a press from before the icon left the tray.
    t.events.clear();
    t.tray.handleTrayMessage(TrayMouseMessage::LeftDown);
    t.tray.setActive(false);
    t.tray.setActive(true);
    t.tray.handleTrayMessage(TrayMouseMessage::LeftUp);
    EXPECT_EQ(t.events, QStringList({"down left", "up left"}));
}

// The platform shows the menu without waiting for it: a StatusNotifierItem
// host from the copy Qt exports, an XEmbed notification area by itself.
TEST(TrayIcon, TheMenuGoesToThePlatformOnlyWhileItPopsUpByItself)
{
    RecordedTray t;
    auto *menu = new TPopupMenu;
    t.tray.setPopupMenu(menu);
    EXPECT_EQ(t.tray.systemTrayIcon()->contextMenu(), menu);
    t.tray.platformReports(QSystemTrayIcon::Context);
    EXPECT_EQ(t.events, QStringList({"down right", "up right"}));

    t.events.clear();
    menu->setAutoPopup(false);
    EXPECT_EQ(t.tray.systemTrayIcon()->contextMenu(), nullptr);
    t.tray.platformReports(QSystemTrayIcon::Context);
    menu->setAutoPopup(true);
    EXPECT_EQ(t.tray.systemTrayIcon()->contextMenu(), menu);
    delete menu;
    EXPECT_EQ(t.tray.PopupMenu(), nullptr);
    t.tray.platformReports(QSystemTrayIcon::Context);
    EXPECT_EQ(
        t.events, QStringList({"down right", "click right", "up right", "down right", "click right", "up right"}));

    TPopupMenu other;
    t.tray.setPopupMenu(&other);
    t.tray.setActive(false);
    EXPECT_EQ(t.tray.systemTrayIcon()->contextMenu(), nullptr);
    t.tray.setActive(true);
    EXPECT_EQ(t.tray.systemTrayIcon()->contextMenu(), &other);
}

TEST(TrayIcon, ADoubleClickRunsTheMenusDefaultItemWhenItCanBeClicked)
{
    RecordedTray t;
    TPopupMenu menu;
    t.tray.setPopupMenu(&menu);
    QAction *restore = menu.addAction(QStringLiteral("&Worktally"));
    int restored = 0;
    QObject::connect(restore, &QAction::triggered, [&] { ++restored; });
    const auto doubleClick = [&] {
        t.events.clear();
        t.tray.handleTrayMessage(TrayMouseMessage::LeftDoubleClick);
        return t.events;
    };

    EXPECT_EQ(doubleClick(), QStringList({"dblclick", "down left double"})); // no default item yet
    menu.setDefaultAction(restore);
    EXPECT_EQ(doubleClick(), QStringList({"down left double"}));
    EXPECT_EQ(restored, 1);
    restore->setEnabled(false);
    EXPECT_EQ(doubleClick().first(), "dblclick");
    restore->setEnabled(true);
    // Items of a submenu do not count.
    menu.removeAction(restore);
    menu.addMenu(QStringLiteral("More"))->addAction(restore);
    EXPECT_EQ(doubleClick().first(), "dblclick");
    EXPECT_EQ(restored, 1);
}

TEST(TrayIcon, WhileDisabledTheMouseDoesNothing)
{
    RecordedTray t;
    TPopupMenu menu;
    t.tray.setPopupMenu(&menu);
    t.tray.setEnabled(false);
    for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::Context, QSystemTrayIcon::DoubleClick,
             QSystemTrayIcon::MiddleClick})
        t.tray.platformReports(reason);
    EXPECT_TRUE(t.events.isEmpty());
    EXPECT_EQ(t.tray.systemTrayIcon()->contextMenu(), nullptr);
    t.tray.setEnabled(true);
    EXPECT_EQ(t.tray.systemTrayIcon()->contextMenu(), &menu);
}

TEST(TrayIcon, AFailingHandlerIsReportedAndTheIconGoesOn)
{
    MessageRecorder messages;
    RecordedTray t;
    t.tray.OnClick = [](TTrayIcon *, Qt::MouseButton, Qt::KeyboardModifiers, QPoint) {
        throw WorktallyError(QStringLiteral("Click failed"));
    };
    t.tray.platformReports(QSystemTrayIcon::Trigger);
    t.tray.platformReports(QSystemTrayIcon::Trigger);
    EXPECT_EQ(messages.texts, QStringList({"Click failed", "Click failed"}));
    // The failure ends only the release it happened in.
    EXPECT_EQ(t.events, QStringList({"down left", "down left"}));
}

TEST(TrayIcon, AnimationCyclesTheFramesOnItsTimerUntilTheFramesAreGone)
{
    DesktopTrayIcon tray;
    const QIcon still = solidIcon(Qt::gray);
    const QList<QIcon> frames = {solidIcon(Qt::red), solidIcon(Qt::green), solidIcon(Qt::blue)};
    tray.setIcon(still);
    tray.setAnimated(true);
    EXPECT_FALSE(tray.Animated()); // nothing to animate yet
    tray.setIcons(frames);
    tray.setAnimated(true);
    auto *clock = tray.findChild<QTimer *>();
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(clock->interval(), 150);
    EXPECT_EQ(tray.shownIconKey(), frames[0].cacheKey());
    for (int frame : {1, 2, 0}) {
        QMetaObject::invokeMethod(clock, "timeout");
        EXPECT_EQ(tray.shownIconKey(), frames[frame].cacheKey());
    }
    // The frames stand still while the icon is out of the tray.
    tray.setActive(false);
    EXPECT_FALSE(clock->isActive());
    tray.setActive(true);
    EXPECT_TRUE(clock->isActive());

    tray.setIcons({});
    EXPECT_FALSE(tray.Animated());
    EXPECT_FALSE(clock->isActive());
    EXPECT_EQ(tray.shownIconKey(), still.cacheKey());
}
