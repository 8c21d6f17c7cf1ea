#include "mainwindow.h"

#include "aboutbox.h"
#include "analogclock.h"
#include "awaysetting.h"
#include "awaydetector.h"
#include "awaytime.h"
#include "clocksource.h"
#include "dateedit.h"
#include "datetimetext.h"
#include "desktopopener.h"
#include "errors.h"
#include "filelocations.h"
#include "gridsorter.h"
#include "hypergrid.h"
#include "maskededit.h"
#include "messages.h"
#include "modules.h"
#include "onoffswitch.h"
#include "overviewgrid.h"
#include "popupmenu.h"
#include "preferencesdialog.h"
#include "programicon.h"
#include "settingsfile.h"
#include "singleinstance.h"
#include "panelstatusbar.h"
#include "stopwatchnotices.h"
#include "taskbarentry.h"
#include "today.h"
#include "trayicon.h"
#include "workinghours.h"
#include "worksheet.h"
#include "worksheeteditor.h"
#include "worksheetfile.h"
#include "worksheetmodel.h"
#include "worksheetpreload.h"
#include "worksheetrows.h"
#include "worksheettotals.h"

#include <algorithm>
#include <cmath>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <QThread>
#include <QTimer>
#include <QToolButton>

namespace {

// Every 15 minutes a running period is brought up to date and saved.
constexpr int SaveInterval = 15 * 60 * 1000;

QLabel *label(QWidget *parent, const QString &text, int x, int y, QWidget *buddy = nullptr)
{
    auto *l = new QLabel(text, parent);
    l->move(x, y);
    l->adjustSize();
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

template<typename Edit> Edit *edit(QWidget *parent, const QRect &geometry, const QString &hint = {})
{
    auto *e = new Edit(parent);
    e->setGeometry(geometry);
    e->setToolTip(hint);
    return e;
}

// The switch's own 22 × 22 pictures: a round button, grey when off and lit
// green when on. The ground is transparent, so that the smoothed rim blends
// into the switch's colour rather than into a key colour.
QPixmap switchGlyph(bool on)
{
    QPixmap picture(22, 22);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(toQColor(BlackColor), 1));
    p.setBrush(toQColor(GrayColor));
    p.drawEllipse(QRectF(1.5, 1.5, 19, 19));
    p.setBrush(toQColor(on ? LimeColor : clSilver));
    p.drawEllipse(QRectF(5.5, 5.5, 11, 11));
    return picture;
}

} // namespace

TForm1::TForm1(const QString &dataFolder, const QString &programFolder, QWidget *parent)
    : TForm1(dataFolder, programFolder, parent, nullptr)
{ }

TForm1::TForm1(const QString &dataFolder, WorksheetPreload &worksheet)
    : TForm1(dataFolder, QCoreApplication::applicationDirPath(), nullptr, &worksheet)
{ }

TForm1::TForm1(const QString &dataFolder, const QString &programFolder, QWidget *parent, WorksheetPreload *worksheet)
    : QWidget(parent)
    , m_dataFolder(dataFolder)
    , m_programFolder(programFolder)
    , m_worksheetFile(std::make_unique<WorksheetFile>(worksheetPath()))
    , m_notices(std::make_unique<StopwatchNotices>())
    , m_awayTime(std::make_unique<AwayTime>(awayPendingFile(dataFolder)))
{
    setWindowTitle(QStringLiteral("Worktally"));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(8);
    setFont(tahoma);
    setFixedSize(670, 423);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    createToolBar();
    createEditPanel();
    createStopwatch();
    createAlarmBox();
    Clock1 = new TAnalogClock(this);
    Clock1->setGeometry(536, 48, 131, 129);
    Clock1->setShowMode(scAnalog);
    Clock1->OnAlarm = guarded([this](TAnalogClock *) { Clock1Alarm(); });
    playSound = [](const QString &path) { soundModule().playWaveToEnd(path); };

    Grid1 = new THyperGrid(this);
    configureOverviewGrid(*Grid1);
    // Made after the grid, so that it outlives it.
    m_model = new WorksheetModel(this);
    Grid1->useCellTable(m_model->cells());
    Grid1->setGeometry(0, 181, 670, 217);
    Grid1->OnSelectCell
        = [this](TStringGrid *, int col, int row, bool &canSelect) { Grid1SelectCell(col, row, canSelect); };
    Grid1->OnClick = guarded([this](TStringGrid *) { Grid1DblClick(); });
    SortAStringGrid1 = new TSortAStringGrid(this);
    SortAStringGrid1->setGridToSort(Grid1);
    SortAStringGrid1->setSortType(TSortAStringGrid::ToSortType::Date);
    SortAStringGrid1->setShowMessageOnError(true);
    m_editor = std::make_unique<WorksheetEditor>(
        Grid1->cellTable(), std::make_unique<OverviewGridRows>(*Grid1), &m_model->values());
    createShortcuts();

    StatusBar1 = new PanelStatusBar(this);
    StatusBar1->setGeometry(0, 398, 670, 25);
    StatusBar1->addPanel(235, Qt::AlignRight, QStringLiteral("Home Worktime"));
    StatusBar1->addPanel(155, Qt::AlignRight, QStringLiteral("Nominal Worktime:"));
    StatusBar1->addPanel(70, Qt::AlignRight, QStringLiteral("Difference:"));
    StatusBar1->addPanel(45, Qt::AlignHCenter, QStringLiteral("v. 1.00"));

    Timer1 = new QTimer(this);
    Timer1->setInterval(SaveInterval);
    connect(Timer1, &QTimer::timeout, this, guarded([this] { Timer1Timer(); }));
    LiveTimer = new QTimer(this);
    LiveTimer->setSingleShot(true);
    LiveTimer->setTimerType(Qt::PreciseTimer);
    connect(LiveTimer, &QTimer::timeout, this, guarded([this] { LiveTimerTimer(); }));
    notify = [this](const QString &text) { TrayIcon1->showNotice(QStringLiteral("Worktally"), text); };

    setTabOrder(Switch1, DateEdit1);
    setTabOrder(DateEdit1, MaskEdit1);
    setTabOrder(MaskEdit1, MaskEdit2);
    setTabOrder(MaskEdit2, DateEdit2);
    setTabOrder(DateEdit2, MaskEdit3);
    setTabOrder(MaskEdit3, memo1);
    setTabOrder(memo1, DateEdit3);
    setTabOrder(DateEdit3, btnV1);
    setTabOrder(btnV1, MaskEdit4);
    setTabOrder(MaskEdit4, chkWake);
    setTabOrder(chkWake, chkLyd);

    openUrl = [this](const QUrl &url, std::function<void()> failed) { openWithDesktop(url, this, std::move(failed)); };

    chooseColor = [this](const QColor &initial) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(initial, this);
        return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
    };

    // The check for a running copy comes before anything is read, and before
    // the tray icon, so that a second copy shows nothing but its message.
    SingleInstance1 = new TSingleInstance(this);
    SingleInstance1->setFallbackLockFolder(m_dataFolder);
    SingleInstance1->OnAlreadyRunning = [this](TSingleInstance *, qint64 instance, qint64 window) {
        runGuarded([&] { SingleInstance1AlreadyRunning(instance, window); });
    };
    SingleInstance1->Loaded();
    if (m_ending)
        return;
    createTray();
    runGuarded([this, worksheet] { FormCreate(worksheet); });
    if (!m_pendingWorksheet)
        becomeReady();
}

