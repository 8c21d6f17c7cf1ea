// Worktally in a Wayland session (the test runs under wayland_session.sh:
// weston in a window of an X server of its own, whose keyboard the test types
// on with xdotool, so that the compositor hands real keys to the program):
// the main window, its drop-downs as pop-ups beside the window they drop
// from, seen on weston's screen, and the saving exit of the real program.

#include "clocksource.h"
#include "dateedit.h"
#include "editinggrid.h"
#include "hghintwindow.h"
#include "mainwindow.h"
#include "popuplistbox.h"
#include "popupmenu.h"
#include "testsupport.h"

#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QWindow>

namespace {

QString run(const QString &program, const QStringList &arguments, const QString &folder = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// The X server's pointer goes to the middle of weston's panel, at the top
// of its screen, where it covers no window. It comes from outside weston's
// window (the X screen is larger), as weston follows a pointer only from
// the moment it enters.
void parkPointer()
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QStringLiteral("1200"), QStringLiteral("900"), QStringLiteral("mousemove"),
            QStringLiteral("512"), QStringLiteral("10")});
}

// Keys typed on the X server's keyboard; weston hands them to the window it
// gave the keyboard focus.
void typeKeys(const QString &keys)
{
    parkPointer(); // over weston's window, which then has the X server's keyboard
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
}

// Weston's screen as it shows it now.
QImage screenshot()
{
    QTemporaryDir folder;
    run(QStringLiteral("weston-screenshooter"), {}, folder.path());
    const QStringList shots = QDir(folder.path()).entryList({QStringLiteral("*.png")}, QDir::Files);
    return shots.size() == 1 ? QImage(QDir(folder.path()).filePath(shots[0])).convertToFormat(QImage::Format_RGB32)
                             : QImage();
}

bool sameAt(const QImage &screen, const QImage &picture, QPoint at)
{
    const qsizetype rowBytes = qsizetype(picture.width()) * 4;
    for (int y = 0; y < picture.height(); ++y) {
        if (std::memcmp(screen.constScanLine(at.y() + y) + qsizetype(at.x()) * 4, picture.constScanLine(y), rowBytes))
            return false;
    }
    return true;
}

// Where widget's window has its top-left corner on screen, found by the one
// place where what the widget shows (or the part of it in area) is seen
// whole; nothing where it is not seen, or not once.
std::optional<QPoint> windowSeenAt(const QImage &screen, QWidget *widget, QRect area = {})
{
    // Grabbed from its window, which paints the background it shows on.
    QWidget *window = widget->window();
    const QRect part = (area.isNull() ? widget->rect() : area).translated(widget->mapTo(window, QPoint(0, 0)));
    const QImage picture = window->grab(part).toImage().convertToFormat(QImage::Format_RGB32);
    std::optional<QPoint> found;
    for (int y = 0; y + picture.height() <= screen.height(); ++y) {
        for (int x = 0; x + picture.width() <= screen.width(); ++x) {
            if (sameAt(screen, picture, {x, y})) {
                if (found)
                    return std::nullopt;
                found = QPoint(x, y) - part.topLeft();
            }
        }
    }
    return found;
}

std::optional<QPoint> waitUntilSeen(QWidget *widget, QRect area = {})
{
    std::optional<QPoint> seen;
    (void)QTest::qWaitFor([&] { return (seen = windowSeenAt(screenshot(), widget, area)).has_value(); }, 10000);
    return seen;
}

// The part of anchor's parent down to anchor's bottom edge, which a pop-up
// dropping from anchor leaves uncovered.
QRect downTo(QWidget *anchor)
{
    return QRect(0, 0, anchor->parentWidget()->width(), anchor->geometry().bottom() + 1);
}

// The part of anchor's parent from anchor's top edge down, which a pop-up
// above anchor leaves uncovered.
QRect downFrom(QWidget *anchor)
{
    const int top = anchor->geometry().top();
    return QRect(0, top, anchor->parentWidget()->width(), anchor->parentWidget()->height() - top);
}

