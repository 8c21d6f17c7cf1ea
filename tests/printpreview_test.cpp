#include "clocksource.h"
#include "fontcombobox.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "pageprinter.h"
#include "printpreview.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

namespace {

const QByteArray WorkedExample
    = "\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\",\"\",\"Train \"\"late\"\"\"\r\n"
      "\"02-12-98 13:00\",\"02-12-98 21:15\",\"08:15\",\"\",\"02-12-98\",\"07:24\",\"\",\"\",\"\"\r\n"
      "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n";

// The main window over a worksheet after "Print", printing into a PDF file
// (or with the printer dialog cancelled).
struct Printing
{
    QTemporaryDir folder;
    FixedClock clock {QDateTime(QDate(2026, 12, 7), QTime(14, 5))};
    MessageRecorder messages;
    std::unique_ptr<TForm1> form;
    QString pdf = folder.filePath(QStringLiteral("printout.pdf"));

    explicit Printing(const QByteArray &worksheet = WorkedExample, bool printerChosen = true)
    {
        if (!worksheet.isEmpty())
            writeFile(folder.filePath(QStringLiteral("Hourbook.csv")), worksheet);
        form = std::make_unique<TForm1>(folder.path());
        preview().PrinterDialog = [this, printerChosen](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return printerChosen;
        };
        QTest::mouseClick(form->btnUdskriv, Qt::LeftButton);
    }

    TPrintPrv &preview() { return form->PrintPreview(); }
    TPagePrinter &prn() { return *preview().Prn; }

    int framesOnFirstPage() { return int(prn().Page(1).lines().size()); }

    // The words of the printed PDF with their right edges, in points.
    QList<std::pair<QString, double>> printedWords()
    {
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        pdftotext.waitForFinished(10000);
        QList<std::pair<QString, double>> words;
        static const QRegularExpression word(QStringLiteral("<word [^>]*xMax=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
        for (const auto &m : word.globalMatch(QString::fromUtf8(pdftotext.readAllStandardOutput())))
            words.append({m.captured(2), m.captured(1).toDouble()});
        return words;
    }
};

QString textOf(const QList<std::pair<QString, double>> &words)
{
    QStringList texts;
    for (const auto &w : words)
        texts << w.first;
    return texts.join(u' ');
}

double rightEdgeOf(const QList<std::pair<QString, double>> &words, const QString &text)
{
    for (const auto &[word, right] : words)
        if (word == text)
            return right;
    ADD_FAILURE() << "not printed: " << text.toStdString();
    return 0;
}

} // namespace

TEST(Printout, WorkedExampleGoesToPaperWithItsTotals)
{
    Printing p;
    EXPECT_TRUE(p.preview().isVisible());
    EXPECT_EQ(p.preview().lblSidetal->text(), "Page 1 of 1");
    QTest::mouseClick(p.preview().btnPrint, Qt::LeftButton);
    const auto words = p.printedWords();
    const QString all = textOf(words);
    for (const char *expected : {"Work began:", "Work ended:", "Remark:", "01-12-98 08:00", "02-12-98 21:15", "-02:54",
             "+00:51", "Result for the period:", "Actual Workhours:", "12:45", "Nominal Workhours:", "-14:48",
             "Difference (total for period):", "-02:03"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(expected))) << expected;
    // The totals end at the right margin, 20 mm from the paper's edge.
    const double rightMargin = rightEdgeOf(words, QString(35, u'='));
    EXPECT_NEAR(rightEdgeOf(words, QStringLiteral("-02:03")), rightMargin, 1.0);
    EXPECT_NEAR(rightEdgeOf(words, QStringLiteral("12:45")), rightMargin, 1.0);
    EXPECT_EQ(p.messages.texts, QStringList({"Printed to " + p.pdf}));
}

// The rows are printed in what fontconfig puts in place of the family asked
// for; the box names that one, which is also the one it lists.
TEST(Printout, FontBoxShowsTheFamilyTheRowsArePrintedIn)
{
    Printing p;
    const QString family = QFontInfo(p.prn().font()).family();
    ASSERT_FALSE(family.isEmpty());
    EXPECT_EQ(p.preview().FontComboBox1->currentText(), family);
}

TEST(Printout, CancelInThePrinterDialogOpensNoPreview)
{
    Printing p(WorkedExample, false);
    EXPECT_FALSE(p.preview().isVisible());
    EXPECT_EQ(p.prn().PageCount(), 0);
    EXPECT_NE(p.prn().Printer(), &p.preview().printer());
}

TEST(Printout, PrintAfterTheDocumentWasClearedPrintsTheWorksheet)
{
    Printing p;
    p.preview().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p.preview()));
    // A click on the page, then on the zoom box: the page loses the focus,
    // which clears its document.
    QTest::mouseClick(p.prn().PaintSurface(), Qt::LeftButton);
    QTest::mouseClick(p.preview().ComboBox1->lineEdit(), Qt::LeftButton);
    ASSERT_EQ(p.prn().PageCount(), 0);

    QTest::mouseClick(p.preview().btnPrint, Qt::LeftButton);
    EXPECT_EQ(p.prn().PageCount(), 1);
    EXPECT_EQ(p.preview().lblSidetal->text(), "Page 1 of 1");
    EXPECT_TRUE(textOf(p.printedWords()).contains(QStringLiteral("-02:54"))); // a data row
}