TForm1::~TForm1()
{
    // The reading thread's last act is a call queued to this window.
    if (m_pendingWorksheet)
        m_pendingWorksheet->wait();
}

void TForm1::becomeReady()
{
    m_editor->history().clear(); // the fresh worksheet of a first start is no change to undo
    m_ready = true;
}

void TForm1::createToolBar()
{
    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 0, 670, 41);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    struct Button
    {
        QToolButton *&button;
        const char *caption;
        const char *hint;
        int left;
    };
    const Button buttons[] = {
        {btnMinimer, "&Minimize", "Minimize to System Tray", 3},
        {btnGem, "&Save now", "Save actual worksheet at actual time", 83},
        {btnInsLine, "&Insert", "Insert new line (in Overview)", 164},
        {btnDelete, "&Delete", "Delete marked entry (in Overview)", 245},
        {btnUdskriv, "&Print", "Print actual worksheet", 326},
        {SpeedButton1, "Set&up", "Choose a background color", 408},
        {btnLuk, "&Exit", "Close Worktally and autosave", 513},
        {btnAbout, "&Help ", "", 591},
    };
    for (const Button &b : buttons) {
        b.button = new QToolButton(Panel1);
        b.button->setText(QString::fromUtf8(b.caption));
        b.button->setToolTip(QString::fromUtf8(b.hint));
        b.button->setAutoRaise(true);
        b.button->setFocusPolicy(Qt::NoFocus);
        b.button->setGeometry(b.left, 4, b.left >= 513 ? 76 : 78, 33);
    }
    connect(btnMinimer, &QToolButton::clicked, this, guarded([this] { btnMinimerClick(); }));
    connect(btnAbout, &QToolButton::clicked, this, guarded([this] { btnAboutClick(); }));
    connect(btnUdskriv, &QToolButton::clicked, this, guarded([this] { btnUdskrivClick(); }));
    connect(btnGem, &QToolButton::clicked, this, guarded([this] { btnGemClick(); }));
    connect(btnLuk, &QToolButton::clicked, this, guarded([this] { btnLukClick(); }));
    connect(SpeedButton1, &QToolButton::clicked, this, guarded([this] { SpeedButton1Click(); }));
    connect(btnInsLine, &QToolButton::clicked, this, guarded([this] { btnInsLineClick(); }));
    connect(btnDelete, &QToolButton::clicked, this, guarded([this] { btnDeleteClick(); }));

    // The right click on Setup offers the settings beyond the colour, which
    // the left click chooses.
    SetupMenu = new TPopupMenu(this);
    PopPreferences = SetupMenu->addAction(QStringLiteral("Preferences…"));
    PopPreferences->setToolTip(QStringLiteral("Set the working time owed on each weekday and the away time"));
    PopPreferences->setStatusTip(PopPreferences->toolTip());
    connect(PopPreferences, &QAction::triggered, this, guarded([this] { PopPreferencesClick(); }));
    SpeedButton1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(SpeedButton1, &QWidget::customContextMenuRequested, this,
        [this](QPoint at) { SetupMenu->popup(SpeedButton1->mapToGlobal(at)); });
}

void TForm1::showSetupMenuBelowItsButton()
{
    SetupMenu->popup(SpeedButton1->mapToGlobal(QPoint(0, SpeedButton1->height())));
    // Enter picks the first item at once, as in a menu opened from a menu bar.
    SetupMenu->setActiveAction(SetupMenu->actions().value(0));
}

