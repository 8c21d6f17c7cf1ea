#include "clocksource.h"
#include "dateedit.h"
#include "editwindow.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

DateTime date(int year, int month, int day)
{
    return *tryEncodeDate(year, month, day);
}

QDateTime inYear(int year)
{
    return QDateTime(QDate(year, 3, 15), QTime(10, 0));
}

// The main window's kind of date edit, "today" being 15 March 2026.
struct DateWindow : EditWindow<TDateEdit>
{
    FixedClock clock {inYear(2026)};
    int changes = 0;
    QList<DateTime> offered;

    DateWindow()
    {
        edit->setDateLayout(DateFieldOrder::DayMonthYear, u'-');
        edit->setYearDigits(dyTwo);
        edit->setDate(date(2026, 3, 8));
        edit->OnChange = [this](MaskedEdit *) { ++changes; };
        edit->OnAcceptDate = [this](TDateEdit *, DateTime &date, bool &) { offered << date; };
    }

    // Keys go where a user's keys would: to the open calendar, if any.
    void key(int key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    void type(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    void dropDown()
    {
        clickIntoEdit();
        key(Qt::Key_Down, Qt::AltModifier);
        ASSERT_TRUE(edit->PopupVisible());
    }
    TLocCalendar *calendar() const { return edit->popup()->calendar(); }
};

bool hasPixel(const QImage &image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                return true;
    return false;
}

} // namespace

TEST(DateEdit, LayoutFollowsTheDefaultLocaleUnlessFixed)
{
    FixedClock clock(inYear(1999));
    const QLocale previous;
    const struct
    {
        QLocale locale;
        QString format, text;
    } locales[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), u"MM/DD/YY"_s, u"12/08/98"_s},
        {QLocale(QLocale::German, QLocale::Germany), u"DD/MM/YY"_s, u"08.12.98"_s},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), u"DD/MM/YYYY"_s, u"08/12/1998"_s},
        {QLocale(QLocale::Japanese, QLocale::Japan), u"YYYY/MM/DD"_s, u"1998/12/08"_s},
    };
    for (const auto &l : locales) {
        QLocale::setDefault(l.locale);
        TDateEdit edit;
        edit.setDate(date(1998, 12, 8));
        EXPECT_EQ(edit.DateFormat(), l.format);
        EXPECT_EQ(edit.Text(), l.text);
        // The main window's layout, which keeps the date.
        edit.setDateLayout(DateFieldOrder::DayMonthYear, u'-');
        edit.setYearDigits(dyTwo);
        EXPECT_EQ(edit.Text(), u"08-12-98"_s);
        EXPECT_EQ(edit.EditMask(), u"!99/99/99;1; "_s);
        EXPECT_EQ(edit.Date(), date(1998, 12, 8));
    }
    QLocale::setDefault(previous);
}

TEST(DateEdit, TypedDigitsMakeADateInTheClocksCentury)
{
    DateWindow w;
    w.clickIntoEdit();
    w.changes = 0;
    w.type(u"081298"_s);
    EXPECT_EQ(w.edit->Text(), u"08-12-98"_s);
    EXPECT_EQ(w.changes, 6);
    EXPECT_EQ(w.edit->Date(), date(2098, 12, 8));
    w.clock.set(inYear(1999));
    EXPECT_EQ(w.edit->Date(), date(1998, 12, 8));
    w.edit->setText(u"08-12-28"_s);
    EXPECT_EQ(w.edit->Date(), date(2028, 12, 8));
}

