#pragma once

#include "printout.h"

#include <functional>
#include <memory>
#include <optional>
#include <QPrinter>
#include <QWidget>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QRadioButton;
class QTimer;
class QToolButton;
class TFontComboBox;
class TPagePrinter;
class PanelStatusBar;
class TStringGrid;

/// The print preview: the worksheet printout page by page, with zoom, table
/// frames, font and size of the table rows, and printing.
class TPrintPrv : public QWidget
{
    Q_OBJECT

public:
    explicit TPrintPrv(QWidget *parent = nullptr);
    ~TPrintPrv() override;

    /// Where the printout's rows and totals come from: the main window's grid
    /// and status bar.
    void setSource(const TStringGrid *grid, const PanelStatusBar *totals);

    using RowLook = Printout::RowLook;
    /// Writes the printout again with the chosen look; zoom, margins and the
    /// page label stay.
    void BuildPrintout(RowLook look);
    /// The first build from the main window: margins, the document as far
    /// as page 1 (the rest follows between events), zoom to the page width,
    /// and the page label.
    void buildFromMainWindow();

    void FormCreate();
    void FormShow();
    void FormActivate();
    void Timer1Timer();
    void ComboBox1Click(int index);
    void ComboBox1KeyPress();
    void btnFremClick();
    void btnTilbageClick();
    void RadioButton1Click();
    void RadioButton2Click();
    void FontComboBox1Click();
    void FontComboBox1Change();
    void ComboBox2Click(int index);
    void btnPrintClick();
    void btnLukClick();
    void PrnExit();

    /// The printer the printout is laid out for and printed on.
    QPrinter &printer() { return m_printer; }
    /// Lets the user choose and set up the printer; false when cancelled.
    /// The print dialog unless a test puts another in.
    std::function<bool(QPrinter &printer)> PrinterDialog;

    QFrame *Panel1;
    QToolButton *btnTilbage;
    QLabel *lblSidetal;
    QToolButton *btnFrem;
    QComboBox *ComboBox1;
    QGroupBox *GroupBox1;
    QRadioButton *RadioButton1;
    QRadioButton *RadioButton2;
    TFontComboBox *FontComboBox1;
    QComboBox *ComboBox2;
    QToolButton *btnPrint;
    QToolButton *btnLuk;
    TPagePrinter *Prn;
    QTimer *Timer1;

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createTopBar();
    /// The printout as the grid and the status bar hold it now.
    std::unique_ptr<DocumentSource> printout(RowLook look);
    void showPageLabel(bool withWord);
    void zoomToPageWidth();
    /// The window manager's frame around the window; none until it is known.
    QMargins frameMargins() const;
    int sizeBoxValue() const;

    QPrinter m_printer;
    RowLook m_lastLook = RowLook::AsBefore; // how the pages now shown were written
    // The form (with the word "Page" or not) of a page label shown before the
    // pages were counted, which the count completes.
    std::optional<bool> m_labelAwaitingCount;
    bool m_zoomFollowsWidth = false;
    QMargins m_fittedFrame; // the frame the window's size allows for
    const TStringGrid *m_grid = nullptr;
    const PanelStatusBar *m_totals = nullptr;
};