void TForm1::createShortcuts()
{
    const auto addShortcut = [this](const QList<QKeySequence> &keys, std::function<void()> handler) {
        auto *shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        connect(shortcut, &QShortcut::activated, this, guarded(std::move(handler)));
    };
    // A text edit with the focus keeps these keys for its own text.
    addShortcut({QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] { undoChange(); });
    addShortcut({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
        [this] { redoChange(); });
    // The tool-bar buttons take no focus and share their Alt letters with
    // other controls, so these are the keyboard's way to them.
    addShortcut({QKeySequence(Qt::CTRL | Qt::Key_Q)}, [this] { btnLukClick(); });
    addShortcut({QKeySequence(Qt::Key_F1)}, [this] { btnAboutClick(); });
    addShortcut({QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { btnGemClick(); });
    addShortcut({QKeySequence(Qt::CTRL | Qt::Key_P)}, [this] { btnUdskrivClick(); });
    addShortcut({QKeySequence(Qt::CTRL | Qt::Key_Comma)}, [this] { showSetupMenuBelowItsButton(); });
    // The grid stays out of the tab order; these pick its rows from anywhere.
    addShortcut({QKeySequence(Qt::CTRL | Qt::Key_Up)}, [this] { clickGridRow(Grid1->Row() - 1); });
    addShortcut({QKeySequence(Qt::CTRL | Qt::Key_Down)}, [this] { clickGridRow(Grid1->Row() + 1); });
    addShortcut({QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
        [this] { clickGridRow(Grid1->Row() - std::max(1, Grid1->VisibleRowCount())); });
    addShortcut({QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        [this] { clickGridRow(Grid1->Row() + std::max(1, Grid1->VisibleRowCount())); });
    addShortcut({QKeySequence(Qt::CTRL | Qt::Key_Home)}, [this] { clickGridRow(Grid1->FixedRows()); });
    addShortcut({QKeySequence(Qt::CTRL | Qt::Key_End)}, [this] { clickGridRow(Grid1->RowCount() - 2); });
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        edit->installEventFilter(this); // see eventFilter
}

void TForm1::clickGridRow(int row)
{
    // The title row takes no click; the bottom line is refused by the click.
    row = std::clamp(row, Grid1->FixedRows(), Grid1->RowCount() - 1);
    if (row == Grid1->Row())
        Grid1DblClick(); // a click on the current row loads it again
    else
        Grid1->setRow(row); // scrolls to it and fires the grid's click
}

void TForm1::createEditPanel()
{
    GroupBox1 = new QGroupBox(QStringLiteral("Edit"), this);
    GroupBox1->setGeometry(0, 40, 395, 137);
    // Positions inside the box: the window's layout less the box's top of 40.
    DateEdit1 = edit<TDateEdit>(GroupBox1, {50, 28, 100, 21}, QStringLiteral("Home Work Date"));
    MaskEdit1 = edit<MaskedEdit>(GroupBox1, {50, 55, 100, 21}, QStringLiteral("Start time for actual periode"));
    DateEdit3 = edit<TDateEdit>(GroupBox1, {50, 79, 100, 21}, QStringLiteral("Home Work Date"));
    MaskEdit2 = edit<MaskedEdit>(GroupBox1, {50, 104, 100, 21}, QStringLiteral("End time of actual period"));
    DateEdit2 = edit<TDateEdit>(GroupBox1, {232, 28, 100, 21}, QStringLiteral("Nominal Work Date"));
    MaskEdit3 = edit<MaskedEdit>(
        GroupBox1, {231, 55, 100, 21}, QStringLiteral("The hours and minutes of the nominal worktime"));
    memo1 = edit<QPlainTextEdit>(GroupBox1, {231, 79, 100, 45}, QStringLiteral("Insert notes for the period's work"));
    memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo1->setTabChangesFocus(true);
    for (MaskedEdit *time : {MaskEdit1, MaskEdit2, MaskEdit3})
        time->setEditMask(MaskedEdit::TimeMask);
    // The dates keep the worksheet's own form (08-12-98) on every machine,
    // whatever its locale says, so the file reads the same everywhere.
    for (TDateEdit *date : {DateEdit1, DateEdit3, DateEdit2}) {
        date->setDateLayout(DateFieldOrder::DayMonthYear, u'-');
        date->setYearDigits(dyTwo);
        date->setDefaultToday(true);
    }
    DateEdit2->setWeekends({Sun, Sat});
    btnV1 = new QPushButton(QStringLiteral("&Update"), GroupBox1);
    btnV1->setGeometry(335, 101, 56, 22);
    connect(btnV1, &QPushButton::clicked, this, guarded([this] { btnV1Click(); }));

    label(GroupBox1, QStringLiteral("Edit Home WorkTime:"), 8, 12);
    label(GroupBox1, QStringLiteral("Edit Nominal Worktime::"), 176, 12);
    label(GroupBox1, QStringLiteral("D&ate:"), 8, 31, DateEdit1);
    label(GroupBox1, QStringLiteral("St&art:"), 8, 58, MaskEdit1);
    label(GroupBox1, QStringLiteral("E&nd:"), 8, 82, DateEdit3);
    label(GroupBox1, QStringLiteral("Dat&e:"), 176, 31, DateEdit2);
    label(GroupBox1, QStringLiteral("&Hours:mins:"), 163, 58, MaskEdit3);
    label(GroupBox1, QStringLiteral("N&otes:"), 176, 82, memo1);
    // Read out without the screen's layout, two labels would say "Date:",
    // the End time edit below its date would take the box's title, and the
    // End date edit's hint is the Start date's.
    const std::pair<QWidget *, const char *> spokenNames[] = {
        {DateEdit1, "Home WorkTime Date"},
        {MaskEdit1, "Start"},
        {DateEdit3, "End date"},
        {MaskEdit2, "End time"},
        {DateEdit2, "Nominal Worktime Date"},
        {MaskEdit3, "Hours:mins"},
        {memo1, "Notes"},
    };
    for (const auto &[edit, name] : spokenNames)
        edit->setAccessibleName(QString::fromUtf8(name));
    DateEdit3->setAccessibleDescription(QStringLiteral("End date of actual period"));
}

void TForm1::createStopwatch()
{
    Switch1 = new TOnOffSwitch(this);
    Switch1->setGeometry(408, 48, 113, 49);
    Switch1->setCaption(QStringLiteral("S&tart"));
    Switch1->setParentColor(false);
    Switch1->setColor(clBtnFace);
    Switch1->setTextPosition(tpAbove);
    Switch1->setGlyphOff(switchGlyph(false));
    Switch1->setGlyphOn(switchGlyph(true));
    Switch1->setToolTip(QStringLiteral("Start/stop the stopwatch by clicking this button"));
    Switch1->OnOn = guarded([this](TOnOffSwitch *) { Switch1On(); });
    Switch1->OnOff = guarded([this](TOnOffSwitch *) { Switch1Off(); });
}

void TForm1::createTray()
{
    TrayMenu1 = new TPopupMenu(this);
    TrayMenu1->setToolTipsVisible(true);
    auto item = [this](const QString &caption, const QString &hint, std::function<void()> handler) {
        QAction *action = TrayMenu1->addAction(caption);
        action->setToolTip(hint);
        action->setStatusTip(hint);
        connect(action, &QAction::triggered, this, guarded(std::move(handler)));
        return action;
    };
    PopRestore1 = item(
        QStringLiteral("&Worktally"), QStringLiteral("Recreates Worktally form"), [this] { TrayIcon1DblClick(); });
    // Through the switch, so that the tray starts and stops as a click does.
    PopStopwatch = item(Switch1->Caption(), Switch1->toolTip(), [this] { Switch1->Toggle(); });
    PopWWW1 = item(QStringLiteral("SorrelbySoft &WWW"), QStringLiteral("Visit SorrelbySoft's Internet Website"),
        [this] { PopWWW1Click(); });
    popAbout = item(QStringLiteral("&About Worktally"), QStringLiteral("Information about this program"),
        [this] { popAboutClick(); });
    TrayMenu1->addAction(PopPreferences);
    N1 = TrayMenu1->addSeparator();
    PopLuk = item(QStringLiteral("E&xit"), QStringLiteral("Gemmer aktuel tid og lukker Worktally-programmet"),
        [this] { btnLukClick(); });
    TrayMenu1->setDefaultAction(PopRestore1);

    TrayIcon1 = new TTrayIcon(this);
    TrayIcon1->setHint(QStringLiteral("Worktally"));
    TrayIcon1->setIcon(windowIcon());
    TrayIcon1->setPopupMenu(TrayMenu1);
    TrayIcon1->OnDblClick = [this](TTrayIcon *) { TrayIcon1DblClick(); };
    TrayIcon1->OnClick
        = [this](TTrayIcon *, Qt::MouseButton button, Qt::KeyboardModifiers, QPoint) { TrayIcon1Click(button); };
    connect(TrayIcon1, &TTrayIcon::addedChanged, this, guarded([this](bool added) { TrayIcon1AddedChange(added); }));
}

void TForm1::createAlarmBox()
{
    GroupBox2 = new QGroupBox(QStringLiteral("Set alarm "), this);
    GroupBox2->setGeometry(400, 101, 129, 76);
    GroupBox2->setToolTip(QStringLiteral("Set the Alarm"));
    MaskEdit4 = edit<MaskedEdit>(GroupBox2, {8, 24, 46, 21});
    MaskEdit4->setEditMask(MaskedEdit::TimeMask);
    MaskEdit4->setText(QStringLiteral("00:00"));
    chkWake = new QCheckBox(QStringLiteral("S&et !"), GroupBox2);
    chkWake->setGeometry(60, 18, 66, 20);
    chkWake->setToolTip(QStringLiteral("When this field is checked, the alarm is active"));
    chkLyd = new QCheckBox(QStringLiteral("So&und"), GroupBox2);
    chkLyd->setGeometry(60, 44, 66, 20);
    chkLyd->setToolTip(QStringLiteral("When this field is checked, the alarm wil use both a popup-box and a sound"));
    connect(chkWake, &QCheckBox::toggled, this, guarded([this](bool) { chkWakeClick(); }));
}

QString TForm1::worksheetPath() const
{
    return worksheetFile(m_dataFolder);
}

QString TForm1::alarmSoundPath() const
{
    return QDir(m_dataFolder).filePath(QStringLiteral("alarm.wav"));
}

QString TForm1::settingsPath() const
{
    return settingsFile(m_dataFolder);
}

// --- Start-up ----------------------------------------------------------------

void TForm1::readBackgroundColor()
{
    // Without a stored colour the edits and the grid are white: black, the
    // colour dialog's own start value, would hide every text.
    m_backgroundColor = SettingsFile(settingsPath()).backgroundColor().value_or(WhiteColor);
}

void TForm1::applyBackgroundColor(TColor color)
{
    for (int col : {StartColumn, EndColumn, TimeColumn, NominalDateColumn, NominalTimeColumn, DiffColumn, NotesColumn})
        Grid1->Columns().Items(col)->setColumnColor(color);
    const QColor screenColor = toQColor(color);
    const QColor textColor = toQColor(readableTextColor(color));
    for (QWidget *edit : std::initializer_list<QWidget *> {
             DateEdit1, DateEdit2, DateEdit3, MaskEdit1, MaskEdit2, MaskEdit3, MaskEdit4, memo1}) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, screenColor);
        palette.setColor(QPalette::Text, textColor);
        edit->setPalette(palette);
    }
}

void TForm1::FormCreate(WorksheetPreload *preload)
{
    readBackgroundColor();
    Grid1->setColor(m_backgroundColor);
    applyBackgroundColor(m_backgroundColor);
    // A working time that does not read is told here, once; the minute
    // update passes over it.
    readPreferences();
    runGuarded([this] { m_workingHours.requireReadable(); });

    // A large worksheet still being read does not hold back the window: it
    // shows at once, without rows, and they come in once they are read.
    if (preload && !preload->isRead() && !preload->readsQuickly()) {
        m_pendingWorksheet = preload;
        qApp->installEventFilter(this);
        preload->whenRead(
            [this] { QMetaObject::invokeMethod(this, [this] { finishReading(); }, Qt::QueuedConnection); });
        // The first paint starts the reading; a window the desktop keeps
        // from being painted (minimized at once, on another workspace)
        // starts it all the same.
        QTimer::singleShot(500, this, &TForm1::startReadingWorksheet);
        return;
    }
    loadStartWorksheet(preload);
}

void TForm1::loadStartWorksheet(WorksheetPreload *preload)
{
    const QString path = worksheetPath();
    bool preloaded = false;
    try {
        preloaded = loadWorksheet(preload);
    } catch (const FileOpenError &) {
        if (QFile::exists(path)) {
            m_worksheetFile->markUnreadable();
            throw;
        }
        // No worksheet yet: a fresh one with a single period of no length.
        Switch1On();
        Switch1Off();
        const int bottom = Grid1->RowCount() - 1;
        Grid1->setSelection({0, bottom, Grid1->ColCount() - 1, bottom});
    } catch (...) {
        m_worksheetFile->markUnreadable();
        throw;
    }
    showLastRows();
    fillEditPanel();
    if (preloaded) {
        showTotals(preload->totals()); // recalculated where the rows were read
        showToday();
    } else {
        Button1Click();
    }
}

void TForm1::startReadingWorksheet()
{
    if (m_pendingWorksheet)
        m_pendingWorksheet->startReading();
}

void TForm1::finishReading()
{
    WorksheetPreload *preload = std::exchange(m_pendingWorksheet, nullptr);
    if (!preload)
        return;
    qApp->removeEventFilter(this);
    if (!preload->isRead()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QGuiApplication::sync(); // shown before the wait, not after it
        preload->wait();
        QApplication::restoreOverrideCursor();
    }
    runGuarded([this, preload] { loadStartWorksheet(preload); });
    becomeReady();
}

// While the worksheet is being read, whatever the user does waits for the
// reading to end, so that it acts on the whole worksheet. Every exit waits in
// closeEvent.
bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Paint:
        // The reading starts once the window is painted, so as not to take
        // a core from its mapping and its first paint.
        if (watched == this)
            QTimer::singleShot(0, this, &TForm1::startReadingWorksheet);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        finishReading();
        break;
    default:
        break;
    }
    // A one-line edit takes Ctrl+Home and Ctrl+End as Home and End; here
    // they pick the first and last row of the grid.
    if (event->type() == QEvent::ShortcutOverride && qobject_cast<QLineEdit *>(watched)) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (key->modifiers() == Qt::ControlModifier && (key->key() == Qt::Key_Home || key->key() == Qt::Key_End))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::showLastRows()
{
    if (Grid1->RowCount() > 2) {
        Grid1->setTopRow(Grid1->RowCount() - 1);
        const int last = Grid1->RowCount() - 2;
        Grid1->setSelection({0, last, Grid1->ColCount() - 1, last});
    }
}

// A shown window has its entry in the task bar, whatever tray there is; Qt
// sends this before it maps the window, while the entry can still be set on
// the window itself, and keeps what hiding it in the tray left there.
void TForm1::showEvent(QShowEvent *event)
{
    setTaskbarEntryHidden(this, false);
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        runGuarded([this] { FormShow(); });
    }
}

