#include "editwindow.h"
#include "maskededit.h"
#include "testsupport.h"

#include <gtest/gtest.h>

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
