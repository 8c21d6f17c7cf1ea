#pragma once

#include "awayquestion.h"
#include "datetime.h"
#include "screencolor.h"
#include "today.h"
#include "workinghours.h"

#include <functional>
#include <memory>
#include <optional>
#include <QColor>
#include <QCoreApplication>
#include <QString>
#include <QUrl>
#include <QWidget>

class AwayDetector;
class AwayTime;
class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolButton;
class THyperGrid;
class TAnalogClock;
class TDateEdit;
class MaskedEdit;
class TOnOffSwitch;
class TPopupMenu;
class TSingleInstance;
class TTrayIcon;
class TSortAStringGrid;
class PanelStatusBar;
class StopwatchNotices;
class WorksheetEditor;
class WorksheetFile;
class WorksheetModel;
class WorksheetPreload;
class BackgroundSave;
struct PeriodTexts;
struct WorksheetTotals;

/// The main window: the worksheet in the Overview grid with its totals in the
/// status bar, the stopwatch switch, the edit panel, the alarm and the tool
/// bar. Everything it reads and writes lies in one data folder.
class TForm1 : public QWidget
{
    Q_OBJECT
    /// Whether the stopwatch runs, however the switch was turned.
    Q_PROPERTY(bool running READ isRunning NOTIFY runningChanged)

public:
    /// dataFolder holds Hourbook.csv, Worktally.Setup and alarm.wav (the
    /// program passes dataFolder()); the help pages are found from
    /// programFolder, the folder of the executable.
    explicit TForm1(const QString &dataFolder, const QString &programFolder = QCoreApplication::applicationDirPath(),
        QWidget *parent = nullptr);
    /// As the program starts: the worksheet's rows come from worksheet,
    /// which has been reading the file in dataFolder meanwhile.
    TForm1(const QString &dataFolder, WorksheetPreload &worksheet);
    ~TForm1() override;

    QString worksheetPath() const;
    QString settingsPath() const;
    /// The colour of the edits and grid columns.
    TColor backgroundColor() const { return m_backgroundColor; }
    /// The minutes away after which the user is asked whether that time
    /// counts, as read at start-up and after the preferences; 0 = off.
    int awayMinutes() const { return m_awayMinutes; }

    // Event handlers, named after their control and event.
    /// Loads the settings and the worksheet, whose rows come from preload
    /// when the program read them ahead. A large worksheet, which preload
    /// reads once the window is painted, comes in once it is read (or as
    /// soon as the user acts or the window closes, which wait for it).
    void FormCreate(WorksheetPreload *preload = nullptr);
    /// True while the rows of the worksheet are still being read.
    bool isReading() const { return m_pendingWorksheet != nullptr; }
    /// Waits for the worksheet being read, under a wait cursor, and puts its
    /// rows in place; nothing when they are there already.
    void finishReading();
    /// Lets the worksheet being read start its reading, if it has not yet.
    void startReadingWorksheet();
    void FormShow();
    void btnGemClick();
    void Timer1Timer();
    /// Each whole minute while the stopwatch runs, once working hours are
    /// set: the running period, the totals and the tray's tooltip follow the
    /// clock in memory, and the notices that are due are given.
    void LiveTimerTimer();
    void btnLukClick();
    /// The exit that a termination signal (a logout, kill, Ctrl+C) asks for.
    /// No box may wait for an answer then, as a kill follows within seconds:
    /// a worksheet that cannot be written where it belongs goes to a file in
    /// recoveryFolder(), and the next start says where.
    void closeOnSignal();
    void SpeedButton1Click();
    /// "Preferences…": the working time owed on each weekday and the away
    /// time, in one window.
    void PopPreferencesClick();
    void Grid1SelectCell(int col, int row, bool &canSelect);
    void Switch1On();
    /// The running period ends at end, or now.
    void Switch1Off(std::optional<DateTime> end = std::nullopt);
    /// Watches for away time with detector from now on, while the stopwatch
    /// runs and the away time setting is on; the program has none until the
    /// desktop's is given, tests give their own.
    void setAwayDetector(std::unique_ptr<AwayDetector> detector);
    /// Gives the maker of the detector, called when away time is first
    /// watched (the program gives the desktop's).
    void setAwayDetectorMaker(std::function<std::unique_ptr<AwayDetector>()> make);
    /// The recalculation: rewrites the Diff. column and the three totals.
    void Button1Click();
    /// Loads the current row into the edit panel (the grid's click notification).
    void Grid1DblClick();
    /// "Update": writes the panel back into the current row, sorts, recalculates.
    void btnV1Click();
    void btnInsLineClick();
    void btnDeleteClick();
    /// Ctrl+Z: takes back the last change of the worksheet.
    void undoChange();
    /// Ctrl+Shift+Z or Ctrl+Y: makes the last change undone again.
    void redoChange();
    /// Arms the clock's alarm at the typed time when "Set !" is ticked.
    void chkWakeClick();
    /// The alarm: the sound (if ticked) to its end, then the message.
    void Clock1Alarm();

