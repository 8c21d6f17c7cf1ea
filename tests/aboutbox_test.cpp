#include "aboutbox.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

namespace {

int pdfPages(const QByteArray &pdf)
{
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "));
}

// The about window whose printer is a PDF file, or a cancelled dialog.
struct About
{
    QTemporaryDir folder;
    TAboutBox box {folder.filePath(QStringLiteral("Worktally.Setup"))};
    QString pdf = folder.filePath(QStringLiteral("about.pdf"));

    void printToPdf()
    {
        box.PrinterSetupDialog1 = [this](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
    }
};

} // namespace

TEST(AboutBox, ShowsNameVersionAndAddresses)
{
    About a;
    EXPECT_EQ(a.box.ProductName->text(), "Worktally");
    EXPECT_EQ(a.box.Version->text(), "version 1.00");
    EXPECT_EQ(a.box.SpeedButton1->text(), "&Print");
    EXPECT_EQ(a.box.WebLink->toolTip(), "https://sorrelbysoft.example/worktally");
    EXPECT_EQ(a.box.MailLink->toolTip(), "worktally@sorrelbysoft.example");
    EXPECT_EQ(a.box.size(), QSize(432, 318));
    EXPECT_FALSE(a.box.Memo1->toPlainText().isEmpty());
    EXPECT_TRUE(a.box.Memo1->isReadOnly());

    writeFile(a.folder.filePath(QStringLiteral("Worktally.Setup")), "[wkyColor]\nbackColor=255\n");
    a.box.show();
    EXPECT_EQ(a.box.captionColor(), clRed);
    QTest::mouseClick(a.box.SpeedButton2, Qt::LeftButton);
    EXPECT_EQ(a.box.result(), QDialog::Accepted);
}

TEST(AboutBox, CancellingThePrinterDialogPrintsNothing)
{
    About a;
    bool asked = false;
    a.box.PrinterSetupDialog1 = [&](QPrinter &printer) {
        asked = true;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(a.pdf);
        return false;
    };
    QTest::mouseClick(a.box.SpeedButton1, Qt::LeftButton);
    EXPECT_TRUE(asked);
    EXPECT_FALSE(QFile::exists(a.pdf));
}

TEST(AboutBox, PrintsTheTextLineByLineOverAsManyPagesAsItNeeds)
{
    About a;
    a.printToPdf();
    MessageRecorder messages;
    QTest::mouseClick(a.box.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(pdfPages(readFile(a.pdf)), 1);
    EXPECT_EQ(messages.texts, QStringList({"Printed to " + a.pdf}));

    QStringList lines;
    for (int i = 1; i <= 150; ++i)
        lines << QStringLiteral("line %1").arg(i);
    a.box.Memo1->setPlainText(lines.join(u'\n'));
    QTest::mouseClick(a.box.SpeedButton1, Qt::LeftButton);
    EXPECT_GE(pdfPages(readFile(a.pdf)), 2);
}
