#include "maskededit.h"

#include "dateutil.h"

#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QtMath>

namespace {

// Characters that Qt's input masks read as codes.
const QString QtMaskCodes = QStringLiteral("AaNnXx90DdHhBb#><!{}[]\\;");

} // namespace

MaskedEdit::MaskedEdit(QWidget *parent)
    : QLineEdit(parent)
    , m_dateSeparator(DateUtil::localeDateSeparator())
{
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!m_remasking)
            change();
    });
}

void MaskedEdit::setEditMask(const QString &mask)
{
    if (mask == m_editMask)
        return;
    m_editMask = mask;
    rebuildMask();
}

void MaskedEdit::setDateSeparator(QChar separator)
{
    if (separator == m_dateSeparator)
        return;
    m_dateSeparator = separator;
    rebuildMask();
}

void MaskedEdit::rebuildMask()
{
    const QString text = Text();
    const QStringList parts = m_editMask.split(u';');
    m_keepLiterals = parts.size() < 2 || parts[1] != u"0";
    m_blank = parts.size() > 2 && !parts[2].isEmpty() ? parts[2][0] : QChar(u'_');
    m_leadingBlanks = false;
    m_literals.clear();
    m_inputMask.clear();
    for (QChar c : parts[0]) {
        switch (c.unicode()) {
        case '!':
            m_leadingBlanks = true;
            continue;
        case '0': // Qt's codes for required and optional digits are the other way round
        case '9':
            m_inputMask += c == u'0' ? u'9' : u'0';
            m_literals += QChar();
            continue;
        case '/':
            c = m_dateSeparator;
            break;
        default:
            break;
        }
        if (QtMaskCodes.contains(c))
            m_inputMask += u'\\';
        m_inputMask += c;
        m_literals += c;
    }
    applyMask(text);
    fitMaskText();
}

void MaskedEdit::fitMaskText()
{
    int needed = 0;
    if (!m_literals.isEmpty()) {
        // Every place filled with the widest character it may show.
        const QFontMetricsF metrics(font());
        QChar widest = m_blank;
        for (char16_t digit = u'0'; digit <= u'9'; ++digit)
            if (metrics.horizontalAdvance(QChar(digit)) > metrics.horizontalAdvance(widest))
                widest = QChar(digit);
        QString full;
        for (QChar literal : m_literals)
            full += literal.isNull() ? widest : literal;
        // A line edit keeps 2 pixels either side of its text and one for the
        // cursor after it, inside the text margins and the style's frame. The
        // frame is taken from where the style puts the text, not from the
        // size it would like, which may hold a minimum width of its own.
        QStyleOptionFrame option;
        initStyleOption(&option);
        const int frame = width() - style()->subElementRect(QStyle::SE_LineEditContents, &option, this).width();
        const QMargins margins = textMargins();
        needed = qCeil(metrics.horizontalAdvance(full)) + 1 + 2 * 2 + margins.left() + margins.right() + frame;
    }
    // Widens the edit now and whenever a narrower width is given; a width
    // that fits stays as it is.
    if (maximumWidth() < needed)
        setMaximumWidth(needed);
    setMinimumWidth(needed);
}

void MaskedEdit::applyMask(const QString &text)
{
    // Qt would carry the text over on its own, but shifts digits past blanks
    // of the old kind. Neither counts as a change of the text.
    const bool modified = isModified();
    const int cursor = cursorPosition();
    const QScopedValueRollback remasking(m_remasking, true);
    QLineEdit::setInputMask(m_inputMask.isEmpty() ? QString() : m_inputMask + u';' + m_shownBlank);
    setText(text);
    setModified(modified);
    setCursorPosition(cursor);
}

void MaskedEdit::showBlank(QChar blank)
{
    if (blank == m_shownBlank)
        return;
    const QString text = Text();
    m_shownBlank = blank;
    applyMask(text);
}

QString MaskedEdit::Text() const
{
    if (m_literals.isEmpty())
        return text();
    const QString shown = displayText();
    QString result;
    qsizetype i = 0;
    while (i < m_literals.size()) {
        if (!m_literals[i].isNull()) {
            if (m_keepLiterals)
                result += m_literals[i];
            ++i;
            continue;
        }
        QString filled;
        qsizetype width = 0;
        for (; i < m_literals.size() && m_literals[i].isNull(); ++i, ++width)
            if (i < shown.size() && shown[i] != m_shownBlank)
                filled += shown[i];
        const QString blanks(width - filled.size(), u' ');
        result += m_leadingBlanks ? blanks + filled : filled + blanks;
    }
    return result;
}

void MaskedEdit::setText(const QString &text)
{
    QLineEdit::setText(m_literals.isEmpty() ? text : shownText(text));
}

QString MaskedEdit::shownText(QStringView text) const
{
    QString shown;
    qsizetype next = 0;
    for (qsizetype i = 0; i < m_literals.size(); ++i) {
        const bool digit = m_literals[i].isNull();
        if (!digit && !m_keepLiterals) {
            shown += m_literals[i];
            continue;
        }
        if (next == text.size())
            break;
        const QChar c = text[next++];
        shown += digit && c == u' ' ? m_shownBlank : c;
    }
    return shown;
}

void MaskedEdit::change()
{
    if (OnChange)
        OnChange(this);
}

qsizetype MaskedEdit::closingLiteral(const QString &typed) const
{
    if (m_literals.isEmpty() || isReadOnly() || hasSelectedText() || typed.size() != 1)
        return -1;
    for (qsizetype i = cursorPosition(); i < m_literals.size(); ++i)
        if (!m_literals[i].isNull())
            return m_literals[i] == typed[0] ? i : -1;
    return -1;
}

void MaskedEdit::keyPressEvent(QKeyEvent *event)
{
    const qsizetype literal = closingLiteral(event->text());
    if (literal < 0) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // Typing the literal after a field closes the field: what it holds moves
    // to the side the mask puts it on, and the cursor to the next field.
    qsizetype start = literal;
    while (start > 0 && m_literals[start - 1].isNull())
        --start;
    setSelection(int(start), int(literal - start));
    insert(shownText(Text()).mid(start, literal - start));
    setCursorPosition(int(literal + 1));
    event->accept();
}

bool MaskedEdit::event(QEvent *event)
{
    const bool done = QLineEdit::event(event);
    // A style may set text margins of its own when it polishes the edit.
    if (event->type() == QEvent::Polish)
        fitMaskText();
    return done;
}

void MaskedEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
        fitMaskText();
}

void MaskedEdit::focusInEvent(QFocusEvent *event)
{
    showBlank(m_blank);
    QLineEdit::focusInEvent(event);
    // Entering by keyboard selects everything, so that typing replaces it.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
        selectAll();
}

void MaskedEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // A popup of the edit's own leaves it in use.
    if (event->reason() != Qt::PopupFocusReason)
        showBlank(u' ');
}