void TForm1::FormShow()
{
    readBackgroundColor();
    applyBackgroundColor(m_backgroundColor);
    tellRecoveredWorksheets();
    if (m_awayTime->readLastRun())
        askAboutAway();
}

// --- Saving and exit -----------------------------------------------------------

// A save written on a thread of its own, from a copy of the rows.
class BackgroundSave
{
public:
    BackgroundSave(WorksheetFile::Save save, QString diskVersion)
        : save(std::move(save))
        , diskVersion(std::move(diskVersion))
        , thread(QThread::create([this] { this->save.run(); }))
    { }
    ~BackgroundSave() { thread->wait(); }

    WorksheetFile::Save save;
    const QString diskVersion; // where the file that was on disk is kept, if it was
    const std::unique_ptr<QThread> thread;
};

namespace {

void noteSave(WorksheetFile &file, const WorksheetFile::Save &save, const QString &diskVersion, bool report)
{
    const bool backupWritten = file.noteSaved(save);
    if (!report)
        return;
    if (!save.error().isEmpty()) {
        showMessage(save.error(), MessageKind::Error);
        return;
    }
    if (!backupWritten)
        showMessage(FileCreateError(file.backupPath()).message(), MessageKind::Error);
    if (!diskVersion.isEmpty())
        showMessage(QStringLiteral("The worksheet was saved. The version that was on disk is kept as %1.")
                        .arg(QDir::toNativeSeparators(diskVersion)));
}

} // namespace

