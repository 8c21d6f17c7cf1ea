#pragma once

#include <functional>
#include <QLineEdit>

/// A line edit whose text follows an edit mask "<mask>;<keep literals>;<blank>".
/// In the mask, 0 is a required digit, 9 an optional one, "/" the date
/// separator and ":" the time separator; any other character stands for
/// itself. A "!" makes the empty places of a field that is not full lead the
/// field instead of trailing it. Keep literals "0" leaves the literals out of
/// Text(). The blank marks empty places while the edit has the focus; without
/// the focus they are plain blanks. "!90:00;1;_" is a time of day: typing "7",
/// ":" and "30" reads " 7:30". The edit is never narrower than its whole
/// mask text needs under the current style and font.
class MaskedEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit MaskedEdit(QWidget *parent = nullptr);

    /// The mask of a time edit: an optional and a required hour digit, the
    /// separator and two minute digits; "_" marks an empty place while editing.
    static inline const QString TimeMask = QStringLiteral("!90:00;1;_");

    const QString &EditMask() const { return m_editMask; }
    /// An empty mask makes a plain edit.
    void setEditMask(const QString &mask);
    QChar DateSeparator() const { return m_dateSeparator; }
    /// The character the mask's "/" stands for; the default locale's at first.
    void setDateSeparator(QChar separator);

    /// The text as the mask keeps it: one character per place, empty places as
    /// blanks (" 7:30", "  :  " when empty). Without a mask, the plain text.
    QString Text() const;
    /// Fills the places from text, a blank leaving its place empty ("14:05",
    /// " 7:30"); an empty text empties every place.
    void setText(const QString &text);

    /// Fires on every change of the text but those of the blanks shown.
    std::function<void(MaskedEdit *sender)> OnChange;

protected:
    /// Runs on every change of the text that OnChange reports; fires it.
    virtual void change();

    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    /// Widens the edit when the style, the font or the text margins leave too
    /// little room for the mask with every place filled; due again after a
    /// change of the text margins.
    void fitMaskText();

private:
    void rebuildMask();
    // Sets Qt's mask for the mask and the blank shown, then text (as Text() gives it).
    void applyMask(const QString &text);
    void showBlank(QChar blank);
    // A text in Text()'s form as the edit shows it.
    QString shownText(QStringView text) const;
    // The place of the literal that a typed character closes the field with, or -1.
    qsizetype closingLiteral(const QString &typed) const;

    QString m_editMask;
    QChar m_dateSeparator;
    QString m_inputMask; // Qt's form of the mask, without its blank
    QString m_literals; // per place: its literal, or a null character for a digit
    bool m_keepLiterals = true;
    bool m_leadingBlanks = false;
    QChar m_blank = u'_';
    QChar m_shownBlank = u' ';
    bool m_remasking = false;
};
