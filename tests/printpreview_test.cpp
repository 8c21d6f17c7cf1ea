#include "clocksource.h"
#include "fontcombobox.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "pageprinter.h"
#include "printpreview.h"
#include "printtestsupport.h"
#include "testsupport.h"
#include "worksheet.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <optional>

namespace {

QString hashOf(QByteArrayView bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16));
}

QString hashOf(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    return hashOf(QByteArrayView(rgb.constBits(), rgb.sizeInBytes()));
}

// The main window over a worksheet after "Print", printing into a PDF file
// (or with the printer dialog cancelled).
struct Printing
{
    QTemporaryDir folder;
    FixedClock clock {QDateTime(QDate(2026, 12, 7), QTime(14, 5))};
    MessageRecorder messages;
    std::unique_ptr<TForm1> form;
    QString pdf = folder.filePath(QStringLiteral("printout.pdf"));

    explicit Printing(const QByteArray &worksheet = WorkedExampleFile, bool printerChosen = true)
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

    TPrintPrv &preview() { return static_cast<TPrintPrv &>(form->PrintPreview()); }
    TPagePrinter &prn() { return *preview().Prn; }

    /// The pages after page 1 are laid out between the events that follow.
    void waitForAllPages()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return prn().LayoutComplete(); }, 5000));
    }

    int framesOnFirstPage() { return int(prn().Page(1).lines().size()); }

    // The words of the printed PDF with their right edges, in points.
    QList<std::pair<QString, double>> printedWords()
    {
        const QByteArray bbox
            = programOutput(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        QList<std::pair<QString, double>> words;
        static const QRegularExpression word(QStringLiteral("<word [^>]*xMax=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
        for (const auto &m : word.globalMatch(QString::fromUtf8(bbox)))
            words.append({m.captured(2), m.captured(1).toDouble()});
        return words;
    }

    // The page count and the text of the printed PDF.
    QString printedText()
    {
        QTest::mouseClick(preview().btnPrint, Qt::LeftButton);
        static const QRegularExpression pages(QStringLiteral("Pages: +([0-9]+)"));
        return pages.match(QString::fromUtf8(programOutput(QStringLiteral("pdfinfo"), {pdf}))).captured(1) + u' '
            + hashOf(programOutput(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
    }

    QString pages()
    {
        waitForAllPages();
        QString all = QString::number(prn().PageCount());
        for (int page = 1; page <= prn().PageCount(); ++page)
            all += displayListOf(prn().Page(page));
        return hashOf(all.toUtf8());
    }

    QString previewAt(int zoomEntry)
    {
        preview().ComboBox1Click(zoomEntry);
        return hashOf(prn().PaintSurface()->grab().toImage());
    }
};

/// Equal rows, enough of them for several pages.
QByteArray rowsForPages(int rows)
{
    QByteArray worksheet;
    for (int i = 0; i < rows; ++i)
        worksheet += "\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\",\"\",\"\"\r\n";
    return worksheet + "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n";
}

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
    for (const char *expected : WorkedExamplePrintedTexts)
        EXPECT_TRUE(all.contains(QString::fromUtf8(expected))) << expected;
    // The totals end at the right margin, 20 mm from the paper's edge.
    const double rightMargin = rightEdgeOf(words, QString(35, u'='));
    EXPECT_NEAR(rightEdgeOf(words, QStringLiteral("-02:03")), rightMargin, 1.0);
    EXPECT_NEAR(rightEdgeOf(words, QStringLiteral("12:45")), rightMargin, 1.0);
    EXPECT_EQ(p.messages.texts, QStringList({"Printed to " + p.pdf}));
}

// Without a window manager to raise it, a message box parented to any other
// window stays hidden behind the full-screen preview.
TEST(Printout, PrintedToMessageShowsAboveThePreview)
{
    Printing p;
    installMessageBoxes(); // the recorder puts the previous boxes back when it goes
    struct ShownBox
    {
        QWidget *parent;
        QWindow *transientParent;
        bool modal;
        QString text;
        QMessageBox::Icon icon;
        QPoint centre;
    };
    std::optional<ShownBox> shown;
    // The box runs its own event loop; this timer looks at it from there and
    // closes it.
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&shown] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(window);
            if (!box || !box->isVisible() || shown)
                continue;
            shown = ShownBox {box->parentWidget(), box->windowHandle()->transientParent(),
                QApplication::activeModalWidget() == box, box->text(), box->icon(), box->geometry().center()};
            box->button(QMessageBox::Ok)->click();
        }
    });
    watcher.start();
    // As when no window manager activates the preview: the main window stays the active one.
    p.form->show();
    p.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(p.form.get()));
    QTest::mouseClick(p.preview().btnPrint, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&shown] { return shown.has_value(); }, 5000));
    EXPECT_EQ(shown->parent, &p.preview());
    EXPECT_EQ(shown->transientParent, p.preview().windowHandle());
    EXPECT_TRUE(shown->modal);
    EXPECT_EQ(shown->text, "Printed to " + p.pdf);
    EXPECT_EQ(shown->icon, QMessageBox::Information);
    const QPoint offCentre = shown->centre - p.preview().geometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2) << offCentre.x() << ", " << offCentre.y();
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
    Printing p(WorkedExampleFile, false);
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
    Printing p(rowsForPages(150));
    p.waitForAllPages();
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