bool TForm1::saveWorksheet(Writing writing)
{
    finishBackgroundSave();
    WorksheetFile &file = *m_worksheetFile;
    if (file.isUnreadable())
        throw FileCreateError(file.path());
    const QScopedValueRollback saving(m_saving, true);
    const auto ended = qScopeGuard([this] { afterSave(); });
    QString diskVersion;
    if (file.changedOnDisk()) {
        WorksheetFile::Change answer;
        {
            const QScopedValueRollback asking(m_asking, true);
            answer = file.askAboutChange();
        }
        switch (answer) {
        case WorksheetFile::Change::Cancel:
            return false;
        case WorksheetFile::Change::Reload:
            reloadWorksheet();
            return false;
        case WorksheetFile::Change::Overwrite:
            diskVersion = file.keepDiskVersion();
            break;
        }
    }
    m_changeWaiting = false; // the rows written hold every change so far
    WorksheetFile::Save save = file.prepareSave(Grid1->csvRows(0, 1));
    if (writing == Writing::InBackground) {
        m_backgroundSave = std::make_unique<BackgroundSave>(std::move(save), diskVersion);
        QThread *thread = m_backgroundSave->thread.get();
        connect(thread, &QThread::finished, this, guarded([this, thread] {
            if (m_backgroundSave && m_backgroundSave->thread.get() == thread)
                finishBackgroundSave();
        }));
        thread->start();
        return true;
    }
    save.run();
    noteSave(file, save, diskVersion, true);
    return save.error().isEmpty();
}

