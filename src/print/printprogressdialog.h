#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

/// The pages of a print job, first..last, each sent copies times.
struct PrintRange
{
    int first = 1;
    int last = 1;
    int copies = 1;

    int pageCount() const { return last - first + 1; }
};

/// The progress of a print job: a status line, the page being sent, a bar
/// over all pages and copies, and a Cancel button that answers Enter and
/// Escape. Shown without being modal, centred on the screen.
class TPPPrnPrgDlg : public QDialog
{
    Q_OBJECT

public:
    /// Without cancellable the Cancel button is hidden and disabled, and the
    /// dialog ends below the bar.
    explicit TPPPrnPrgDlg(bool cancellable, QWidget *parent = nullptr);

    /// Shows the dialog at page of range, with message as the status (a
    /// general one when it is empty), and advances the bar by a page.
    void ShowPage(const QString &message, int page, const PrintRange &range);

    QFrame *Bevel;
    QLabel *lblStatus;
    QLabel *lblPageNumber;
    QProgressBar *ProgBar;
    QPushButton *btnCancel;

public slots:
    /// Escape and closing the window press Cancel, when it is offered, and
    /// never close the dialog: the print job does that.
    void reject() override;
};