    /// "Print": the printer set-up, then, unless it was cancelled, the
    /// worksheet in the print preview.
    void btnUdskrivClick();
    /// Minimise to the tray (to the task bar without a notification area).
    void btnMinimerClick();
    /// Restore from the tray or from being minimised, to the front.
    void TrayIcon1DblClick();
    /// A left click restores a hidden or minimised window.
    void TrayIcon1Click(Qt::MouseButton button);
    /// The tray icon came into the notification area or left it.
    void TrayIcon1AddedChange(bool added);
    void PopWWW1Click();
    void popAboutClick();
    /// "Help": the help pages at the part about the main window.
    void btnAboutClick();
    /// In a second copy: says that Worktally already runs and ends this copy
    /// without loading or writing anything.
    void SingleInstance1AlreadyRunning(qint64 hPrevInst, qint64 hPrevWnd);
    /// True while a save is asked about, written or reported.
    bool isSaving() const { return m_saving || m_asking || m_backgroundSave; }
    /// True in a second copy, which is to end without being shown.
    bool isEnding() const { return m_ending; }
    QString helpPath() const;
    bool isRunning() const { return m_running; }

    /// The desktop's "open" action for web addresses and the help pages,
    /// which returns at once and runs failed later when the desktop could
    /// not open url; tests put a recorder in.
    std::function<void(const QUrl &url, std::function<void()> failed)> openUrl;
    /// Plays a wave file to its end; tests put a recorder in.
    std::function<void(const QString &path)> playSound;
    QString alarmSoundPath() const;

    /// Shows a notice in the tray icon's balloon; tests put a recorder in.
    std::function<void(const QString &text)> notify;

    /// Asks for a colour; the colour dialog unless a test puts another in.
    std::function<std::optional<QColor>(const QColor &initial)> chooseColor;