// Where weston shows popup from the top-left corner of the window it belongs
// to, which is found by what landmark shows (the part of it in area).
std::optional<QPoint> popupSeenFrom(QWidget *popup, QWidget *landmark, QRect area = {})
{
    std::optional<QPoint> offset;
    (void)QTest::qWaitFor(
        [&] {
            const QImage screen = screenshot();
            const std::optional<QPoint> shown = windowSeenAt(screen, popup);
            const std::optional<QPoint> window = windowSeenAt(screen, landmark, area);
            if (shown && window)
                offset = *shown - *window;
            return offset.has_value();
        },
        10000);
    return offset;
}

// Where Qt put the pop-up from the top-left corner of the anchor's window.
QPoint placedFrom(QWidget *popup, QWidget *anchor)
{
    return popup->mapToGlobal(QPoint(0, 0)) - anchor->window()->mapToGlobal(QPoint(0, 0));
}

// The X server's pointer clicks with button (1 left, 3 right) on the middle
// of widget, found on screen by what landmark (in the same window) shows.
void clickOnScreen(QWidget *widget, QWidget *landmark, int button = 1)
{
    parkPointer();
    const std::optional<QPoint> window = waitUntilSeen(landmark);
    ASSERT_TRUE(window.has_value());
    const QPoint at = *window + widget->mapTo(widget->window(), widget->rect().center());
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
            QString::number(button)});
    parkPointer();
}

struct WaylandWindow : public ::testing::Test
{
    WaylandWindow()
    {
        // A steady text cursor looks the same in every screenshot.
        QApplication::setCursorFlashTime(0);
        writeFile(folder.filePath(QStringLiteral("Hourbook.csv")), WorkedExampleFile);
        form = std::make_unique<TForm1>(folder.path());
        form->show();
    }

    // The next window looks the same: it is not to be found where this one
    // was.
    ~WaylandWindow() override
    {
        form->hide();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !windowSeenAt(screenshot(), form->GroupBox1); }, 10000));
    }

    QTemporaryDir folder;
    FixedClock clock {QDateTime(QDate(2026, 12, 7), QTime(14, 5))};
    MessageRecorder messages;
    std::unique_ptr<TForm1> form;
};

} // namespace

TEST_F(WaylandWindow, MainWindowIsShownExposedAndActive)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->isActiveWindow(); })); // weston gave it the keyboard
    EXPECT_EQ(form->size(), QSize(670, 423));
    EXPECT_EQ(form->windowHandle()->transientParent(), nullptr);
    EXPECT_TRUE(waitUntilSeen(form->GroupBox1).has_value());
}

TEST_F(WaylandWindow, CalendarDropsDownAsAPopupOfTheMainWindowUnderItsEdit)
{
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->isActiveWindow(); }, 10000)); // weston gave it the keyboard
    TDateEdit *edit = form->DateEdit1;
    clickOnScreen(edit->button(), form->GroupBox1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->PopupVisible(); }, 10000));
    TPopupCalendar *calendar = edit->popup();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(calendar));

    QWindow *window = calendar->windowHandle();
    EXPECT_EQ(window->type(), Qt::Popup);
    EXPECT_EQ(window->transientParent(), form->windowHandle());
    // Below the edit, lined up with its right edge, where weston shows it.
    EXPECT_EQ(calendar->mapToGlobal(QPoint(0, 0)) - edit->mapToGlobal(QPoint(0, 0)),
        QPoint(edit->width() - calendar->width(), edit->height()));
    EXPECT_EQ(popupSeenFrom(calendar, edit->parentWidget(), downTo(edit)), placedFrom(calendar, edit));

    typeKeys(QStringLiteral("Escape"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !edit->PopupVisible(); }, 10000));
}

TEST_F(WaylandWindow, SetupMenuOpensAsAPopupOfTheMainWindowAtTheClick)
{
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->isActiveWindow(); }, 10000));
    QWidget *setup = form->SpeedButton1;
    clickOnScreen(setup, form->GroupBox1, 3);
    TPopupMenu *menu = form->SetupMenu;
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 10000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));

    EXPECT_EQ(menu->windowHandle()->type(), Qt::Popup);
    EXPECT_EQ(menu->windowHandle()->transientParent(), form->windowHandle());
    EXPECT_EQ(menu->mapToGlobal(QPoint(0, 0)), setup->mapToGlobal(setup->rect().center()));
    EXPECT_EQ(popupSeenFrom(menu, form->GroupBox1), placedFrom(menu, setup));

    typeKeys(QStringLiteral("Escape"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }, 10000));
}

