// The print job: copies, collation, page range, the progress dialog and
// cancelling, seen through a target that records what a printer is asked to
// do; once end to end on a PDF printer. And documents written to a text
// file, laid out by the 300 dpi stand-in printer (body 1950 pixels wide,
// 10-point "Courier New" whose characters and blanks are 25 pixels wide).

#include "pageprinter.h"
#include "printtarget.h"
#include "testsupport.h"

#include <functional>
#include <QCoreApplication>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

/// Records a print job as a line of events: "start", each page drawn (by
/// its first text), "|" for a page break, "end" and "abort".
class RecordingTarget : public PrintTarget
{
public:
    int copies = 4;
    bool open = false;
    QStringList events;
    /// Called as each page is drawn, with its first text.
    std::function<void(const QString &page)> onDraw;
    bool failNewPage = false;

    QString job() const { return events.join(u' '); }
    int copyCount() const override { return copies; }
    void setCopyCount(int count) override { copies = count; }
    void startJob(const QString &) override { record(u"start"_qs, true); }
    void newPage() override
    {
        if (failNewPage)
            throw WorktallyError(u"out of paper"_qs);
        events << u"|"_qs;
    }
    void drawPage(const PageImage &page) override
    {
        events << page.texts().front().text;
        if (onDraw)
            onDraw(events.last());
    }
    void endJob() override { record(u"end"_qs, false); }
    void abortJob() override { record(u"abort"_qs, false); }
    bool jobOpen() const override { return open; }

private:
    void record(const QString &event, bool opens)
    {
        events << event;
        open = opens;
    }
};

class PrintJobTest : public ::testing::Test
{
protected:
    PrintJobTest()
    {
        prn.setPrinter(nullptr);
        writePages(3);
    }

    /// Pages whose first texts are their numbers.
    void writePages(int count)
    {
        prn.BeginDocument();
        for (int page = 1; page <= count; ++page) {
            if (page > 1)
                prn.NewPage();
            prn.WriteTextLine(QString::number(page));
        }
        prn.EndDocument();
    }

    TPPPrnPrgDlg *dialog() const { return prn.findChild<TPPPrnPrgDlg *>(); }

    TPagePrinter prn;
    RecordingTarget target;
};

} // namespace

// --- Pages, copies and range -------------------------------------------------------------

TEST_F(PrintJobTest, CopiesRepeatTheDocumentOrEachPage)
{
    prn.setCopies(2);
    EXPECT_TRUE(prn.PrintDocument(target));
    EXPECT_EQ(target.job(), u"start 1 | 2 | 3 | 1 | 2 | 3 end"_qs);
    EXPECT_EQ(target.copies, 4); // the printer's own count is back

    prn.setCollate(false);
    target.events.clear();
    prn.PrintDocument(target);
    EXPECT_EQ(target.job(), u"start 1 | 1 | 2 | 2 | 3 | 3 end"_qs);

    prn.setCopies(0);
    EXPECT_EQ(prn.Copies(), 1);
}

TEST_F(PrintJobTest, RangeBeyondTheDocumentEndsAtItsLastPage)
{
    prn.setPrintFromPage(2); // past the end "to the last page": the end follows
    EXPECT_EQ(prn.PrintToPage(), 2);
    prn.setPrintToPage(9);
    QStringList pageTexts;
    target.onDraw = [&](const QString &) { pageTexts << dialog()->lblPageNumber->text(); };
    EXPECT_TRUE(prn.PrintDocument(target));
    EXPECT_EQ(target.job(), u"start 2 | 3 end"_qs);
    // Not counted "of" a total that does not start at page 1.
    EXPECT_EQ(pageTexts, (QStringList {u"Page 2"_qs, u"Page 3"_qs}));
}

TEST_F(PrintJobTest, OpenDocumentIsEndedAndAnEmptyOneStartsNoJob)
{
    prn.BeginDocument();
    prn.WriteTextLine(u"only"_qs);
    EXPECT_TRUE(prn.PrintDocument(target));
    EXPECT_FALSE(prn.DocumentOpen());
    EXPECT_EQ(target.job(), u"start only end"_qs);

    prn.ClearDocument();
    target.events.clear();
    EXPECT_TRUE(prn.PrintDocument(target));
    EXPECT_TRUE(target.events.isEmpty());
}

