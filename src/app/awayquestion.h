#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
struct AwaySpan;

/// The question put when the person comes back after away time while the
/// stopwatch ran: keep the time, stop at the away start, or stop there and
/// start again. One window, whose text follows the span while it is open.
class AwayQuestion : public QDialog
{
    Q_OBJECT

public:
    enum class Answer { Keep, Stop, StopAndStartAgain };

    explicit AwayQuestion(QWidget *parent = nullptr);

    /// Asks about span (lastRun: recorded while Worktally last ran).
    void ask(const AwaySpan &span, bool lastRun);
    QString text() const;

    QPushButton *keepButton;
    QPushButton *stopButton;
    QPushButton *stopAndStartAgainButton;

signals:
    void answered(AwayQuestion::Answer answer);

private:
    QLabel *m_text;
};
