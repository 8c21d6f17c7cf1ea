#include "printpreview.h"

#include "datetimetext.h"
#include "fontcombobox.h"
#include "messages.h"
#include "pageprinter.h"
#include "printout.h"
#include "panelstatusbar.h"
#include "stringgrid.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QFontInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace {

const int ZoomSteps[] = {50, 75, 100, 125, 150, 175, 200};
constexpr int PageWidthEntry = 7;
constexpr int PageHeightEntry = 8;
constexpr int FitEntry = 9;

QToolButton *glyphButton(QWidget *parent, const QIcon &glyph, const QString &caption, const QString &hint)
{
    auto *button = new QToolButton(parent);
    button->setIcon(glyph);
    button->setText(caption);
    button->setToolTip(hint);
    // A picture alone says nothing to a screen reader.
    if (caption.isEmpty())
        button->setAccessibleName(hint);
    button->setAutoRaise(true);
    // Reached with Tab, never focused by a click: a click leaves the focus
    // where it was, and so the page keeps its document.
    button->setFocusPolicy(Qt::TabFocus);
    button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    return button;
}

} // namespace

TPrintPrv::TPrintPrv(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Udskriftgennemsyn"));
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPixelSize(11);
    setFont(verdana);
    resize(685, 452);

    createTopBar();

    Prn = new TPagePrinter(this);
    Prn->setColor(clTeal);
    QFont courier(QStringLiteral("Courier New"));
    courier.setPointSize(10);
    Prn->setFont(courier);
    // The box lists the families fontconfig has, which need not hold the one
    // asked for; it names the one that stands in for it, so that it shows
    // the font the rows are printed in.
    FontComboBox1->setFontName(QFontInfo(Prn->font()).family());
    Prn->setMeasureUnit(muMillimeters);
    for (auto setMargin : {&TPagePrinter::setMarginTop, &TPagePrinter::setMarginBottom, &TPagePrinter::setMarginLeft,
             &TPagePrinter::setMarginRight})
        (Prn->*setMargin)(20);
    Prn->setTableFormat(Printout::TableFormat);
    Prn->setTableGrid(true);
    Prn->setFriendlyHeader(QStringLiteral("&l&F &r&D"));
    Prn->setFriendlyFooter(QStringLiteral("&r&p"));
    Prn->setPageBorders(pbTop | pbBottom);
    Prn->setTitle(QStringLiteral("Printing from Worktally..."));
    Prn->setProgressMessage(QStringLiteral("Udskriver ..."));
    Prn->setZoomPercent(75);
    Prn->installEventFilter(this);
    Prn->viewport()->installEventFilter(this);
    Prn->OnLayoutComplete = [this](TPagePrinter *) {
        if (m_labelAwaitingCount)
            showPageLabel(*m_labelAwaitingCount);
    };

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(Prn, 1);

    Timer1 = new QTimer(this);
    Timer1->setInterval(500);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, guarded([this] { Timer1Timer(); }));

    PrinterDialog = [this](QPrinter &printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    ComboBox1->setFocus();
}

TPrintPrv::~TPrintPrv() = default;

