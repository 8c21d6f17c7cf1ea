#include "aboutbox.h"

#include "errors.h"
#include "messages.h"
#include "printtarget.h"
#include "programicon.h"
#include "settingsfile.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QToolButton>

namespace {

// %1: the data folder.
const char *const InformationText = R"(Worktally keeps the balance of the work you do from home
against the working time you owe.

Recording a period
- Turn the stopwatch switch on ("Start", Alt+T and the space
  bar) when you begin and off when you stop. Each period
  becomes one row of the worksheet.
- While a period runs, Worktally saves it every 15 minutes.

Correcting and adding periods
- Click a row of the Overview: it appears in the edit panel.
- Change the dates, times, the nominal time owed or the
  notes, then press "Update". The rows are kept in order
  of their start.
- "Insert" adds a row below the marked one; "Delete"
  removes the marked row.
- In a date field, "+" and "-" on the number pad step a day,
  "T" gives today, Alt+Down opens the calendar.

The totals
- The status bar shows the home work time, the nominal time
  and their difference over the whole worksheet.

Files
- The worksheet is kept in Hourbook.csv in the data folder,
  %1
  It is written on exit, by "Save now" and while the
  stopwatch runs. "Setup" chooses the colour of the fields.

Alarm
- Type a time, tick "Set !" and, for a sound as well,
  "Sound" (alarm.wav in the data folder).

Printing
- "Print" shows the worksheet in a preview, from which it
  goes to the printer or to a PDF file.)";

QLabel *label(QWidget *parent, const QString &text, const QRect &geometry)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(geometry);
    return l;
}

QLabel *link(QWidget *parent, const QString &address, const QString &target, const QRect &geometry)
{
    QLabel *l = label(parent, QStringLiteral("<a href=\"%1\">%2</a>").arg(target, address.toHtmlEscaped()), geometry);
    l->setOpenExternalLinks(true);
    l->setToolTip(address);
    return l;
}

QToolButton *flatButton(QWidget *parent, const QString &text, const QRect &geometry)
{
    auto *b = new QToolButton(parent);
    b->setText(text);
    b->setAutoRaise(true);
    b->setGeometry(geometry);
    return b;
}

} // namespace

TAboutBox::TAboutBox(const QString &settingsPath, QWidget *parent)
    : QDialog(parent)
    , m_settingsPath(settingsPath)
{
    setWindowTitle(QStringLiteral(" "));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPixelSize(11);
    setFont(verdana);
    setFixedSize(432, 318);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 0, 433, 281);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);

    ProgramIcon = label(Panel1, QString(), {8, 8, 65, 66});
    ProgramIcon->setPixmap(programIcon().pixmap(64, 64));
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setAlignment(Qt::AlignCenter);
    ProductName = label(Panel1, QStringLiteral("Worktally"), {88, 8, 200, 16});
    QFont bold = font();
    bold.setBold(true);
    ProductName->setFont(bold);
    Version = label(Panel1, QStringLiteral("version 1.00"), {88, 26, 200, 14});
    Notice = label(
        Panel1, QStringLiteral("Copyright SorrelbySoft.\nFree to use for your own work records."), {88, 42, 330, 28});
    Label1 = label(Panel1, QStringLiteral("WWW:\nE-mail:"), {8, 80, 48, 28});
    WebLink = link(Panel1, WebAddress, WebAddress, {60, 80, 360, 14});
    MailLink = link(Panel1, MailAddress, QStringLiteral("mailto:") + MailAddress, {60, 94, 360, 14});

    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setGeometry(2, 281 - 167 - 2, 429, 167);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The settings file lies in the data folder, beside the worksheet.
    const QString dataFolder = QDir::toNativeSeparators(QFileInfo(settingsPath).absolutePath());
    Memo1->setPlainText(QString::fromUtf8(InformationText).arg(dataFolder));
    QPalette tealPaper = Memo1->palette();
    tealPaper.setColor(QPalette::Base, toQColor(clTeal));
    tealPaper.setColor(QPalette::Text, toQColor(WhiteColor));
    Memo1->setPalette(tealPaper);

    SpeedButton1 = flatButton(this, QStringLiteral("&Print"), {8, 286, 80, 26});
    SpeedButton2 = flatButton(this, QStringLiteral("&OK"), {344, 286, 80, 26});
    connect(SpeedButton1, &QToolButton::clicked, this, guarded([this] { SpeedButton1Click(); }));
    connect(SpeedButton2, &QToolButton::clicked, this, &QDialog::accept);

    PrinterSetupDialog1 = [this](QPrinter &printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
}

void TAboutBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    runGuarded([this] { FormShow(); });
}

void TAboutBox::FormShow()
{
    m_captionColor = SettingsFile(m_settingsPath).backgroundColor().value_or(clTeal);
}

void TAboutBox::SpeedButton1Click()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!PrinterSetupDialog1(printer))
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        throw WorktallyError(QStringLiteral("The printer could not be started"));
    const int lineHeight = std::abs(painter.fontInfo().pixelSize());
    const int pageHeight = printer.height();
    int y = 0;
    for (const QString &line : Memo1->toPlainText().split(u'\n')) {
        painter.drawText(QRect(200, y, printer.width() - 200, lineHeight * 2), Qt::AlignLeft | Qt::AlignTop, line);
        y += lineHeight;
        if (y >= pageHeight) {
            printer.newPage();
            y = 0;
        }
    }
    painter.end();
    reportPrintedFile(printer.outputFileName(), this);
}
