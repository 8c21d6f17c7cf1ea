#include "inplaceedit.h"

#include "messages.h"
#include "stringgrid.h"

#include <climits>
#include <QKeyEvent>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTextFrame>

CellEditor::CellEditor(TStringGrid *grid)
    : QTextEdit(grid->viewport())
    , m_grid(grid)
{
    hide();
    setFrameStyle(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAcceptRichText(false);
    setTabChangesFocus(true);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document()->setDocumentMargin(0);
}

void CellEditor::setText(const QString &text)
{
    const QSignalBlocker quiet(this);
    setPlainText(text);
    applyTextRect(); // a new text comes with a fresh document layout
}

void CellEditor::PrepareContents()
{
    setText(m_grid->Cells(m_grid->Col(), m_grid->Row()));
    selectAll();
}

void CellEditor::PrepareBounds()
{
    setTextRect(QRect(QPoint(2, 2), QPoint(width() - 3, height() - 1)));
}

void CellEditor::setTextRect(const QRect &rect)
{
    m_textRect = rect;
    applyTextRect();
    ensureCursorVisible();
}

void CellEditor::applyTextRect()
{
    // A layout change is no edit of the text either.
    const QSignalBlocker quiet(this);
    QTextFrame *root = document()->rootFrame();
    QTextFrameFormat format = root->frameFormat();
    format.setLeftMargin(m_textRect.left());
    format.setTopMargin(m_textRect.top());
    format.setRightMargin(width() - 1 - m_textRect.right());
    format.setBottomMargin(height() - 1 - m_textRect.bottom());
    root->setFrameFormat(format);
}

int CellEditor::room() const
{
    if (m_maxLength <= 0)
        return INT_MAX;
    return m_maxLength - int(Text().size() - textCursor().selectedText().size());
}

void CellEditor::keyPressEvent(QKeyEvent *event)
{
    runGuarded([&] { handleKey(event); });
}

void CellEditor::handleKey(QKeyEvent *event)
{
    const QTextCursor cursor = textCursor();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!(event->modifiers() & Qt::ControlModifier))
            m_grid->closeEditor(true);
        else if (!isReadOnly() && room() > 0)
            insertPlainText(QStringLiteral("\n"));
        return;
    case Qt::Key_Escape:
        m_grid->closeEditor(false);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        m_grid->handleKey(event);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!cursor.hasSelection() && (event->key() == Qt::Key_Left ? cursor.atStart() : cursor.atEnd())) {
            m_grid->handleKey(event);
            return;
        }
        break;
    default:
        if (!event->text().isEmpty() && event->text().at(0).isPrint() && room() < event->text().size())
            return; // full
    }
    QTextEdit::keyPressEvent(event);
}

void CellEditor::insertFromMimeData(const QMimeData *source)
{
    if (source->hasText())
        insertPlainText(source->text().left(std::max(room(), 0)));
}

void CellEditor::focusInEvent(QFocusEvent *event)
{
    QTextEdit::focusInEvent(event);
    runGuarded([this] { m_grid->editorFocusIn(); });
}

void CellEditor::focusOutEvent(QFocusEvent *event)
{
    QTextEdit::focusOutEvent(event);
    runGuarded([&] { m_grid->editorFocusOut(event->reason()); });
}