void TForm1::finishBackgroundSave(bool report)
{
    if (!m_backgroundSave)
        return;
    const std::unique_ptr<BackgroundSave> done = std::move(m_backgroundSave);
    done->thread->wait();
    const QScopedValueRollback saving(m_saving, true);
    const auto ended = qScopeGuard([this] { afterSave(); });
    noteSave(*m_worksheetFile, done->save, done->diskVersion, report);
}

// The fresh worksheet of a first start is not a change: it is written by the
// first change or save.
void TForm1::saveChange()
{
    if (!m_ready)
        return;
    if (m_saving || m_asking || m_backgroundSave) {
        m_changeWaiting = true;
        return;
    }
    runGuarded([this] { saveWorksheet(Writing::InBackground); });
}

// Run from the event loop, once the save and its boxes are gone.
void TForm1::afterSave()
{
    if (m_changeWaiting || m_timerWaiting || m_exitWaiting)
        QTimer::singleShot(0, this, [this] { runWaitingRequests(); });
}

void TForm1::runWaitingRequests()
{
    if (m_saving || m_asking || m_backgroundSave)
        return; // again at the end of that save
    if (std::exchange(m_exitWaiting, false)) {
        close();
        return;
    }
    // The timer's save brings the running period up to date as well.
    if (std::exchange(m_timerWaiting, false)) {
        m_changeWaiting = false;
        runGuarded([this] { Timer1Timer(); });
    } else if (std::exchange(m_changeWaiting, false)) {
        saveChange();
    }
}

bool TForm1::loadWorksheet(WorksheetPreload *preload)
{
    // The rows read ahead take the place of the grid's two as it was made,
    // the title row and the bottom line, both empty.
    const CellTable &cells = Grid1->cellTable();
    const bool asMade = Grid1->ColCount() == WorksheetColumnCount && Grid1->VisibleColumnCount() == WorksheetColumnCount
        && cells.rowCount() == 2 && isEmptyRow(cells, 0) && isEmptyRow(cells, 1);
    if (std::optional<WorksheetPreload::Rows> rows = preload && asMade ? preload->take() : std::nullopt) {
        Grid1->setRowCount(rows->cells.rowCount());
        m_model->replaceRows(std::move(rows->cells), std::move(rows->values));
        Grid1->setCsvFileEncoding(rows->encoding);
        m_worksheetFile = std::move(rows->file);
        return true;
    }
    m_worksheetFile->noteLoading();
    m_model->changeAll([this] {
        m_worksheetFile->noteLoaded(Grid1->LoadFromCSV(0, 1, worksheetPath()));
        // As the start-up preload and the command line mend them.
        const WorksheetSize size = mendLoadedRows(Grid1->cellTable());
        Grid1->setColCount(size.columns);
        Grid1->setRowCount(size.rows);
    });
    return false;
}

void TForm1::reloadWorksheet()
{
    WorksheetFile &file = *m_worksheetFile;
    const QString windowVersion = file.datedPath();
    Grid1->SaveToCSV(0, 1, windowVersion);
    m_editor->reload(
        [this] {
            Grid1->setRowCount(2);
            Grid1->cellTable().clearRow(1);
            loadWorksheet();
        },
        Grid1->Row());
    showLastRows();
    fillEditPanel();
    showMessage(QStringLiteral("The worksheet from disk is shown. This window's worksheet is kept as %1.")
                    .arg(QDir::toNativeSeparators(windowVersion)));
    Button1Click();
    saveChange();
}

int TForm1::runningRow() const
{
    return m_editor->runningRow();
}

// Saving leaves the highlight where it is: moving it to the running period
// under a row the user is editing would make Update write that row's texts
// over the running period.
void TForm1::bringUpToNow()
{
    if (Switch1->StateOn())
        m_editor->bringUpToNow(ClockSource::now());
    Button1Click();
}

bool TForm1::saveNow()
{
    // A running period is brought up to now first; once its row is gone
    // (deleted while it ran) there is nothing to bring up to date. A cell
    // that no longer parses is reported, but never keeps what the user timed
    // from the file.
    runGuarded([this] { bringUpToNow(); });
    return saveWorksheet();
}

void TForm1::btnGemClick()
{
    saveNow();
}

// A tick while a save or the exit asks or reports waits for their end.
void TForm1::Timer1Timer()
{
    if (m_saving || m_asking) {
        m_timerWaiting = true;
        return;
    }
    btnGemClick();
}