TEST_F(PrintJobTest, PrinterFailureReachesTheCallerWithoutTheDialog)
{
    target.failNewPage = true;
    EXPECT_EQ(messageOf<WorktallyError>([&] { prn.PrintDocument(target); }), u"out of paper"_qs);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_FALSE(prn.Printing());
    EXPECT_EQ(target.copies, 1); // the job was still open
}

// --- Progress dialog ------------------------------------------------------------------------

TEST_F(PrintJobTest, DialogCountsPagesAndCopies)
{
    writePages(5);
    prn.setCopies(3);
    QStringList status;
    QStringList pageTexts;
    target.onDraw = [&](const QString &) {
        status << dialog()->lblStatus->text();
        pageTexts << dialog()->lblPageNumber->text();
        EXPECT_EQ(dialog()->ProgBar->maximum(), 5 * prn.Copies());
        EXPECT_EQ(dialog()->ProgBar->value(), pageTexts.size());
        EXPECT_TRUE(dialog()->isVisible());
        EXPECT_EQ(dialog()->windowTitle(), prn.Title());
        EXPECT_EQ(dialog()->size(), QSize(293, 133) * dialog()->logicalDpiY() / 96);
    };
    EXPECT_TRUE(prn.PrintDocument(target));
    EXPECT_EQ(status.first(), u"Sending Pages To Printer"_qs);
    EXPECT_EQ(pageTexts.at(1), u"Page 2 of 5 x 3 Copies"_qs);
    EXPECT_EQ(dialog(), nullptr);

    prn.setCopies(1);
    prn.setProgressMessage(u"Udskriver ..."_qs);
    pageTexts.clear();
    prn.PrintDocument(target);
    EXPECT_EQ(status.last(), u"Udskriver ..."_qs);
    EXPECT_EQ(pageTexts.at(1), u"Page 2 of 5"_qs);
}

TEST_F(PrintJobTest, DialogCaptionIsTheTitleSetBeforeThePrinterWasChosen)
{
    QPrinter first, chosen; // a printer replaced by another, as the print dialog does
    first.setOutputFormat(QPrinter::PdfFormat);
    chosen.setOutputFormat(QPrinter::PdfFormat);
    prn.setPrinter(&first);
    prn.setTitle(u"Printing from Worktally..."_qs);
    prn.setPrinter(&chosen);
    QString caption;
    target.onDraw = [&](const QString &) { caption = dialog()->windowTitle(); };
    prn.PrintDocument(target);
    EXPECT_EQ(caption, u"Printing from Worktally..."_qs);
}

TEST_F(PrintJobTest, WithoutCancelTheDialogIsLowerAndNoEventsAreProcessed)
{
    prn.setShowCancel(false);
    bool queuedCallRan = false;
    QMetaObject::invokeMethod(
        &prn, [&] { queuedCallRan = true; }, Qt::QueuedConnection);
    target.onDraw = [&](const QString &) {
        EXPECT_FALSE(queuedCallRan);
        EXPECT_FALSE(dialog()->btnCancel->isVisible());
        EXPECT_FALSE(dialog()->btnCancel->isEnabled());
        EXPECT_EQ(dialog()->height(), dialog()->logicalDpiY() * 98 / 96);
    };
    EXPECT_TRUE(prn.PrintDocument(target));
    QCoreApplication::processEvents();
    EXPECT_TRUE(queuedCallRan);

    // With Cancel offered, pending events run before the first page.
    prn.setShowCancel(true);
    queuedCallRan = false;
    QMetaObject::invokeMethod(
        &prn, [&] { queuedCallRan = true; }, Qt::QueuedConnection);
    target.onDraw = [&](const QString &) { EXPECT_TRUE(queuedCallRan); };
    prn.PrintDocument(target);
}

TEST_F(PrintJobTest, WithoutProgressThereIsNoDialog)
{
    prn.setShowProgress(false);
    int drawn = 0;
    target.onDraw = [&](const QString &) {
        EXPECT_EQ(dialog(), nullptr);
        ++drawn;
    };
    EXPECT_TRUE(prn.PrintDocument(target));
    EXPECT_EQ(drawn, 3);
}

TEST(PrintProgressDialog, EnterAndEscapePressCancelOnlyWhenOffered)
{
    for (const bool cancellable : {true, false}) {
        TPPPrnPrgDlg dialog(cancellable);
        int pressed = 0;
        QObject::connect(dialog.btnCancel, &QPushButton::clicked, [&] { ++pressed; });
        dialog.ShowPage({}, 1, {});
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_EQ(pressed, cancellable ? 2 : 0);
        EXPECT_TRUE(dialog.isVisible()); // only the job closes it
    }
}

