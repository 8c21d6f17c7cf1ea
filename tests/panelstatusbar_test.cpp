#include "panelstatusbar.h"

#include <gtest/gtest.h>
#include <QFontMetrics>

namespace {

// The main window's status bar, in its font: home, nominal, difference and version panels.
struct TotalsBar
{
    PanelStatusBar bar;

    TotalsBar()
    {
        QFont tahoma(QStringLiteral("Tahoma"));
        tahoma.setPointSize(8);
        bar.setFont(tahoma);
        bar.resize(670, 25);
        bar.addPanel(235, Qt::AlignRight);
        bar.addPanel(155, Qt::AlignRight);
        bar.addPanel(70, Qt::AlignRight);
        bar.addPanel(45, Qt::AlignHCenter, QStringLiteral("v. 1.00"));
    }

    int advance(const QString &text) const { return QFontMetrics(bar.font()).horizontalAdvance(text); }
};

const QString YearOfNominalTime = QStringLiteral("01-01-26 - 04-12-26:  -1776:00 ");

TEST(PanelStatusBar, TooWideTextKeepsItsWholeFigureAndTheDatesGiveWay)
{
    TotalsBar totals;
    totals.bar.setPanelText(1, YearOfNominalTime);
    const int room = totals.bar.panelTextRect(1).width();
    ASSERT_GT(totals.advance(YearOfNominalTime), room) << "the text must be too wide for the panel";

    const QString shown = totals.bar.shownText(1);
    EXPECT_LE(totals.advance(shown), room) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("  -1776:00 "))) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(YearOfNominalTime.endsWith(shown.mid(1))) << "the dates give way from their left";
    EXPECT_EQ(totals.bar.PanelText(1), YearOfNominalTime); // the whole text stays for those who read it

    // In a narrow panel the dates give way all the more, the figure still whole.
    totals.bar.setPanelText(2, QStringLiteral("01-01-26 - 04-12-26: -1776:00"));
    const QString narrow = totals.bar.shownText(2);
    EXPECT_LE(totals.advance(narrow), totals.bar.panelTextRect(2).width()) << narrow.toStdString();
    EXPECT_TRUE(narrow.endsWith(QStringLiteral(" -1776:00"))) << narrow.toStdString();

    // A panel with room for the figure alone shows the figure alone, not the end of it after an ellipsis.
    PanelStatusBar &bar = totals.bar;
    const int frame = bar.panelRect(0).width() + 2 - bar.panelTextRect(0).width();
    PanelStatusBar figureOnly;
    figureOnly.setFont(bar.font());
    figureOnly.resize(670, 25);
    figureOnly.addPanel(totals.advance(QStringLiteral("-1776:00 ")) + frame, Qt::AlignRight, YearOfNominalTime);
    figureOnly.addPanel(45, Qt::AlignHCenter);
    EXPECT_EQ(figureOnly.shownText(0), "-1776:00 ");
}

TEST(PanelStatusBar, TextThatFitsIsShownAsItIs)
{
    TotalsBar totals;
    const QStringList texts = {QStringLiteral("01-12-98 - 02-12-98:   12:45  "),
        QStringLiteral("01-12-98 - 02-12-98:  -14:48 "), QStringLiteral("-02:03")};
    for (int panel = 0; panel < texts.size(); ++panel) {
        totals.bar.setPanelText(panel, texts[panel]);
        ASSERT_LE(totals.advance(texts[panel]), totals.bar.panelTextRect(panel).width());
        EXPECT_EQ(totals.bar.shownText(panel), texts[panel]);
    }
    EXPECT_EQ(totals.bar.shownText(3), "v. 1.00");
}

TEST(PanelStatusBar, PaintsTheTextItShows)
{
    TotalsBar tooWide;
    tooWide.bar.setPanelText(1, YearOfNominalTime);
    TotalsBar asShown;
    asShown.bar.setPanelText(1, tooWide.bar.shownText(1));
    ASSERT_EQ(asShown.bar.shownText(1), tooWide.bar.shownText(1)); // it fits, so it is drawn as it is
    EXPECT_EQ(tooWide.bar.grab().toImage(), asShown.bar.grab().toImage());
}

} // namespace