    QFrame *Panel1; // the tool bar
    QToolButton *btnMinimer;
    QToolButton *btnGem;
    QToolButton *btnInsLine;
    QToolButton *btnDelete;
    QToolButton *btnUdskriv;
    QToolButton *SpeedButton1;
    QToolButton *btnLuk;
    QToolButton *btnAbout;
    /// The right click on "Setup": the settings beyond the colour.
    TPopupMenu *SetupMenu;
    /// "Preferences…", in the Setup menu and the tray menu.
    QAction *PopPreferences;
    QGroupBox *GroupBox1; // "Edit"
    TDateEdit *DateEdit1;
    MaskedEdit *MaskEdit1;
    TDateEdit *DateEdit3;
    MaskedEdit *MaskEdit2;
    TDateEdit *DateEdit2;
    MaskedEdit *MaskEdit3;
    QPlainTextEdit *memo1;
    QPushButton *btnV1;
    TOnOffSwitch *Switch1;
    QGroupBox *GroupBox2; // "Set alarm "
    MaskedEdit *MaskEdit4;
    QCheckBox *chkWake;
    QCheckBox *chkLyd;
    TAnalogClock *Clock1;
    THyperGrid *Grid1;
    /// Keeps the data rows in order of their Start, as dates.
    TSortAStringGrid *SortAStringGrid1;
    PanelStatusBar *StatusBar1;
    QTimer *Timer1;
    /// Single shot, armed for the next whole minute while the stopwatch runs.
    QTimer *LiveTimer;
    // The tray and its menu; a second copy, which ends at once, has none.
    TTrayIcon *TrayIcon1 = nullptr;
    TPopupMenu *TrayMenu1 = nullptr;
    QAction *PopRestore1 = nullptr;
    /// "S&tart"/"S&top" as the switch reads: turns the switch.
    QAction *PopStopwatch = nullptr;
    QAction *PopWWW1 = nullptr;
    QAction *popAbout = nullptr;
    QAction *N1 = nullptr;
    QAction *PopLuk = nullptr;
    TSingleInstance *SingleInstance1;
    /// The print preview, a window of its own that lives as long as this one.
    /// It is made on first use: setting up its printer asks the print
    /// system, which would otherwise slow down every start.
    QWidget &PrintPreview();

signals:
    /// The preferences were stored and read back: the working hours and
    /// awayMinutes() hold the new values.
    void preferencesChanged();
    void runningChanged(bool running);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TForm1(const QString &dataFolder, const QString &programFolder, QWidget *parent, WorksheetPreload *worksheet);

    std::unique_ptr<QWidget> PrintPrv;
    void createToolBar();
    /// The keys that work wherever the focus is in the window.
    void createShortcuts();
    /// The settings beyond the colour, for the keyboard (Ctrl+,).
    void showSetupMenuBelowItsButton();
    /// What a click on row of the grid does: it becomes the highlighted row
    /// and is loaded into the edit panel. Beyond the rows, the nearest row.
    void clickGridRow(int row);
    void createEditPanel();
    void createAlarmBox();
    void createStopwatch();
    void createTray();
    void applyBackgroundColor(TColor color);
    void readBackgroundColor();
    /// "Save now" and exit: brings a running period up to now, recalculates
    /// and writes the worksheet. True when it was written.
    bool saveNow();
    /// Sets a running period's End and Time to now and recalculates.
    void bringUpToNow();
    enum class Writing { Now, InBackground };
    /// Writes the worksheet unless the file changed on disk meanwhile and the
    /// user chose otherwise. True when it was written, or in the background
    /// when the writing has begun.
    bool saveWorksheet(Writing writing = Writing::Now);
    /// After each change of the worksheet: saves it at once, writing on
    /// another thread so that the window goes on at once.
    void saveChange();
    /// Waits for the save being written in the background, takes note of it
    /// and, when report is set, says what went wrong.
    void finishBackgroundSave(bool report = true);
    /// Once a save is over: what was asked for meanwhile happens, once.
    void afterSave();
    void runWaitingRequests();
    /// closeOnSignal's saving: true when the worksheet was written, where it
    /// belongs or else to a recovery file.
    bool saveOnSignal();
    /// Says where the worksheets of signalled exits were saved, once.
    void tellRecoveredWorksheets();
    /// The worksheet's part of FormCreate: the rows, the last of them
    /// highlighted, the edit panel and the totals.
    void loadStartWorksheet(WorksheetPreload *preload);
    /// From the worksheet's loading on, every change is saved and can be undone.
    void becomeReady();
    /// Reads Hourbook.csv into the grid, mended as every load of it is
    /// (mendLoadedRows), ending with the empty bottom line. The rows come from
    /// preload when it has them (at start-up); true then.
    bool loadWorksheet(WorksheetPreload *preload = nullptr);
    /// Loads the file from disk in place of the window's rows, after saving
    /// those beside it.
    void reloadWorksheet();
    /// The totals in the status bar.
    void showTotals(const WorksheetTotals &totals);
    /// Reads the working hours and the away time from the settings file.
    void readPreferences();
    /// Once working hours are set, the tray's tooltip tells today at a glance
    /// below the program's name, and today's balance is given; without them
    /// the tooltip is the name alone.
    std::optional<Balance> showToday();
    void armLiveTimer();
    /// Shows the bottom line and selects the last data row, as after loading.
    void showLastRows();
    /// Shows the current row in the edit panel, so that Update writes back
    /// what the user sees. The bottom line holds no period: there the panel
    /// shows today, the current time as start and end, and nothing owed.
    void fillEditPanel();
    /// Highlights the whole row, makes it current and shows it in the panel.
    void selectRow(int row);
    /// The row of the running period wherever rows moved since it started
    /// (the grid's tracked row), or 0 when none runs or its row was deleted.
    int runningRow() const;
    /// The switch's caption, the tray item's, the timers and the away watch
    /// of a running or stopped period.
    void showStopwatchRunning(bool running);
    /// Update's writing of period into row, sorting and recalculating.
    void writePeriod(int row, const PeriodTexts &period);
    /// The detector watches while running, when the away time setting is on.
    void watchAwayTime(bool running);
    void useAwayDetector(std::unique_ptr<AwayDetector> detector);
    /// The person came back after being away (asleep: the computer slept).
    void awayCameBack(const QDateTime &from, const QDateTime &to, bool asleep);
    /// Asks about the away span waiting for an answer, in the one question
    /// window; in the tray's balloon as well while the window is in the tray.
    void askAboutAway();
    void answerAway(AwayQuestion::Answer answer);
    /// The period that started at periodStart and no longer runs ends at
    /// end, as Update writes it; nothing when it ends earlier already.
    void endPeriodAt(const QString &periodStart, DateTime end);
    /// After an undo or redo: the switch, the highlight, the panel and the
    /// totals follow the worksheet, and it is saved.
    void showHistoryStep(std::optional<int> row);