// --- By keyboard ----------------------------------------------------------------------

namespace {

// The control that has the focus; an editable box counts for its line.
QWidget *focusedControl()
{
    QWidget *focused = QApplication::focusWidget();
    if (focused && qobject_cast<QComboBox *>(focused->parentWidget()))
        return focused->parentWidget();
    return focused;
}

void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

bool activate(QWidget &window)
{
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

} // namespace

TEST(PreviewKeyboard, EscapeHidesThePreviewAndKeepsTheDocumentAsExitDoes)
{
    for (bool fromThePage : {false, true}) {
        Printing p; // the preview opens with the focus in the zoom box
        ASSERT_TRUE(activate(p.preview()));
        if (fromThePage) {
            QTest::mouseClick(p.prn().PaintSurface(), Qt::LeftButton);
            ASSERT_TRUE(p.prn().hasFocus());
        }
        pressKey(Qt::Key_Escape);
        EXPECT_FALSE(p.preview().isVisible()) << fromThePage;
        EXPECT_EQ(p.prn().PageCount(), 1) << fromThePage;
    }
}

TEST(PreviewKeyboard, EscapeInAnOpenListClosesTheListOnly)
{
    Printing p;
    ASSERT_TRUE(activate(p.preview()));
    QComboBox *zoom = p.preview().ComboBox1;
    zoom->showPopup();
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 2000));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }, 2000));
    EXPECT_TRUE(p.preview().isVisible());
    pressKey(Qt::Key_Escape);
    EXPECT_FALSE(p.preview().isVisible());
}

TEST(PreviewKeyboard, TabGoesThroughTheTopBarFromLeftToRight)
{
    Printing p;
    TPrintPrv &preview = p.preview();
    ASSERT_TRUE(activate(preview));
    preview.btnTilbage->setFocus(Qt::TabFocusReason);
    QList<QWidget *> reached {focusedControl()};
    for (int i = 0; i < 12 && reached.size() < 9; ++i) {
        pressKey(Qt::Key_Tab);
        reached << focusedControl();
    }
    const QList<QWidget *> leftToRight {preview.btnTilbage, preview.btnFrem, preview.ComboBox1, preview.RadioButton1,
        preview.FontComboBox1, preview.ComboBox2, preview.btnPrint, preview.btnLuk, preview.Prn};
    EXPECT_EQ(reached, leftToRight);
    pressKey(Qt::Key_Tab);
    EXPECT_EQ(focusedControl(), preview.btnTilbage); // round again
}

