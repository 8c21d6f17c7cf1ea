#pragma once

#include <QTextEdit>

class TStringGrid;

/// The string grid's cell editor: a multi-line text box without frame or
/// scroll bars that the grid lays over its current cell. Enter keeps the
/// text and Escape brings the cell's text back; both close the editor unless
/// it is always shown. Up, Down, Page Up and Page Down, and Left and Right at
/// the ends of the text, move the current cell, and the editor goes along.
/// Ctrl+Enter starts a new line.
class CellEditor : public QTextEdit
{
    Q_OBJECT

public:
    explicit CellEditor(TStringGrid *grid);

    TStringGrid *Grid() const { return m_grid; }
    QString Text() const { return toPlainText(); }
    /// Replaces the text as the program's own change: it is no edit to react to.
    void setText(const QString &text);
    /// Longest text typing or pasting may make; 0 for no limit.
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = length; }
    /// Where the text goes, in the editor's coordinates.
    QRect TextRect() const { return m_textRect; }

    /// Fills the editor with the current cell's text, selected; called
    /// before the editor is placed.
    virtual void PrepareContents();
    /// Fits the editor to the cell it was just placed over.
    virtual void PrepareBounds();

protected:
    /// Keeps the text inside rect; the rest of the editor stays free for
    /// what descendants draw there.
    void setTextRect(const QRect &rect);

    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    friend class TStringGrid;
    void handleKey(QKeyEvent *event);
    // Characters that still fit within MaxLength in place of the selection.
    int room() const;
    void applyTextRect();

    TStringGrid *m_grid;
    int m_maxLength = 0;
    QRect m_textRect;
};