// Nothing of this is written to the file (Timer1 saves) and nothing is
// reported: when a text does not read, the running period gets back its End
// and Time and the totals stay as they were.
void TForm1::LiveTimerTimer()
{
    if (!Switch1->StateOn())
        return;
    armLiveTimer();
    const int row = runningRow();
    if (!row || m_workingHours.isEmpty())
        return;
    const QString end = Grid1->Cells(EndColumn, row);
    const QString time = Grid1->Cells(TimeColumn, row);
    WorksheetTotals totals;
    try {
        m_editor->bringUpToNow(ClockSource::now());
        totals = m_model->recalculate();
    } catch (const ConversionError &) {
        Grid1->setCells(EndColumn, row, end);
        Grid1->setCells(TimeColumn, row, time);
        return;
    }
    showTotals(totals);
    if (const std::optional<Balance> today = showToday()) {
        const QDateTime start = toQDateTime(parseDateTime(Grid1->Cells(StartColumn, row)));
        for (const QString &notice : m_notices->due(start, *today, ClockSource::currentDateTime()))
            notify(notice);
    }
}

// End is written to the minute, so the running period moves on with each
// whole minute of the clock.
void TForm1::armLiveTimer()
{
    const QTime now = ClockSource::currentDateTime().time();
    LiveTimer->start(60 * 1000 - (now.second() * 1000 + now.msec()));
}

void TForm1::btnLukClick()
{
    close();
}

void TForm1::closeOnSignal()
{
    m_signalled = true;
    close();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (m_ending) { // a second copy leaves without writing anything
        event->accept();
        return;
    }
    // Every exit saves the whole worksheet, never a part of it.
    finishReading();
    event->ignore();
    // Asked for while a question waits for its answer, a second question
    // would open over the first: the exit comes once the first is answered
    // and its save is over. A signal does not wait for a save that only
    // reports, as no one may be there to read it.
    if (m_asking || (m_saving && !m_signalled)) {
        m_exitWaiting = true;
        return;
    }
    // The window only closes once the worksheet is safely written, or once
    // the user, told that it cannot be, chooses to quit all the same.
    bool canClose = false;
    if (std::exchange(m_signalled, false)) {
        canClose = saveOnSignal();
    } else if (m_worksheetFile->isUnreadable()) {
        {
            const QScopedValueRollback asking(m_asking, true);
            canClose = m_worksheetFile->askQuitUnsaved();
        }
        afterSave();
    } else {
        runGuarded([&] { canClose = saveNow(); });
    }
    if (canClose) {
        event->accept();
        QCoreApplication::quit();
    }
}

bool TForm1::saveOnSignal()
{
    try {
        bringUpToNow();
    } catch (const WorktallyError &) {
        // Saved as it is: the texts that do not read are the user's to mend.
    }
    finishBackgroundSave(false); // a failure shows again below
    WorksheetFile &file = *m_worksheetFile;
    if (!file.isUnreadable() && !file.changedOnDisk()) {
        WorksheetFile::Save save = file.prepareSave(Grid1->csvRows(0, 1));
        save.run();
        noteSave(file, save, QString(), false);
        if (save.error().isEmpty())
            return true;
    }
    const QString folder = recoveryFolder();
    QDir().mkpath(folder);
    const QString recovery = file.datedPath(folder, QStringLiteral("unsaved"));
    try {
        Grid1->csvRows(0, 1).saveTo(recovery);
    } catch (const WorktallyError &e) {
        // Nowhere to write: only the user can help now.
        showMessage(e.message(), MessageKind::Error);
        return false;
    }
    QFile notice(recoveryNoticeFile());
    if (notice.open(QIODevice::Append))
        notice.write(QFile::encodeName(recovery) + '\n');
    return true;
}

void TForm1::tellRecoveredWorksheets()
{
    QFile notice(recoveryNoticeFile());
    if (!notice.open(QIODevice::ReadOnly))
        return;
    const QList<QByteArray> recoveries = notice.readAll().split('\n');
    notice.close();
    notice.remove();
    for (const QByteArray &recovery : recoveries) {
        if (!recovery.isEmpty())
            showMessage(QStringLiteral("When Worktally was last ended by the system (a logout or a kill), the "
                                       "worksheet could not be saved as %1. It was saved as %2.")
                            .arg(QDir::toNativeSeparators(worksheetPath()),
                                QDir::toNativeSeparators(QFile::decodeName(recovery))));
    }
}

void TForm1::SpeedButton1Click()
{
    const std::optional<QColor> chosen = chooseColor(memo1->palette().color(QPalette::Base));
    if (!chosen)
        return;
    m_backgroundColor = fromQColor(*chosen);
    Grid1->setColor(m_backgroundColor);
    applyBackgroundColor(m_backgroundColor);
    if (!SettingsFile(settingsPath()).setBackgroundColor(m_backgroundColor))
        showMessage(QStringLiteral("Color selection dialog failed to load."));
}