    QString m_dataFolder;
    QString m_programFolder;
    TColor m_backgroundColor = WhiteColor;
    bool m_shown = false;
    bool m_ending = false;
    bool m_inTray = false; // hidden by Minimize, reachable through the tray icon only
    bool m_running = false; // as the switch's caption tells
    std::unique_ptr<WorksheetFile> m_worksheetFile;
    // Every change of the grid's rows goes through it, so that it can be undone.
    std::unique_ptr<WorksheetEditor> m_editor;
    // Read at start-up and after the preferences changed them, never at a tick.
    WorkingHours m_workingHours;
    int m_awayMinutes = 0;
    // The worksheet's rows, shown by Grid1; what the totals are worked out from.
    WorksheetModel *m_model;
    std::unique_ptr<StopwatchNotices> m_notices;
    std::unique_ptr<AwayDetector> m_awayDetector; // none: away time is not watched
    std::function<std::unique_ptr<AwayDetector>()> m_makeAwayDetector;
    std::unique_ptr<AwayTime> m_awayTime;
    AwayQuestion *m_awayQuestion = nullptr; // made on first use
    bool m_ready = false; // built: from then on every change is saved
    // Still reading the worksheet at start-up: the rows come from it.
    WorksheetPreload *m_pendingWorksheet = nullptr;
    // One save at a time. While a save asks, writes or reports on this
    // thread, the saves and the exit asked for meanwhile wait for its end.
    bool m_saving = false;
    bool m_asking = false; // a question of a save or of the exit is open
    std::unique_ptr<BackgroundSave> m_backgroundSave;
    bool m_changeWaiting = false;
    bool m_timerWaiting = false;
    bool m_exitWaiting = false;
    bool m_signalled = false; // the exit under way was asked for by a signal
};