void TPrintPrv::createTopBar()
{
    Panel1 = new QFrame(this);
    Panel1->setFixedHeight(41);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(4, 2, 4, 2);

    btnTilbage
        = glyphButton(Panel1, style()->standardIcon(QStyle::SP_ArrowBack), QString(), QStringLiteral("Forrige side"));
    lblSidetal = new QLabel(Panel1);
    lblSidetal->setAlignment(Qt::AlignCenter);
    lblSidetal->setMinimumWidth(90);
    btnFrem = glyphButton(
        Panel1, style()->standardIcon(QStyle::SP_ArrowForward), QString(), QStringLiteral("N\u00e6ste side"));

    ComboBox1 = new QComboBox(Panel1);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMaxVisibleItems(10);
    ComboBox1->addItems({QStringLiteral("50"), QStringLiteral("75"), QStringLiteral("100"), QStringLiteral("125"),
        QStringLiteral("150"), QStringLiteral("175"), QStringLiteral("200"), QStringLiteral("PageWidth"),
        QStringLiteral("PageHeight"), QStringLiteral("Fit")});
    ComboBox1->lineEdit()->installEventFilter(this);

    GroupBox1 = new QGroupBox(QStringLiteral("&Frames"), Panel1);
    auto *frames = new QHBoxLayout(GroupBox1);
    frames->setContentsMargins(4, 0, 4, 0);
    RadioButton1 = new QRadioButton(QStringLiteral("&With"), GroupBox1);
    RadioButton2 = new QRadioButton(QStringLiteral("&None"), GroupBox1);
    RadioButton1->setChecked(true);
    frames->addWidget(RadioButton1);
    frames->addWidget(RadioButton2);

    FontComboBox1 = new TFontComboBox(Panel1);
    FontComboBox1->setOptions(TFontListOptions(foAnsiOnly | foFixedPitchOnly));
    FontComboBox1->setMinimumWidth(150);

    ComboBox2 = new QComboBox(Panel1);
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);
    for (int size = 6; size <= 18; ++size)
        ComboBox2->addItem(QString::number(size));
    ComboBox2->setCurrentIndex(-1);
    ComboBox2->setEditText(QStringLiteral("9"));

    btnPrint
        = glyphButton(Panel1, style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("&Print"), QString());
    btnLuk = glyphButton(Panel1, style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("E&xit"),
        QStringLiteral("Luk uden at udskrive"));

    for (QWidget *control : std::initializer_list<QWidget *> {
             btnTilbage, lblSidetal, btnFrem, ComboBox1, GroupBox1, FontComboBox1, ComboBox2, btnPrint, btnLuk})
        bar->addWidget(control);
    bar->addStretch(1);

    connect(btnTilbage, &QToolButton::clicked, this, guarded([this] { btnTilbageClick(); }));
    connect(btnFrem, &QToolButton::clicked, this, guarded([this] { btnFremClick(); }));
    connect(ComboBox1, &QComboBox::activated, this, guarded([this](int index) { ComboBox1Click(index); }));
    connect(RadioButton1, &QRadioButton::clicked, this, guarded([this] { RadioButton1Click(); }));
    connect(RadioButton2, &QRadioButton::clicked, this, guarded([this] { RadioButton2Click(); }));
    FontComboBox1->OnClick = guarded([this](TFontComboBox *) { FontComboBox1Click(); });
    FontComboBox1->OnChange = guarded([this](TFontComboBox *) { FontComboBox1Change(); });
    connect(ComboBox2, &QComboBox::activated, this, guarded([this](int index) { ComboBox2Click(index); }));
    connect(btnPrint, &QToolButton::clicked, this, guarded([this] { btnPrintClick(); }));
    connect(btnLuk, &QToolButton::clicked, this, guarded([this] { btnLukClick(); }));

    // Escape leaves as "Exit" does; a list that is open takes it first.
    auto *escapeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escapeKey, &QShortcut::activated, btnLuk, &QToolButton::click);
    for (QToolButton *button : {btnTilbage, btnFrem, btnPrint, btnLuk})
        button->installEventFilter(this);
}

void TPrintPrv::setSource(const TStringGrid *grid, const PanelStatusBar *totals)
{
    m_grid = grid;
    m_totals = totals;
}

// --- Window --------------------------------------------------------------------

// The window and its frame fill the screen's free area, which leaves out
// panels. A window manager frames the window only after it is shown: until
// then the frame counts as nothing (see eventFilter).
void TPrintPrv::FormCreate()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        m_fittedFrame = frameMargins();
        const QRect full = screen->availableGeometry() - m_fittedFrame;
        if (geometry() != full)
            setGeometry(full);
    }
}

