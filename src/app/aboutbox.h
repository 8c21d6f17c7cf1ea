#pragma once

#include "screencolor.h"

#include <functional>
#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPrinter;
class QToolButton;

/// The about window: the program's name and version, the maker's address and
/// a text on how to use Worktally, which "Print" sends to a printer.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    /// settingsPath: the program's settings file, for the caption colour.
    explicit TAboutBox(const QString &settingsPath, QWidget *parent = nullptr);

    void FormShow();
    /// "Print": the information text, line by line, page after page.
    void SpeedButton1Click();
    /// The colour the caption fades to, read from the settings on showing.
    TColor captionColor() const { return m_captionColor; }

    /// Lets the user choose and set up the printer; false when cancelled.
    /// The printer dialog unless a test puts another in.
    std::function<bool(QPrinter &printer)> PrinterSetupDialog1;

    QFrame *Panel1;
    QLabel *ProgramIcon;
    QLabel *ProductName;
    QLabel *Version;
    QLabel *Notice;
    QLabel *Label1;
    QLabel *WebLink;
    QLabel *MailLink;
    QPlainTextEdit *Memo1;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;

    // Defined here: the main window opens the web address without the
    // printing module that holds the rest of this window.
    static inline const QString WebAddress = QStringLiteral("https://sorrelbysoft.example/worktally");
    static inline const QString MailAddress = QStringLiteral("worktally@sorrelbysoft.example");

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString m_settingsPath;
    TColor m_captionColor = clTeal;
};