TEST(PreviewKeyboard, SpaceOrEnterOnAFocusedPageButtonTurnsThePage)
{
    Printing p(rowsForPages(150));
    p.waitForAllPages();
    ASSERT_TRUE(activate(p.preview()));
    pressKey(Qt::Key_Tab, Qt::ShiftModifier); // back from the zoom box
    ASSERT_EQ(focusedControl(), p.preview().btnFrem);
    pressKey(Qt::Key_Space);
    EXPECT_EQ(p.prn().PageNumber(), 2);
    EXPECT_EQ(p.preview().lblSidetal->text(), QStringLiteral("Page 2 of %1").arg(p.prn().PageCount()));
    pressKey(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(focusedControl(), p.preview().btnTilbage);
    pressKey(Qt::Key_Return);
    EXPECT_EQ(p.prn().PageNumber(), 1);
    EXPECT_TRUE(p.preview().isVisible());
}

// A click on a button leaves the focus on the page, whose document stays.
TEST(PreviewKeyboard, ClickedButtonTakesNoFocus)
{
    Printing p(rowsForPages(150));
    p.waitForAllPages();
    ASSERT_TRUE(activate(p.preview()));
    QTest::mouseClick(p.prn().PaintSurface(), Qt::LeftButton);
    ASSERT_TRUE(p.prn().hasFocus());
    QTest::mouseClick(p.preview().btnFrem, Qt::LeftButton);
    EXPECT_TRUE(p.prn().hasFocus());
    EXPECT_EQ(p.prn().PageNumber(), 2);
    EXPECT_GE(p.prn().PageCount(), 2);
}

// --- What is printed and shown --------------------------------------------------------

namespace {

/// Rows with wrapping, accented, wide and combining characters and a word
/// too long for its column in the notes.
QByteArray worksheet(int rows)
{
    const QString notes[] = {QString(), QStringLiteral("Customer call"),
        QStringLiteral("Planning the next release with the team and writing it down"),
        QStringLiteral("M\u00f8de med kunden \u2013 \u00abvigtigt\u00bb"),
        QStringLiteral("Cafe\u0301 with the \u4f1a\u8b70 team"),
        QStringLiteral("Supercalifragilisticexpialidocious_and_no_blank_to_break_at")};
    QByteArray bytes;
    for (int i = 0; i < rows; ++i) {
        const QByteArray date = QStringLiteral("%1-%2-26")
                                    .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                                    .arg(1 + i / 28 % 12, 2, 10, QLatin1Char('0'))
                                    .toLatin1();
        const QByteArray minutes = QByteArray::number(10 + i % 50);
        bytes += "\"" + date + " 08:" + minutes + "\",\"" + date + " 12:30\",\"04:" + minutes + "\",\"\",\"" + date
            + "\",\"07:24\",\"\",\"-02:" + minutes + "\",\"" + notes[i % 6].toUtf8() + "\"\r\n";
    }
    return bytes + "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n";
}

/// Page drawn 1:1 without smoothing, as a printer draws it: played as the
/// preview does, or as it is sent to the printer.
QImage drawnAtFullSize(TPagePrinter &prn, int page, void (PageImage::*draw)(QPainter &) const = &PageImage::play)
{
    const QRect paper = prn.Printer() ? prn.Printer()->pageLayout().fullRectPixels(prn.Printer()->resolution())
                                      : QRect(0, 0, 2480, 3508); // A4 at 300 dpi
    QImage image(paper.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    (prn.Page(page).*draw)(painter);
    return image;
}

} // namespace

// Fingerprints of the printout: the recorded pages (every text with its
// place and font, every line), pages drawn at 1:1, the preview at three
// zooms and the text of the PDF, at a fixed date and locale. The expected
// values were taken from the printout as it is meant to look, with the fonts
// the project installs (fonts-liberation, fonts-dejavu-core): a change in
// one is a change in what is printed or shown.
TEST(PrintOutput, PagesPreviewAndPdfOfAWorksheet)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    const LocaleScope locale(QLocale(QLocale::English, QLocale::UnitedStates));
    Printing p(worksheet(300));
    p.waitForAllPages(); // and the window takes its final size
    EXPECT_EQ(p.pages(), "7ec1df96cfc83e13");
    EXPECT_EQ(hashOf(drawnAtFullSize(p.prn(), 1)), "2adacdc976cc6c17");
    EXPECT_EQ(hashOf(drawnAtFullSize(p.prn(), 2)), "db8eb91442456252");
    EXPECT_EQ(p.previewAt(0), "7038d4f58a07864f");
    EXPECT_EQ(p.previewAt(2), "01d31c977f2c4735");
    QTest::mouseClick(p.preview().btnFrem, Qt::LeftButton);
    EXPECT_EQ(p.previewAt(4), "23939891e3f6ca65");
    EXPECT_EQ(p.printedText(), "8 ab566e7a5e14de40");

    // Rebuilt without frames, and in another size.
    QTest::mouseClick(p.preview().RadioButton2, Qt::LeftButton);
    EXPECT_EQ(p.pages(), "bd13e3da1e56bb1b");
    p.preview().ComboBox2->setCurrentIndex(6); // "12"
    emit p.preview().ComboBox2->activated(6);
    EXPECT_EQ(p.pages(), "821caa6abd3b70e9");
}

// The printer gets each frame edge once, as one stroke, and prints the same
// pixels as the cell-by-cell frames the pages record.
TEST(PrintOutput, PrintedFramesAreFewerStrokesOverTheSamePixels)
{
    const LocaleScope locale(QLocale(QLocale::English, QLocale::UnitedStates));
    Printing p(worksheet(300));
    for (int page : {1, 2}) {
        const PageImage &recorded = p.prn().Page(page);
        EXPECT_LT(recorded.joinedLines().size() * 10, recorded.lines().size()) << page;
        EXPECT_EQ(drawnAtFullSize(p.prn(), page, &PageImage::print), drawnAtFullSize(p.prn(), page)) << page;
    }
}

TEST(PrintOutput, PagesOfTheStandInPrinter)
{
    const LocaleScope locale(QLocale(QLocale::English, QLocale::UnitedStates));
    Printing p(worksheet(300));
    p.prn().setPrinter(nullptr); // 300 dpi from the next document on
    QTest::mouseClick(p.preview().RadioButton1, Qt::LeftButton);
    EXPECT_EQ(p.pages(), "f03b121eaef17b55");
    EXPECT_EQ(hashOf(drawnAtFullSize(p.prn(), 3)), "0ba871b329ac488e");
}

TEST(PrintOutput, PageOneShowsAtOnceAndTheCountFollows)
{
    Printing p(worksheet(300));
    EXPECT_FALSE(p.prn().LayoutComplete());
    EXPECT_EQ(p.preview().lblSidetal->text(), "Page 1");
    QTest::mouseClick(p.preview().btnFrem, Qt::LeftButton); // laid out as far as needed
    EXPECT_EQ(p.prn().PageNumber(), 2);
    EXPECT_EQ(p.preview().lblSidetal->text(), "Page 2");
    p.prn().FinishLayout();
    const QString counted = QStringLiteral("Page 2 of %1").arg(p.prn().PageCount());
    EXPECT_EQ(p.preview().lblSidetal->text(), counted);

    // A rebuild leaves the label as it was.
    QTest::mouseClick(p.preview().RadioButton2, Qt::LeftButton);
    p.prn().FinishLayout();
    EXPECT_EQ(p.preview().lblSidetal->text(), counted);
}

TEST(PrintOutput, WorksheetEditedAfterPrintingIsPrintedAsItWas)
{
    Printing p(worksheet(300));
    const QString before = p.form->Grid1->Cells(NotesColumn, 290);
    p.form->Grid1->setCells(NotesColumn, 290, QStringLiteral("edited afterwards"));
    p.waitForAllPages();
    QStringList notes;
    for (int page = p.prn().PageCount() - 1; page <= p.prn().PageCount(); ++page)
        for (const auto &text : p.prn().Page(page).texts())
            notes << text.text;
    EXPECT_FALSE(notes.contains(QStringLiteral("edited afterwards ")));
    EXPECT_TRUE(notes.contains(before + u' ')) << before.toStdString();
}

TEST(PrintOutput, LabelWaitingForTheCountOfARebuildShowsItsFirstPage)
{
    Printing p(worksheet(300));
    QTest::mouseClick(p.preview().btnFrem, Qt::LeftButton); // page 2 of a count not known yet
    p.form->Grid1->setRowCount(3); // one data row left: the rebuild is laid out at once
    QTest::mouseClick(p.preview().RadioButton2, Qt::LeftButton);
    EXPECT_EQ(p.preview().lblSidetal->text(), "Page 1 of 1");
}

// --- Row height ------------------------------------------------------------------------

namespace {

/// Rows whose cells fit their columns but for the blank that joins each
/// cell to the next.
QByteArray plainRows(int rows)
{
    QByteArray bytes;
    for (int i = 0; i < rows; ++i)
        bytes += "\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\",\"-02:54\","
                 "\"Customer call\"\r\n";
    return bytes + "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n";
}

/// The baselines of the lines of a page that begin a data row (those with
/// a start and end time), from the top down.
std::vector<double> rowBaselines(const PageImage &page)
{
    static const QRegularExpression startOrEnd(QStringLiteral("^\\d\\d-\\d\\d-\\d\\d \\d\\d:\\d\\d$"));
    std::vector<double> baselines;
    for (const auto &text : page.texts())
        if (startOrEnd.match(text.text).hasMatch() && (baselines.empty() || baselines.back() != text.origin.y()))
            baselines.push_back(text.origin.y());
    return baselines;
}

double baselineOf(const PageImage &page, const QString &text)
{
    for (const auto &t : page.texts())
        if (t.text == text)
            return t.origin.y();
    ADD_FAILURE() << "not on the page: " << text.toStdString();
    return 0;
}

} // namespace

// Each data row takes one line, on every page, and a page after the first
// begins with a row where page 1 has the heading (which is two lines high:
// its time columns wrap).
TEST(PrintOutput, RowsAreOneLineHighOnEveryPage)
{
    Printing p(plainRows(500));
    p.waitForAllPages();
    EXPECT_EQ(p.prn().PageCount(), 7);
    const double heading = baselineOf(p.prn().Page(1), QStringLiteral("Work began:  "));
    int rows = 0;
    for (int page = 1; page <= p.prn().PageCount(); ++page) {
        const std::vector<double> baselines = rowBaselines(p.prn().Page(page));
        ASSERT_FALSE(baselines.empty()) << page;
        rows += int(baselines.size());
        if (page > 1) {
            EXPECT_EQ(baselines.front(), heading) << page;
        }
        for (size_t i = 1; i < baselines.size(); ++i) {
            ASSERT_EQ(baselines[i] - baselines[i - 1], p.prn().LineHeight()) << page << ' ' << i;
        }
    }
    EXPECT_EQ(rows, 500);
}

// A note with a word longer than its column still wraps inside the column,
// and the next row follows its last line.
TEST(PrintOutput, LongWordInTheNotesStillWraps)
{
    const QString word = QStringLiteral("Supercalifragilisticexpialidocious_and_no_blank_to_break_at");
    Printing p(worksheet(7)); // row 6 holds the word
    const PageImage &page = p.prn().Page(1);
    const std::vector<double> rows = rowBaselines(page);
    ASSERT_EQ(rows.size(), 7u);

    QString printed;
    double lastLine = 0;
    std::optional<double> column;
    for (const auto &text : page.texts()) {
        // The pieces of the word, in order.
        if (text.text.isEmpty() || !(word + u' ').startsWith(printed + text.text))
            continue;
        EXPECT_EQ(text.origin.x(), column.value_or(text.origin.x()));
        EXPECT_EQ(text.origin.y(), printed.isEmpty() ? rows[5] : lastLine + p.prn().LineHeight());
        column = text.origin.x();
        lastLine = text.origin.y();
        printed += text.text;
    }
    EXPECT_EQ(printed.trimmed(), word);
    EXPECT_GE(lastLine, rows[5] + 2 * p.prn().LineHeight()); // three lines at least
    EXPECT_EQ(rows[6], lastLine + p.prn().LineHeight());
}

TEST(PreviewKeyboard, PictureButtonsReadTheirHintsToScreenReaders)
{
    Printing p;
    const auto name = [](QWidget *button) {
        return QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
    };
    EXPECT_EQ(name(p.preview().btnTilbage), "Forrige side");
    EXPECT_EQ(name(p.preview().btnFrem), p.preview().btnFrem->toolTip());
    EXPECT_EQ(name(p.preview().btnPrint), "Print"); // a caption says it already
}