TEST(Printout, FramesOffAndOnAgainTheHeadingFollowsOneRebuildLate)
{
    Printing p;
    const int framed = p.framesOnFirstPage();
    QTest::mouseClick(p.preview().RadioButton2, Qt::LeftButton);
    const int none = p.framesOnFirstPage();
    EXPECT_LT(none, framed);
    QTest::mouseClick(p.preview().RadioButton1, Qt::LeftButton);
    const int rowsOnly = p.framesOnFirstPage(); // the heading kept "none" once
    EXPECT_GT(rowsOnly, none);
    EXPECT_LT(rowsOnly, framed);
    QTest::mouseClick(p.preview().RadioButton1, Qt::LeftButton);
    EXPECT_EQ(p.framesOnFirstPage(), framed);
}

TEST(Printout, ZoomBoxShowsTheChoiceThenThePercentage)
{
    Printing p;
    QComboBox *zoom = p.preview().ComboBox1;
    zoom->setCurrentIndex(9);
    emit zoom->activated(9); // "Fit" chosen from the list
    EXPECT_EQ(zoom->currentText(), "Fit");
    EXPECT_TRUE(QTest::qWaitFor([&] { return zoom->currentText() == QString::number(p.prn().ZoomPercent()); }, 2000));

    zoom->lineEdit()->setFocus();
    zoom->lineEdit()->setText(QStringLiteral("80"));
    QTest::keyClick(zoom->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(p.prn().ZoomPercent(), 80);
    zoom->lineEdit()->setText(QStringLiteral("abc"));
    QTest::keyClick(zoom->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(p.prn().ZoomPercent(), 80);
    zoom->lineEdit()->setText(QStringLiteral("100000"));
    QTest::keyClick(zoom->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(p.prn().ZoomPercent(), TPagePrinter::MaxZoomPercent);
}

TEST(Printout, FirstPreviewZoomsToThePageWidthOfItsFinalWindow)
{
    Printing p;
    QCoreApplication::processEvents(); // the window's layout follows its show
    const int first = p.prn().ZoomPercent();
    QTest::mouseClick(p.preview().btnLuk, Qt::LeftButton);
    QTest::mouseClick(p.form->btnUdskriv, Qt::LeftButton);
    EXPECT_EQ(first, p.prn().ZoomPercent());

    // A view narrowed after the zoom box has shown the percentage.
    p.preview().Timer1Timer();
    p.prn().resize(p.prn().width() / 2, p.prn().height());
    EXPECT_LT(p.prn().ZoomPercent(), first);
    EXPECT_EQ(p.preview().ComboBox1->currentText(), QString::number(p.prn().ZoomPercent()));
}

TEST(Printout, PageButtonsStopAtTheEnds)
{
    QByteArray worksheet;
    for (int i = 0; i < 150; ++i)
        worksheet += "\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\",\"\",\"\"\r\n";
    Printing p(worksheet + "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
    const int pages = p.prn().PageCount();
    ASSERT_GE(pages, 2);
    QTest::mouseClick(p.preview().btnTilbage, Qt::LeftButton);
    EXPECT_EQ(p.prn().PageNumber(), 1);
    QTest::mouseClick(p.preview().btnFrem, Qt::LeftButton);
    EXPECT_EQ(p.prn().PageNumber(), 2);
    EXPECT_EQ(p.preview().lblSidetal->text(), QStringLiteral("Page 2 of %1").arg(pages));
    for (int i = 0; i < pages + 2; ++i)
        QTest::mouseClick(p.preview().btnFrem, Qt::LeftButton);
    EXPECT_EQ(p.prn().PageNumber(), pages);
    p.preview().FormActivate();
    EXPECT_EQ(p.preview().lblSidetal->text(), QStringLiteral("%1 of %1").arg(pages));
}

TEST(Printout, SizeBoxWithoutANumberEndsTheRebuildCleanly)
{
    Printing p;
    p.preview().ComboBox2->setEditText(QStringLiteral("big"));
    QTest::mouseClick(p.preview().RadioButton2, Qt::LeftButton);
    EXPECT_EQ(p.messages.texts, QStringList({"'big' is not a valid integer value"}));
    EXPECT_FALSE(p.prn().DocumentOpen());
    p.preview().ComboBox2->setCurrentIndex(6); // "12"
    emit p.preview().ComboBox2->activated(6);
    EXPECT_EQ(p.prn().font().pointSize(), 12);
    EXPECT_GE(p.prn().PageCount(), 1);
}

TEST(Printout, EmptyWorksheetPrintsTheHeadingOneEmptyRowAndTheTotals)
{
    Printing p("\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
    EXPECT_EQ(p.form->Grid1->RowCount(), 2);
    EXPECT_EQ(p.prn().PageCount(), 1);
    QTest::mouseClick(p.preview().btnPrint, Qt::LeftButton);
    EXPECT_TRUE(textOf(p.printedWords()).contains(QStringLiteral("Result for the period:")));
}

TEST(Printout, ExitHidesThePreviewAndKeepsTheDocument)
{
    Printing p;
    QTest::mouseClick(p.preview().btnLuk, Qt::LeftButton);
    EXPECT_FALSE(p.preview().isVisible());
    EXPECT_EQ(p.prn().PageCount(), 1);
}
