#include "editwindow.h"
#include "maskededit.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QProxyStyle>

using namespace Qt::StringLiterals;

namespace {

struct TimeEdit : EditWindow<MaskedEdit>
{
    int changes = 0;

    TimeEdit()
    {
        edit->setEditMask(MaskedEdit::TimeMask);
        edit->OnChange = [this](MaskedEdit *) { ++changes; };
    }
    void type(const QString &text) { QTest::keyClicks(edit, text); }
};

struct ShownTimeEdit : MaskedEdit
{
    ShownTimeEdit() { setEditMask(MaskedEdit::TimeMask); }
    bool showsWholeText() { return ::showsWholeText(this); }
};

// A style whose frame takes 12 more pixels on either side of the text.
class WideFrameStyle : public QProxyStyle
{
public:
    WideFrameStyle()
        : QProxyStyle(QStringLiteral("Fusion"))
    { }
    QRect subElementRect(SubElement element, const QStyleOption *option, const QWidget *widget) const override
    {
        const QRect rect = QProxyStyle::subElementRect(element, option, widget);
        return element == SE_LineEditContents ? rect.adjusted(12, 0, -12, 0) : rect;
    }
};

} // namespace

TEST(MaskEdit, BlankMarksEmptyPlacesOnlyWhileFocused)
{
    TimeEdit w;
    EXPECT_EQ(w.edit->Text(), u"  :  "_s);
    EXPECT_EQ(w.edit->displayText(), u"  :  "_s);
    w.clickIntoEdit();
    EXPECT_EQ(w.edit->displayText(), u"__:__"_s);
    EXPECT_EQ(w.edit->Text(), u"  :  "_s);
    w.type(u"12"_s);
    // The change of blanks is no change of the text.
    w.changes = 0;
    w.tabAway();
    EXPECT_EQ(w.edit->displayText(), u"12:  "_s);
    w.clickIntoEdit();
    EXPECT_EQ(w.changes, 0);
    EXPECT_TRUE(w.edit->isModified());
}

TEST(MaskEdit, TypedDigitsFillThePlacesInTurn)
{
    TimeEdit w;
    w.clickIntoEdit();
    w.type(u"1405"_s);
    EXPECT_EQ(w.edit->Text(), u"14:05"_s);
    EXPECT_EQ(w.changes, 4);
}

TEST(MaskEdit, ShortHourGetsALeadingBlank)
{
    TimeEdit w;
    w.clickIntoEdit();
    w.type(u"7"_s);
    EXPECT_EQ(w.edit->Text(), u" 7:  "_s);
    // The separator closes the hour and moves on to the minutes.
    w.type(u":30"_s);
    EXPECT_EQ(w.edit->displayText(), u"_7:30"_s);
    EXPECT_EQ(w.edit->Text(), u" 7:30"_s);
    // Without "!" the empty places trail.
    w.edit->setEditMask(u"90:00;1;_"_s);
    w.edit->setText(QString());
    w.edit->home(false);
    w.type(u"7:30"_s);
    EXPECT_EQ(w.edit->Text(), u"7 :30"_s);
}

TEST(MaskEdit, SetTextRoundTrips)
{
    TimeEdit w;
    const std::pair<QString, QString> texts[] = {
        {u"14:05"_s, u"14:05"_s}, {u" 7:30"_s, u" 7:30"_s}, {u"  :  "_s, u"  :  "_s}, {QString(), u"  :  "_s},
        {u"1 :3 "_s, u" 1: 3"_s}, // a field's empty places go in front
    };
    for (const auto &[in, out] : texts) {
        w.edit->setText(in);
        EXPECT_EQ(w.edit->Text(), out);
    }
}

TEST(MaskEdit, SlashStandsForTheDateSeparator)
{
    TimeEdit w;
    w.edit->setEditMask(u"!99/99/99;1; "_s);
    w.edit->setDateSeparator(u'-');
    w.clickIntoEdit();
    // The separators are not typed; the digits flow past them.
    w.type(u"081298"_s);
    EXPECT_EQ(w.edit->Text(), u"08-12-98"_s);
    w.edit->setDateSeparator(u'.');
    EXPECT_EQ(w.edit->Text(), u"08.12.98"_s);
}

TEST(MaskEdit, LiteralsLeftOutOfTheTextWhenNotKept)
{
    TimeEdit w;
    w.edit->setEditMask(u"!90:00;0;_"_s);
    w.edit->setText(u" 730"_s);
    EXPECT_EQ(w.edit->displayText(), u" 7:30"_s);
    EXPECT_EQ(w.edit->Text(), u" 730"_s);
}

// A given width that leaves too little room for the whole mask text under the
// style and font gives way to what they need; a width that fits stays.
TEST(MaskEdit, NeverNarrowerThanItsWholeMaskText)
{
    QWidget window;
    auto *edit = new ShownTimeEdit;
    edit->setParent(&window);
    edit->setText(u"00:00"_s);
    edit->setGeometry(8, 24, 46, 21);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(edit->geometry(), QRect(8, 24, 46, 21));
    EXPECT_TRUE(edit->showsWholeText());

    WideFrameStyle wideFrame;
    edit->setStyle(&wideFrame);
    EXPECT_GT(edit->width(), 46);
    EXPECT_TRUE(edit->showsWholeText());
    const int fitting = edit->width();
    // Given again, the narrow width still gives way.
    edit->setGeometry(8, 24, 46, 21);
    EXPECT_EQ(edit->geometry(), QRect(8, 24, fitting, 21));
    // Only as far as needed: a pixel less scrolls the text.
    edit->setMinimumWidth(0);
    edit->resize(fitting - 1, 21);
    EXPECT_FALSE(edit->showsWholeText());
    edit->setStyle(nullptr);

    // A larger font needs more room as well; a wide given width stays.
    edit->setGeometry(8, 24, 46, 21);
    QFont large = edit->font();
    large.setPointSize(large.pointSize() * 3);
    edit->setFont(large);
    EXPECT_GT(edit->width(), 46);
    EXPECT_TRUE(edit->showsWholeText());
    edit->setGeometry(8, 24, 300, 21);
    EXPECT_EQ(edit->width(), 300);
}