// --- Cancelling and refusals while printing ---------------------------------------------------

TEST_F(PrintJobTest, CancelAfterTheFirstPageEndsTheJobWithIt)
{
    target.onDraw = [&](const QString &page) {
        if (page == u"1"_qs)
            dialog()->btnCancel->click();
    };
    EXPECT_FALSE(prn.PrintDocument(target));
    EXPECT_TRUE(prn.CancelRequested());
    EXPECT_EQ(target.job(), u"start 1 | end"_qs);
    EXPECT_EQ(target.copies, 1);
    EXPECT_EQ(dialog(), nullptr);

    prn.setAbortOnCancel(true);
    target.events.clear();
    EXPECT_FALSE(prn.PrintDocument(target));
    EXPECT_EQ(target.job(), u"start 1 | abort"_qs);
}

TEST_F(PrintJobTest, RebuildClearAndSecondJobAreRefusedWhilePrinting)
{
    QStringList refusals;
    target.onDraw = [&](const QString &page) {
        if (page != u"1"_qs)
            return;
        EXPECT_TRUE(prn.Printing());
        refusals << messageOf<EPagePrinter>([&] { prn.BeginDocument(); })
                 << messageOf<EPagePrinter>([&] { prn.ClearDocument(); })
                 << messageOf<EPagePrinter>([&] { prn.PrintDocument(); })
                 << messageOf<EPagePrinter>([&] { prn.PrintDocument(target); });
    };
    EXPECT_TRUE(prn.PrintDocument(target));
    EXPECT_EQ(refusals,
        (QStringList {u"Can't start a document while printing"_qs, u"Can't clear the document while printing"_qs,
            u"Already printing"_qs, u"Already printing"_qs}));
    EXPECT_EQ(target.job(), u"start 1 | 2 | 3 end"_qs);
    EXPECT_FALSE(prn.Printing());
    EXPECT_NO_THROW(prn.ClearDocument());
    EXPECT_EQ(messageOf<EPagePrinter>([&] { prn.PrintDocument(); }), u"There is no printer to print on"_qs);
}

// --- On a PDF printer ---------------------------------------------------------------------------

TEST(PdfPrintJob, CopiesBecomePagesOfTheFile)
{
    if (QStandardPaths::findExecutable(u"pdfinfo"_qs).isEmpty())
        GTEST_SKIP() << "pdfinfo is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath(u"job.pdf"_qs);
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(path);
    pdf.setCopyCount(3);
    // The title is set before the printer is chosen, as the preview does.
    TPagePrinter prn;
    prn.setPrinter(nullptr);
    prn.setTitle(u"Printing from Worktally..."_qs);
    prn.setPrinter(&pdf);
    prn.setShowProgress(false);
    prn.BeginDocument();
    prn.WriteTextLine(u"first"_qs);
    prn.NewPage();
    prn.WriteTextLine(u"second"_qs);
    prn.EndDocument();
    prn.setCopies(2);

    MessageRecorder messages;
    EXPECT_TRUE(prn.PrintDocument());
    EXPECT_EQ(pdf.copyCount(), 3);
    EXPECT_EQ(messages.texts, QStringList {u"Printed to "_qs + path});
    EXPECT_EQ(messages.kinds, QList {MessageKind::Information});
    QProcess info;
    info.start(u"pdfinfo"_qs, {path});
    ASSERT_TRUE(info.waitForFinished());
    const QString output = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(output.contains(QRegularExpression(u"Pages: +4\\n"_qs))) << output.toStdString();
    EXPECT_TRUE(output.contains(QRegularExpression(u"Title: +Printing from Worktally...\\n"_qs)))
        << output.toStdString();
}

// --- Print to file ---------------------------------------------------------------------------------

namespace {

class PrintToFileTest : public ::testing::Test
{
protected:
    PrintToFileTest()
    {
        prn.setPrinter(nullptr);
        for (auto setMargin : {&TPagePrinter::setMarginTop, &TPagePrinter::setMarginBottom,
                 &TPagePrinter::setMarginLeft, &TPagePrinter::setMarginRight})
            (prn.*setMargin)(1);
        prn.setFileName(path);
        prn.setPrintToFile(true);
    }

    QString written() const { return QString::fromUtf8(readFile(path)); }
    static QString blanks(int count) { return QString(count, u' '); }