void TForm1::PopPreferencesClick()
{
    // One window at a time: the tray menu stays at hand while it is open.
    auto *dialog = findChild<PreferencesDialog *>();
    if (!dialog) {
        dialog = new PreferencesDialog(settingsPath(), this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        // The tooltip tells today against the new hours at once.
        connect(dialog, &QDialog::accepted, this, guarded([this] {
            readPreferences();
            showToday();
            watchAwayTime(Switch1->StateOn());
            emit preferencesChanged();
        }));
        dialog->open();
    }
    dialog->raise();
    dialog->activateWindow();
}

void TForm1::Grid1SelectCell(int, int, bool &) { }

// --- Stopwatch -------------------------------------------------------------------

void TForm1::Switch1On()
{
    const int row = m_editor->start(ClockSource::now(), m_workingHours, Grid1->Row());
    showStopwatchRunning(true);
    selectRow(row);
    showToday();
    saveChange();
}

void TForm1::Switch1Off(std::optional<DateTime> end)
{
    showStopwatchRunning(false);
    const int row = runningRow();
    {
        // The panel shows the period closed even when its Time does not read.
        const auto shown = qScopeGuard([&] { row ? selectRow(row) : fillEditPanel(); });
        m_editor->stop(end.value_or(ClockSource::now()));
    }
    if (!row) {
        showToday();
        return;
    }
    Button1Click();
    saveChange();
}

void TForm1::showStopwatchRunning(bool running)
{
    Switch1->setCaption(running ? QStringLiteral("S&top") : QStringLiteral("S&tart"));
    PopStopwatch->setText(Switch1->Caption());
    if (running != m_running) {
        m_running = running;
        emit runningChanged(running);
    }
    if (running) {
        Timer1->start();
        armLiveTimer();
    } else {
        Timer1->stop();
        LiveTimer->stop();
    }
    watchAwayTime(running);
}

void TForm1::Button1Click()
{
    showTotals(m_model->recalculate());
    showToday();
}

std::optional<Balance> TForm1::showToday()
{
    if (m_workingHours.isEmpty()) {
        TrayIcon1->setDetail({});
        return std::nullopt;
    }
    const QDateTime now = ClockSource::currentDateTime();
    const QDate day = now.date();
    const Balance today = todayBalance(m_model->rowsOf(day), day, m_workingHours);
    const std::optional<QDateTime> doneAt = Switch1->StateOn() ? targetReachedAt(today, now) : std::nullopt;
    // The balance as the status bar shows it.
    TrayIcon1->setDetail(todayText(today, doneAt, StatusBar1->PanelText(2)));
    return today;
}

void TForm1::readPreferences()
{
    m_workingHours = WorkingHours::read(settingsPath());
    m_awayMinutes = AwaySetting::minutes(settingsPath());
}

void TForm1::showTotals(const WorksheetTotals &totals)
{
    StatusBar1->setPanelText(0, totals.home);
    StatusBar1->setPanelText(1, totals.nominal);
    StatusBar1->setPanelText(2, totals.difference);
}

// --- Alarm ---------------------------------------------------------------------

void TForm1::chkWakeClick()
{
    // Clearing the box leaves the clock's alarm as it is.
    if (!chkWake->isChecked())
        return;
    Clock1->setAlarmEnabled(true);
    const TimeOfDay time = decodeTime(parseTime(MaskEdit4->Text()));
    Clock1->setAlarmHour(time.hour);
    Clock1->setAlarmMinute(time.minute);
    Clock1->setAlarmSecond(0);
    showMessage(QStringLiteral("Alarm is now set at ") + MaskEdit4->Text());
}

void TForm1::Clock1Alarm()
{
    // The message comes even when the sound cannot be played at all.
    if (chkLyd->isChecked())
        runGuarded([this] { playSound(alarmSoundPath()); });
    showMessage(QStringLiteral("Alarm!"), MessageKind::Information);
    chkWake->setChecked(false);
    chkLyd->setChecked(false);
}

// --- Tray, help and second start -----------------------------------------------

void TForm1::btnMinimerClick()
{
    // Into the tray only when one is really there; without a notification
    // area the window is minimised as usual and stays on the task bar.
    m_inTray = TrayIcon1->isAdded();
    if (m_inTray) {
        setTaskbarEntryHidden(this, true);
        hide();
    } else {
        showMinimized();
    }
    QCoreApplication::processEvents();
}

// Tray hosts that speak D-Bus (KDE's, GNOME's) report one activation and no
// double click, so a click alone has to bring back a window that is out of
// sight. A visible window keeps its place, as the menu expects.
void TForm1::TrayIcon1Click(Qt::MouseButton button)
{
    if (button == Qt::LeftButton && (isHidden() || isMinimized()))
        TrayIcon1DblClick();
}

// A window hidden in the tray comes back when the notification area goes
// away, or nothing would lead back to it.
void TForm1::TrayIcon1AddedChange(bool added)
{
    if (!added && m_inTray)
        TrayIcon1DblClick();
}

void TForm1::TrayIcon1DblClick()
{
    m_inTray = false;
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void TForm1::PopWWW1Click()
{
    openUrl(QUrl(TAboutBox::WebAddress), [] {}); // a failure is not reported
}

void TForm1::popAboutClick()
{
    const std::unique_ptr<QDialog> about = printingModule().createAboutBox(settingsPath(), this);
    about->exec();
}

QString TForm1::helpPath() const
{
    return helpFile(m_programFolder);
}

void TForm1::btnAboutClick()
{
    const QString path = helpPath();
    if (!QFile::exists(path))
        throw FileOpenError(path);
    QUrl url = QUrl::fromLocalFile(path);
    url.setFragment(QStringLiteral("context-10"));
    // The pages are there: what fails is the desktop's opener (xdg-open).
    const QString failure = QStringLiteral("No web browser could be started to show the help pages %1.\n\n"
                                           "Open that file in a web browser.")
                                .arg(QDir::toNativeSeparators(path));
    openUrl(url, [failure] { showMessage(failure, MessageKind::Error); });
}

void TForm1::SingleInstance1AlreadyRunning(qint64, qint64)
{
    m_ending = true;
    showMessage(QStringLiteral("Worktally is already running.\n\rYou can only run one instance at a time.\n\r The new "
                               "session will be terminated."));
}

// --- Printing ------------------------------------------------------------------------

void TForm1::btnUdskrivClick()
{
    printingModule().printWorksheet(PrintPreview());
}

QWidget &TForm1::PrintPreview()
{
    if (!PrintPrv)
        PrintPrv = printingModule().createPrintPreview(Grid1, StatusBar1);
    return *PrintPrv;
}