QMargins TPrintPrv::frameMargins() const
{
    return windowHandle() ? windowHandle()->frameMargins() : QMargins();
}

void TPrintPrv::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // For its exposure (eventFilter); installing it again on a later show
    // changes nothing.
    windowHandle()->installEventFilter(this);
    runGuarded([this] { FormShow(); });
}

bool TPrintPrv::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        runGuarded([this] { FormActivate(); });
    return QWidget::event(event);
}

void TPrintPrv::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    runGuarded([this] { FormCreate(); });
}

bool TPrintPrv::eventFilter(QObject *watched, QEvent *event)
{
    // A window manager frames the window before it is exposed: now the frame
    // is known, and the window shrinks to make room for it.
    if (watched == windowHandle() && event->type() == QEvent::Expose && frameMargins() != m_fittedFrame)
        runGuarded([this] { FormCreate(); });
    if (watched == Prn && event->type() == QEvent::FocusOut) {
        // Only a move of the focus inside this window counts, not another
        // window becoming active.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            runGuarded([this] { PrnExit(); });
    }
    // The viewport has its new size here, which the scroll ranges need.
    if (watched == Prn->viewport() && event->type() == QEvent::Resize && m_zoomFollowsWidth)
        runGuarded([this] { zoomToPageWidth(); });
    // A focused button of the top bar takes Enter as it takes Space.
    if (auto *button = qobject_cast<QToolButton *>(watched); button && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            button->click();
            return true;
        }
    }
    if (watched == ComboBox1->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            runGuarded([this] { ComboBox1KeyPress(); });
            return true; // Enter is used up here
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TPrintPrv::FormShow()
{
    {
        // Shows "PageWidth" without zooming; the percentage follows later.
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->setCurrentIndex(PageWidthEntry);
    }
    Timer1->start();
    Prn->setTableFormat(Printout::TableFormat);
    FontComboBox1->setFont(QFont(QStringLiteral("Courier New")));
    Printout::setFontName(*Prn, FontComboBox1->selectedItem());
    Printout::setFontSize(*Prn, sizeBoxValue());
}

void TPrintPrv::FormActivate()
{
    showPageLabel(false);
}

void TPrintPrv::showPageLabel(bool withWord)
{
    // The number of pages is known once the last one is laid out: until then
    // the label tells the page only.
    QString position = QString::number(Prn->PageNumber());
    if (Prn->LayoutComplete()) {
        position += QStringLiteral(" of %1").arg(Prn->PageCount());
        m_labelAwaitingCount.reset();
    } else {
        m_labelAwaitingCount = withWord;
    }
    lblSidetal->setText(withWord ? QStringLiteral("Page ") + position : position);
}

int TPrintPrv::sizeBoxValue() const
{
    return parseInteger(ComboBox2->currentText());
}

// --- Zoom and pages ------------------------------------------------------------------

void TPrintPrv::Timer1Timer()
{
    Timer1->stop();
    ComboBox1->setEditText(QString::number(Prn->ZoomPercent()));
}

void TPrintPrv::zoomToPageWidth()
{
    const int before = Prn->ZoomPercent();
    Prn->ZoomToWidth();
    // A percentage already shown would be out of date.
    if (Prn->ZoomPercent() != before && !Timer1->isActive())
        Timer1Timer();
}

void TPrintPrv::ComboBox1Click(int index)
{
    m_zoomFollowsWidth = false;
    if (index >= 0 && index < int(std::size(ZoomSteps)))
        Prn->setZoomPercent(ZoomSteps[index]);
    else if (index == PageWidthEntry)
        Prn->ZoomToWidth();
    else if (index == PageHeightEntry)
        Prn->ZoomToHeight();
    else if (index == FitEntry)
        Prn->ZoomToFit();
    Timer1->start();
}

// A typed percentage counts on Enter; the page printer keeps it within
// 1 … 1000 %, and a text that is not a whole number is ignored.
void TPrintPrv::ComboBox1KeyPress()
{
    m_zoomFollowsWidth = false;
    if (const std::optional<qint32> percent = tryParseInteger(ComboBox1->currentText()))
        Prn->setZoomPercent(*percent);
}

void TPrintPrv::btnFremClick()
{
    if (!Prn->LayOutTo(Prn->PageNumber() + 1))
        return;
    Prn->setPageNumber(Prn->PageNumber() + 1);
    FormShow();
    showPageLabel(true);
}

void TPrintPrv::btnTilbageClick()
{
    if (Prn->PageNumber() <= 1)
        return;
    Prn->setPageNumber(Prn->PageNumber() - 1);
    FormShow();
    showPageLabel(true);
}

// --- Rebuilds -------------------------------------------------------------------------

void TPrintPrv::RadioButton1Click()
{
    BuildPrintout(RowLook::FramesOn);
}

void TPrintPrv::RadioButton2Click()
{
    BuildPrintout(RowLook::FramesOff);
}

void TPrintPrv::FontComboBox1Click()
{
    BuildPrintout(RowLook::ChosenFont);
}

void TPrintPrv::FontComboBox1Change()
{
    FontComboBox1->setToolTip(FontComboBox1->selectedItem());
}

void TPrintPrv::ComboBox2Click(int)
{
    BuildPrintout(RowLook::ChosenSize);
}

std::unique_ptr<DocumentSource> TPrintPrv::printout(RowLook look)
{
    m_lastLook = look;
    // Read before the document is touched: a size box that holds no number
    // leaves the pages as they were.
    const int size = look == RowLook::AsBefore ? 0 : sizeBoxValue();
    QStringList totals;
    if (m_totals)
        totals = {m_totals->PanelText(0), m_totals->PanelText(1), m_totals->PanelText(2)};
    return std::make_unique<Printout::WorksheetDocument>(
        m_grid ? m_grid->cellTable() : CellTable(), look, FontComboBox1->selectedItem(), size, totals);
}

void TPrintPrv::BuildPrintout(RowLook look)
{
    std::unique_ptr<DocumentSource> document = printout(look);
    Prn->BeginUpdate();
    const auto resume = qScopeGuard([this] { Prn->EndUpdate(); });
    Prn->LayOutDocument(std::move(document));
}

void TPrintPrv::buildFromMainWindow()
{
    FormCreate(); // filling the screen's free area
    for (auto setMargin : {&TPagePrinter::setMarginLeft, &TPagePrinter::setMarginRight, &TPagePrinter::setMarginTop,
             &TPagePrinter::setMarginBottom})
        (Prn->*setMargin)(20);
    Prn->LayOutDocument(printout(RowLook::AsBefore));
    // The window gets its final size only after this: its layout, and a
    // window manager's frame, follow the show. Until the user chooses a zoom,
    // the page width is worked out again whenever the page's view is resized.
    m_zoomFollowsWidth = true;
    Prn->ZoomToWidth();
    showPageLabel(true);
}

// --- Printing and leaving ----------------------------------------------------------------

void TPrintPrv::btnPrintClick()
{
    // Without a printer set up (many machines have none) the print dialog
    // comes first; its PDF file is then the printer, and the pages are laid
    // out again for it.
    bool layOutAgain = false;
    if (!m_printer.isValid()) {
        if (!PrinterDialog(m_printer))
            return;
        Prn->setPrinter(&m_printer);
        layOutAgain = true;
    }
    // The document is gone once the page has lost the focus, while the page
    // label still counts its pages: what was shown is written again.
    if (layOutAgain || Prn->PageCount() == 0) {
        BuildPrintout(m_lastLook);
        showPageLabel(true);
    }
    Prn->PrintDocument();
}

void TPrintPrv::btnLukClick()
{
    hide();
}

void TPrintPrv::PrnExit()
{
    if (!Prn->Printing())
        Prn->ClearDocument();
}