    QTemporaryDir dir;
    const QString path = dir.filePath(u"printout.txt"_qs);
    TPagePrinter prn;
    MessageRecorder messages;
};

} // namespace

TEST_F(PrintToFileTest, RightAlignedLineIsPaddedToTheRightMargin)
{
    prn.BeginDocument();
    prn.WriteAlignedLine(Qt::AlignRight, u"total"_qs);
    prn.EndDocument();
    // 1950 - 126 pixels of gap hold 72 blanks; NewLine adds a line of its own.
    EXPECT_EQ(written(), blanks(72) + u"total\n\n"_qs);
}

TEST_F(PrintToFileTest, TableCellsArePaddedWithinTheirColumns)
{
    prn.setTableFormat(u"<1|>1|^1"_qs); // 300 pixels each, cells padded by 6
    prn.BeginDocument();
    prn.WriteTableRow(u"a|b|c"_qs);
    prn.WriteTableRow(u"x\ny"_qs);
    prn.EndDocument();
    EXPECT_EQ(written(),
        u"a"_qs + blanks(20) + u"b"_qs + blanks(5) + u"c"_qs + blanks(5) + u"\n\n"_qs // row
            + u"x"_qs + blanks(33) + u"\n"_qs // first line of the wrapped row
            + u"y"_qs + blanks(33) + u"\n\n"_qs);
}

TEST_F(PrintToFileTest, HeaderAndFooterStartEveryExplicitPageAndPagesStay)
{
    prn.setPrintToFile(false);
    prn.BeginDocument();
    prn.WriteTextLine(u"kept"_qs);
    prn.EndDocument();
    prn.setPrintToFile(true);
    prn.setHeader(u"head"_qs);
    prn.setHeaderFormat(u"<1"_qs);
    prn.setFooter(u"{$PAGE}"_qs);
    prn.setFooterFormat(u">1"_qs);

    prn.BeginDocument();
    prn.WriteText(u"x"_qs);
    for (int i = 0; i < 100; ++i) // far more than a page holds
        prn.NewLine();
    prn.NewPage();
    prn.WriteText(u"y"_qs);
    prn.EndDocument();

    const QString head = u"head"_qs + blanks(7) + u"\n"_qs;
    EXPECT_EQ(written(),
        head + blanks(10) + u"1\n"_qs + u"x"_qs + QString(100, u'\n') + u"\f\n"_qs + head + blanks(10) + u"2\n"_qs
            + u"y"_qs);
    ASSERT_EQ(prn.PageCount(), 1);
    EXPECT_EQ(prn.Page(1).texts().back().text, u"kept"_qs);
    EXPECT_EQ(prn.PageNumber(), 1);
}

TEST_F(PrintToFileTest, EndingTheDocumentSaysWhereItWent)
{
    prn.BeginDocument();
    prn.EndDocument();
    EXPECT_EQ(messages.texts, QStringList {u"Printed to "_qs + path});
}

TEST_F(PrintToFileTest, FileSettingsAreRefusedWhileTheFileIsOpen)
{
    prn.BeginDocument();
    EXPECT_EQ(
        messageOf<EPagePrinter>([&] { prn.setPrintToFile(false); }), u"Can't change PrintToFile while printing"_qs);
    EXPECT_EQ(
        messageOf<EPagePrinter>([&] { prn.setFileName(u"other.txt"_qs); }), u"Can't change FileName while printing"_qs);
    EXPECT_NO_THROW(prn.setPrintToFile(true));
    EXPECT_NO_THROW(prn.setFileName(u" "_qs + path));
}

TEST_F(PrintToFileTest, FileErrorsReachTheWriter)
{
    const QString missing = dir.filePath(u"no such folder/printout.txt"_qs);
    prn.setFileName(missing);
    EXPECT_EQ(messageOf<FileCreateError>([&] { prn.BeginDocument(); }), u"Cannot create file "_qs + missing);
    EXPECT_FALSE(prn.DocumentOpen());

    if (!QFile::exists(u"/dev/full"_qs))
        GTEST_SKIP() << "no device that is always full";
    prn.setFileName(u"/dev/full"_qs);
    prn.BeginDocument();
    EXPECT_EQ(messageOf<WorktallyError>([&] { prn.WriteText(u"x"_qs); }), u"Cannot write file /dev/full"_qs);
    EXPECT_THROW(prn.EndDocument(), WorktallyError);
    EXPECT_FALSE(prn.DocumentOpen());
}