TEST(WaylandGrid, ListDropsDownAsAPopupOfTheGridsWindowUnderItsEditor)
{
    QApplication::setCursorFlashTime(0);
    EditingGrid g;
    g.column(1)->setControlType(hgctlComboBox);
    g.column(1)->setItems({QStringLiteral("Apple"), QStringLiteral("Banana"), QStringLiteral("Charlie")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return g.grid.hasFocus(); }, 10000)); // weston gave its window the keyboard
    g.grid.setCells(1, 2, QStringLiteral("Apple"));
    g.edit(1, 2);
    ASSERT_TRUE(g.editorShown());
    typeKeys(QStringLiteral("alt+Down"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return g.editor()->List() && g.editor()->List()->isVisible(); }, 10000));
    TPopupListbox *list = g.editor()->List();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));

    EXPECT_EQ(list->windowHandle()->transientParent(), g.window.windowHandle());
    EXPECT_TRUE(g.editor()->hasFocus()); // the editor keeps the keys
    EXPECT_EQ(popupSeenFrom(list, g.editor()->parentWidget(), downTo(g.editor())), placedFrom(list, g.editor()));

    typeKeys(QStringLiteral("Down"));
    typeKeys(QStringLiteral("Return"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list->isVisible(); }, 10000));
    EXPECT_EQ(g.grid.Cells(1, 2), QStringLiteral("Banana"));
}

TEST(WaylandGrid, SuggestionShowsAsAPopupOfTheGridsWindowAboveItsEditor)
{
    QApplication::setCursorFlashTime(0);
    EditingGrid g;
    g.column(1)->setControlType(hgctlComboBox);
    g.column(1)->setItems({QStringLiteral("Apple"), QStringLiteral("Charlie")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return g.grid.hasFocus(); }, 10000));
    g.edit(1, 3);
    ASSERT_TRUE(g.editorShown());
    typeKeys(QStringLiteral("c"));
    typeKeys(QStringLiteral("h"));
    ThgHintWindow *hint = g.editor()->SuggestionHint();
    ASSERT_TRUE(QTest::qWaitFor([&] { return hint->isVisible(); }, 10000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(hint));

    EXPECT_EQ(hint->Text(), QStringLiteral("Charlie"));
    EXPECT_EQ(hint->windowHandle()->transientParent(), g.window.windowHandle());
    EXPECT_LT(hint->geometry().bottom(), g.editor()->mapToGlobal(QPoint(0, 0)).y());
    EXPECT_EQ(popupSeenFrom(hint, g.editor()->parentWidget(), downFrom(g.editor())), placedFrom(hint, g.editor()));

    typeKeys(QStringLiteral("Return"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !hint->isVisible(); }, 10000));
    EXPECT_EQ(g.grid.Cells(1, 3), QStringLiteral("Charlie"));
}

// Ended by a signal, the real program saves and exits with code 0.
TEST(WaylandProgram, EndedBySignalItSavesAndExitsCleanly)
{
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("worktally"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(WORKTALLY_EXECUTABLE), program));
    const QString worksheet = folder.filePath(QStringLiteral("Hourbook.csv"));
    writeFile(worksheet, WorkedExampleFile);

    QTemporaryDir runtime, dataHome, stateHome;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome.path());
    environment.insert(QStringLiteral("XDG_STATE_HOME"), stateHome.path());
    // Qt's messages to the compositor tell when the window is on screen.
    environment.insert(QStringLiteral("WAYLAND_DEBUG"), QStringLiteral("client"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, {});
    ASSERT_TRUE(process.waitForStarted(5000));

    // The window is shown once a buffer is attached after the configure
    // that weston sent its top-level.
    const QRegularExpression shown(QStringLiteral("ack_configure[\\s\\S]*wl_surface@\\d+\\.attach\\(wl_buffer"));
    QByteArray log;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            log += process.readAllStandardError();
            return shown.match(QString::fromLatin1(log)).hasMatch();
        },
        15000));

    ::kill(pid_t(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    const QByteArray saved = readFile(worksheet); // with the differences worked out
    EXPECT_TRUE(saved.startsWith("\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\","
                                 "\"-02:54\",\"Train \"\"late\"\"\"\r\n"));
    EXPECT_TRUE(saved.endsWith("\r\n" + BottomLineCsv));
}