TEST(DateEdit, KeysSetAndStepTheDate)
{
    DateWindow w;
    w.clickIntoEdit();
    w.type(u"+-"_s);
    EXPECT_EQ(w.edit->Text(), u"08-03-26"_s);
    w.type(u"t"_s);
    EXPECT_EQ(w.edit->Text(), u"15-03-26"_s);
    w.edit->setText(QString());
    w.key(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(w.edit->Text(), u"16-03-26"_s);
    EXPECT_EQ(w.edit->selectedText(), w.edit->Text());
    w.key(Qt::Key_Minus, Qt::KeypadModifier);
    w.key(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(w.edit->Text(), u"14-03-26"_s);
    w.edit->setDate(date(2026, 12, 31));
    w.key(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(w.edit->Text(), u"01-01-27"_s);
    // Not with Shift, nor without direct input.
    w.key(Qt::Key_Plus, Qt::KeypadModifier | Qt::ShiftModifier);
    w.edit->setDirectInput(false);
    w.key(Qt::Key_Plus, Qt::KeypadModifier);
    w.type(u"T"_s);
    EXPECT_EQ(w.edit->Text(), u"01-01-27"_s);
}

TEST(DateEdit, DefaultTodayStandsInForAMissingDate)
{
    DateWindow w;
    w.edit->setText(QString());
    EXPECT_EQ(w.edit->Text(), u"  -  -  "_s);
    EXPECT_EQ(w.edit->Date(), DateUtil::NullDate);
    w.edit->setDate(-700000); // before the year 1
    EXPECT_EQ(w.edit->Text(), u"  -  -  "_s);

    w.edit->setDefaultToday(true);
    EXPECT_EQ(w.edit->Date(), date(2026, 3, 15));
    w.edit->setText(u"08-  -26"_s);
    EXPECT_EQ(w.edit->Date(), date(2026, 3, 15));
    w.edit->setDate(DateUtil::NullDate);
    EXPECT_EQ(w.edit->Text(), u"15-03-26"_s);
}

TEST(DateEdit, AltDownOpensTheCalendarAndEnterAccepts)
{
    DateWindow w;
    w.changes = 0;
    w.dropDown();
    EXPECT_EQ(QApplication::focusWidget(), w.calendar());
    EXPECT_EQ(w.calendar()->CalendarDate(), date(2026, 3, 8));
    w.key(Qt::Key_Right);
    w.key(Qt::Key_PageDown);
    w.key(Qt::Key_Return);
    EXPECT_FALSE(w.edit->PopupVisible());
    EXPECT_EQ(w.offered, QList<DateTime>({date(2026, 4, 9)}));
    EXPECT_EQ(w.edit->Text(), u"09-04-26"_s);
    EXPECT_EQ(w.changes, 1);
    EXPECT_TRUE(w.edit->hasFocus());

    w.edit->OnAcceptDate = [](TDateEdit *, DateTime &date, bool &) { date += 7; };
    w.dropDown();
    w.key(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(w.edit->Text(), u"16-04-26"_s);
    w.edit->OnAcceptDate = [](TDateEdit *, DateTime &, bool &action) { action = false; };
    w.dropDown();
    w.key(Qt::Key_Right);
    w.key(Qt::Key_Return);
    EXPECT_FALSE(w.edit->PopupVisible());
    EXPECT_EQ(w.edit->Text(), u"16-04-26"_s);
}

TEST(DateEdit, CalendarClosesOnEscapeAClickOutsideOrTheClickKeyWithoutAccepting)
{
    DateWindow w;
    w.dropDown();
    w.key(Qt::Key_Right);
    w.key(Qt::Key_Escape);
    EXPECT_FALSE(w.edit->PopupVisible());
    w.dropDown();
    w.key(Qt::Key_Right);
    QTest::mouseClick(w.edit->popup(), Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_FALSE(w.edit->PopupVisible());
    // Typing goes on in the edit while the calendar is open, quietly.
    w.changes = 0;
    w.dropDown();
    w.type(u"1"_s);
    EXPECT_TRUE(w.edit->PopupVisible());
    w.key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(w.edit->PopupVisible());
    EXPECT_TRUE(w.offered.isEmpty());
    EXPECT_EQ(w.edit->Text(), u"18-03-26"_s);
    EXPECT_EQ(w.changes, 0);
    // A click on a day chooses it. March 2026 begins on a Sunday: the 20th
    // is a Friday in row 4.
    w.dropDown();
    QTest::mouseClick(w.calendar(), Qt::LeftButton, {}, w.calendar()->cellRect(4, 4).center());
    EXPECT_FALSE(w.edit->PopupVisible());
    EXPECT_EQ(w.edit->Text(), u"20-03-26"_s);
}

TEST(DateEdit, CalendarOpensBelowTheEdit)
{
    DateWindow w;
    w.window.resize(600, 300);
    w.edit->move(300, 10); // room on either side
    w.dropDown();
    const QRect edit(w.edit->mapToGlobal(QPoint(0, 0)), w.edit->size());
    // The offscreen platform moves a window it shows the first time by its
    // frame's width, 2 pixels.
    const QRect right = w.edit->popup()->geometry();
    EXPECT_NEAR(right.right(), edit.right(), 2);
    EXPECT_NEAR(right.top(), edit.bottom() + 1, 2);
    w.key(Qt::Key_Escape);
    w.edit->setPopupAlign(epaLeft);
    w.edit->setText(QString());
    w.dropDown();
    EXPECT_EQ(w.edit->popup()->geometry().topLeft(), QPoint(edit.left(), edit.bottom() + 1));
    // An empty text opens on today.
    EXPECT_EQ(w.calendar()->CalendarDate(), date(2026, 3, 15));
}

TEST(DateEdit, CalendarSettingsReachTheCalendar)
{
    DateWindow w;
    w.edit->setStartOfWeek(Sun);
    w.edit->setWeekends({Sat, Sun});
    w.edit->setWeekendColor(BlueColor);
    w.edit->setPopupColor(WhiteColor);
    w.edit->setCalendarHints({"a", "b", "c", "d", "e"});
    EXPECT_EQ(w.edit->CalendarHints(), QStringList({"a", "b", "c", "d"}));
    w.edit->setCalendarStyle(csDialog);
    EXPECT_EQ(w.edit->popup(), nullptr);
    w.edit->setCalendarStyle(csPopup);
    EXPECT_EQ(w.calendar()->StartOfWeek(), Sun);
    EXPECT_EQ(w.calendar()->Weekends(), TDaysOfWeek({Sat, Sun}));
    EXPECT_EQ(w.calendar()->WeekendColor(), BlueColor);
    EXPECT_EQ(w.edit->popup()->Color(), WhiteColor);
    EXPECT_EQ(w.edit->popup()->panel()->stepButton(CalendarPanel::NextYear)->toolTip(), u"d"_s);
}

TEST(DateEdit, CheckOnExitKeepsTheFocusOnAnInvalidDate)
{
    MessageRecorder messages;
    DateWindow w;
    w.edit->setCheckOnExit(true);
    w.edit->setText(QString());
    w.clickIntoEdit();
    w.tabAway();
    EXPECT_TRUE(messages.texts.isEmpty());

    w.clickIntoEdit();
    w.edit->setText(u"32-13-98"_s);
    w.tabAway();
    EXPECT_EQ(messages.texts, QStringList({u"'32-13-98' is not a valid date"_s}));
    EXPECT_TRUE(w.edit->hasFocus());

    // A valid text is put in its standard form, quietly.
    w.edit->setText(u"8 -1 -26"_s);
    w.changes = 0;
    w.tabAway();
    EXPECT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(w.other->hasFocus());
    EXPECT_EQ(w.edit->Text(), u"08-01-26"_s);
    EXPECT_EQ(w.changes, 0);
}

TEST(DateEdit, ButtonAtTheRightEndOpensAndClosesTheCalendar)
{
    DateWindow w;
    QStringList events;
    w.edit->OnButtonClick = [&](TDateEdit *sender) { events << (sender->PopupVisible() ? "open" : "closed"); };
    const QRect button = w.edit->button()->geometry();
    EXPECT_EQ(button.width(), w.edit->ButtonWidth());
    EXPECT_GE(button.right(), w.edit->width() - 4);
    EXPECT_EQ(w.edit->textMargins().right(), w.edit->ButtonWidth());
    // The built-in calendar picture has a red band.
    EXPECT_TRUE(hasPixel(w.edit->button()->grab().toImage(), toQColor(clRed).rgb()));

    QTest::mouseClick(w.edit->button(), Qt::LeftButton);
    EXPECT_TRUE(w.edit->PopupVisible());
    w.key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(w.edit->PopupVisible());
    EXPECT_EQ(events, QStringList({"closed", "open"}));

    w.edit->setGlyphKind(gkEllipsis);
    EXPECT_LT(w.edit->ButtonWidth(), button.width());
    w.edit->setButtonWidth(1);
    EXPECT_TRUE(w.edit->button()->isHidden());
    EXPECT_EQ(w.edit->textMargins().right(), 0);
}

TEST(DateEdit, ReadOnlyTakesNeitherTypingNorTheCalendar)
{
    DateWindow w;
    w.edit->setReadOnly(true);
    w.clickIntoEdit();
    w.type(u"1t"_s);
    w.key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(w.edit->PopupVisible());
    EXPECT_FALSE(w.edit->button()->isEnabled());
    EXPECT_EQ(w.edit->Text(), u"08-03-26"_s);
    // Without direct input the calendar still sets the date.
    w.edit->setReadOnly(false);
    w.edit->setDirectInput(false);
    w.dropDown();
    w.key(Qt::Key_Return);
    EXPECT_EQ(w.offered.size(), 1);
}

TEST(DateEdit, DialogStyleChoosesInAModalDialog)
{
    DateWindow w;
    w.edit->setCalendarStyle(csDialog);
    QString title;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<TSelectDateDlg *>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no date dialog";
            return;
        }
        title = dialog->windowTitle();
        QTest::keyClick(dialog->panel()->calendar(), Qt::Key_Right);
        QTest::keyClick(dialog->panel()->calendar(), Qt::Key_Return);
    });
    w.clickIntoEdit();
    w.key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(title, u"Select a Date"_s);
    EXPECT_EQ(w.offered, QList<DateTime>({date(2026, 3, 9)}));
    EXPECT_EQ(w.edit->Text(), u"09-03-26"_s);
    EXPECT_EQ(w.edit->selectedText(), w.edit->Text());
    EXPECT_EQ(w.window.focusWidget(), w.edit);
}

// The button's room comes on top of the whole date: a narrow edit gives way
// as far as a wider button needs.
TEST(DateEdit, ButtonLeavesTheWholeDateShown)
{
    DateWindow w;
    w.edit->setGeometry(10, 10, 40, 21);
    const int fitting = w.edit->width();
    EXPECT_GT(fitting, 40);
    EXPECT_TRUE(showsWholeText(w.edit)) << w.edit->displayText().toStdString();
    w.edit->setButtonWidth(w.edit->ButtonWidth() + 30);
    EXPECT_EQ(w.edit->width(), fitting + 30);
    EXPECT_TRUE(showsWholeText(w.edit));
    EXPECT_GE(w.edit->button()->geometry().right(), w.edit->width() - 4);
}
