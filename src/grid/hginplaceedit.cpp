#include "hginplaceedit.h"

#include "hghintwindow.h"
#include "hypergrid.h"
#include "messages.h"
#include "popuplistbox.h"
#include "screenarea.h"

#include <QApplication>
#include <qdrawutil.h>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOption>

namespace {

// A raised button face, or a flat one while pressed.
void drawFace(QPainter &painter, const QRect &r, bool pressed)
{
    const QBrush face(toQColor(clBtnFace));
    if (pressed)
        qDrawPlainRect(&painter, r, toQColor(clBtnShadow), 1, &face);
    else
        qDrawWinButton(&painter, r, QGuiApplication::palette(), false, &face);
}

void drawArrowButton(QPainter &painter, const QRect &r, bool pressed, bool enabled, const QWidget *widget)
{
    drawFace(painter, r, pressed);
    QStyleOption option;
    option.initFrom(widget);
    option.palette = QGuiApplication::palette();
    option.rect = r.adjusted(3, 3, -3, -3).translated(pressed, pressed);
    option.state = enabled ? QStyle::State_Enabled : QStyle::State_None;
    widget->style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &option, &painter, widget);
}

} // namespace

THgInplaceEdit::THgInplaceEdit(THyperGrid *grid)
    : CellEditor(grid)
    , m_defaultButtonWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this))
    , m_buttonWidth(m_defaultButtonWidth)
    , m_suggestionHint(new ThgHintWindow(this))
{
    viewport()->setMouseTracking(true); // the cursor shape follows the pointer
    connect(this, &QTextEdit::textChanged, this, [this] { runGuarded([this] { UpdateSuggestion(); }); });
}

THyperGrid *THgInplaceEdit::HyperGrid() const
{
    return static_cast<THyperGrid *>(Grid());
}

ThgColumn *THgInplaceEdit::column() const
{
    return HyperGrid()->ColumnAt(HyperGrid()->Col());
}

// --- Preparing for a cell --------------------------------------------------------

void THgInplaceEdit::PrepareContents()
{
    reportEdit(); // the cell being left
    CloseUp(false);
    m_controls = column()->ControlType();
    if ((m_controls & hgctlComboBox) && !m_list) {
        m_list = new TPopupListbox(this);
        m_list->OnCloseUp = [this](TPopupListbox *, bool accept) { CloseUp(accept); };
    }
    CellEditor::PrepareContents();
    m_textAtStart = Text();
}

void THgInplaceEdit::PrepareBounds()
{
    THyperGrid *grid = HyperGrid();
    const int col = grid->Col();
    const int row = grid->Row();
    ThgColumn *column = this->column();
    m_editRect = QRect(QPoint(2, 2), QPoint(width() - 3, height() - 1));

    const THyperGrid::CellAttributes cell = grid->GetCellAttributes(col, row, column, {});
    QPalette colours = palette();
    colours.setColor(QPalette::Base, toQColor(cell.color));
    colours.setColor(QPalette::Text, toQColor(cell.fontColor));
    setPalette(colours);
    setFont(grid->m_workFont);
    grid->DrawCellImage(col, row, nullptr, false, m_editRect, -1);
    m_editCell = {col, row};

    const QPixmap &picture = column->ButtonPicture();
    m_buttonWidth
        = column->ButtonStyle() == hgbstCustom && !picture.isNull() ? picture.width() + 4 : m_defaultButtonWidth;
    // Right and bottom as first pixels outside EditRect.
    const int right = m_editRect.right() + 1;
    const int top = m_editRect.top() - 2;
    const int bottom = m_editRect.bottom();
    QRect text = m_editRect;
    m_buttonRect = m_comboRect = QRect();
    if (m_controls & hgctlButton) {
        m_buttonRect = QRect(QPoint(right - m_buttonWidth + 2, top), QPoint(right + 1, bottom));
        text.setRight(text.right() - m_buttonWidth);
    }
    if (m_controls & hgctlComboBox) {
        const int comboRight = (m_controls & hgctlButton) ? m_buttonRect.left() : right + 2;
        m_comboRect = QRect(QPoint(comboRight - m_defaultButtonWidth, top), QPoint(comboRight - 1, bottom));
        text.setRight(text.right() - m_defaultButtonWidth);
    }
    setTextRect(text);

    bool readOnly = column->ReadOnly();
    if (grid->OnGetReadOnly)
        grid->OnGetReadOnly(grid, col, row, readOnly);
    // A list-only column takes its values from the list alone.
    setReadOnly(readOnly || ((m_controls & hgctlComboBox) && column->DropDownList()));
    setMaxLength(column->MaxTextLength());
}

// --- The drop-down list ------------------------------------------------------------

void THgInplaceEdit::DropDown()
{
    if (!m_list || m_droppedDown)
        return;
    hideSuggestion();
    THyperGrid *grid = HyperGrid();
    const QString cellText = grid->Cells(grid->Col(), grid->Row()).trimmed();
    ThgColumn *column = this->column();
    QPalette colours = m_list->palette();
    colours.setColor(QPalette::Base, palette().color(QPalette::Base));
    colours.setColor(QPalette::Text, palette().color(QPalette::Text));
    m_list->setPalette(colours);
    m_list->setFont(font());
    m_list->setItems(column->Items());

    int width = m_editRect.width() + 1 - ((m_controls & hgctlButton) ? m_buttonWidth : 0);
    if (column->ComboMaxWidth())
        width = std::max(width, m_list->WidestItemWidth());
    const int itemHeight = m_list->ItemHeight();
    int height = 0;
    if (m_list->count() < column->DropDownCount()) {
        height = m_list->count() * itemHeight + 4;
    } else {
        height = column->DropDownCount() * itemHeight + 4;
        if (column->ComboMaxWidth())
            width += 16; // the scroll bar
    }
    if (column->ComboMaxWidth() && this->width() < width)
        width += 4;
    m_list->SelectText(cellText);

    QPoint at = viewport()->mapToGlobal(QPoint(m_editRect.left(), m_editRect.bottom() + 1));
    const QRect screenArea = knownScreenArea(screen()->geometry());
    if (!screenArea.isNull() && at.y() + height > screenArea.bottom() + 1)
        at.setY(viewport()->mapToGlobal(m_editRect.topLeft()).y() - height);
    m_list->setGeometry(QRect(at, QSize(width, height)));
    m_list->show();
    m_droppedDown = true;
    viewport()->update();
    updateCancelWatch();
}

void THgInplaceEdit::CloseUp(bool accept)
{
    hideSuggestion();
    if (!m_droppedDown)
        return;
    m_draggingInList = false;
    const QString value = m_list->SelectedText();
    m_list->hide();
    m_droppedDown = false;
    viewport()->update();
    updateCancelWatch();
    THyperGrid *grid = HyperGrid();
    if (accept && grid->CanEditModify() && !column()->ReadOnly()) {
        grid->setCells(grid->Col(), grid->Row(), value);
        if (grid->OnComboSelection)
            grid->OnComboSelection(grid, grid->Col(), grid->Row());
    }
}

// --- Suggestions ------------------------------------------------------------------------

void THgInplaceEdit::UpdateSuggestion()
{
    THyperGrid *grid = HyperGrid();
    ThgColumn *column = this->column();
    if ((m_controls & hgctlComboBox) && column->AutoSuggest()) {
        const QString typed = Text().trimmed().toUpper();
        QString suggestion;
        if (!typed.isEmpty()) {
            for (const QString &item : column->Items()) {
                if (item.toUpper().startsWith(typed)) {
                    suggestion = item;
                    break;
                }
            }
        }
        if (suggestion.isEmpty() || suggestion == Text())
            hideSuggestion();
        else
            ShowSuggestion(suggestion);
    } else if (grid->OnGetSuggestion) {
        QString suggestion;
        grid->OnGetSuggestion(grid, grid->Col(), grid->Row(), Text(), suggestion);
        if (suggestion.isEmpty())
            hideSuggestion();
        else
            ShowSuggestion(suggestion);
    }
}

void THgInplaceEdit::ShowSuggestion(const QString &text)
{
    if (text.trimmed().isEmpty()) {
        hideSuggestion();
        return;
    }
    if (m_suggestionHint->isVisible()) {
        m_suggestionHint->setText(text);
        return;
    }
    const int textHeight = QFontMetrics(m_suggestionHint->font()).boundingRect(QStringLiteral("Wg")).height();
    const QPoint at = viewport()->mapToGlobal(QPoint(m_editRect.left() + 4, m_editRect.top() - textHeight - 8));
    m_suggestionHint->ActivateHint(QRect(at, QSize()), text);
    updateCancelWatch();
}

void THgInplaceEdit::hideSuggestion()
{
    m_suggestionHint->hide();
    updateCancelWatch();
}

void THgInplaceEdit::AcceptSuggestion()
{
    if (!m_suggestionHint->isVisible())
        return;
    setText(m_suggestionHint->Text());
    moveCursor(QTextCursor::End);
    hideSuggestion(); // taken
    THyperGrid *grid = HyperGrid();
    grid->setCells(grid->Col(), grid->Row(), Text());
    if ((m_controls & hgctlComboBox) && grid->OnComboSelection)
        grid->OnComboSelection(grid, grid->Col(), grid->Row());
}

void THgInplaceEdit::updateCancelWatch()
{
    const bool watch = m_droppedDown || m_suggestionHint->isVisible();
    if (watch == m_watchingCancel)
        return;
    m_watchingCancel = watch;
    if (watch)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool THgInplaceEdit::ownsWidget(const QWidget *widget) const
{
    return widget == this || isAncestorOf(widget) || (m_list && (widget == m_list || m_list->isAncestorOf(widget)));
}

bool THgInplaceEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()
        && !ownsWidget(static_cast<QWidget *>(watched))) {
        runGuarded([this] {
            AcceptSuggestion();
            CloseUp(false);
        });
    }
    return CellEditor::eventFilter(watched, event);
}

// --- Keys ----------------------------------------------------------------------------------

void THgInplaceEdit::keyPressEvent(QKeyEvent *event)
{
    runGuarded([&] { handleKey(event); });
}

void THgInplaceEdit::handleKey(QKeyEvent *event)
{
    if ((m_controls & hgctlComboBox) && listKey(event))
        return;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !(event->modifiers() & Qt::ControlModifier) && m_suggestionHint->isVisible())
        AcceptSuggestion();
    if (enter && event->modifiers() == Qt::ShiftModifier && (m_controls & hgctlButton)) {
        fireButtonClick();
        return;
    }
    CellEditor::keyPressEvent(event);
}

bool THgInplaceEdit::listKey(QKeyEvent *event)
{
    const int key = event->key();
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (m_droppedDown && !alt && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)) {
        CloseUp(key != Qt::Key_Escape);
        return true;
    }
    if (alt && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        if (m_droppedDown)
            CloseUp(true);
        else
            DropDown();
        return true;
    }
    if (m_droppedDown) {
        QCoreApplication::sendEvent(m_list, event); // moves or searches its selection
        return true;
    }
    return false;
}

void THgInplaceEdit::fireButtonClick()
{
    THyperGrid *grid = HyperGrid();
    if (grid->OnButtonClick)
        grid->OnButtonClick(grid, grid->Col(), grid->Row());
}

// --- Mouse ---------------------------------------------------------------------------------

bool THgInplaceEdit::onButton(QPoint at) const
{
    return (m_controls & hgctlButton) && m_buttonRect.contains(at);
}

bool THgInplaceEdit::onArrow(QPoint at) const
{
    return (m_controls & hgctlComboBox) && m_comboRect.contains(at);
}

void THgInplaceEdit::mousePressEvent(QMouseEvent *event)
{
    runGuarded([&] { handlePress(event); });
}

void THgInplaceEdit::handlePress(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const bool arrow = !onButton(at) && onArrow(at);
    if (event->button() != Qt::LeftButton || !(onButton(at) || arrow)) {
        CellEditor::mousePressEvent(event);
        return;
    }
    // The controls take the press; the text is left as it is.
    setFocus(Qt::MouseFocusReason);
    if (m_droppedDown) {
        CloseUp(false);
        return;
    }
    m_tracking = true;
    trackPress(at);
    if (arrow)
        DropDown();
}

void THgInplaceEdit::trackPress(QPoint at)
{
    const bool button = m_tracking && onButton(at);
    const bool combo = m_tracking && !button && onArrow(at);
    if (button != m_buttonPressed) {
        m_buttonPressed = button;
        viewport()->update(m_buttonRect);
    }
    if (combo != m_comboPressed) {
        m_comboPressed = combo;
        viewport()->update(m_comboRect);
    }
}

void THgInplaceEdit::endTracking()
{
    m_tracking = false;
    trackPress({});
}

void THgInplaceEdit::mouseMoveEvent(QMouseEvent *event)
{
    runGuarded([&] { handleMove(event); });
}

void THgInplaceEdit::handleMove(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const QPoint global = event->globalPosition().toPoint();
    const bool onControl = onButton(at) || onArrow(at);
    viewport()->setCursor(onControl || !m_editRect.contains(at) ? Qt::ArrowCursor : Qt::IBeamCursor);
    THyperGrid *grid = HyperGrid();
    if (grid->HintFollowsMouse())
        grid->SetHintCell(grid->Col(), grid->Row());
    if (m_draggingInList) {
        m_list->SelectAt(global);
        return;
    }
    if (!m_tracking) {
        CellEditor::mouseMoveEvent(event);
        return;
    }
    trackPress(at);
    if (m_droppedDown && m_list->geometry().contains(global)) {
        // The drag from the arrow goes on in the list.
        endTracking();
        m_draggingInList = true;
        m_list->SelectAt(global);
    }
}

void THgInplaceEdit::mouseReleaseEvent(QMouseEvent *event)
{
    runGuarded([&] { handleRelease(event); });
}

void THgInplaceEdit::handleRelease(QMouseEvent *event)
{
    if (m_draggingInList) {
        m_draggingInList = false;
        m_list->ReleaseAt(event->globalPosition().toPoint());
        return;
    }
    if (!m_tracking) {
        CellEditor::mouseReleaseEvent(event);
        return;
    }
    const bool buttonWasPressed = m_buttonPressed;
    endTracking();
    if (event->button() == Qt::LeftButton && buttonWasPressed)
        fireButtonClick();
}

void THgInplaceEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (!onButton(at) && !onArrow(at))
        CellEditor::mouseDoubleClickEvent(event);
}

// --- Leaving --------------------------------------------------------------------------------

void THgInplaceEdit::reportEdit()
{
    if (m_editCell.X < 0 || Text() == m_textAtStart)
        return;
    m_textAtStart = Text(); // reported once
    HyperGrid()->CellEdited(m_editCell.X, m_editCell.Y);
}

void THgInplaceEdit::focusOutEvent(QFocusEvent *event)
{
    CellEditor::focusOutEvent(event);
    runGuarded([this] {
        reportEdit();
        CloseUp(false);
    });
}

void THgInplaceEdit::hideEvent(QHideEvent *event)
{
    CellEditor::hideEvent(event);
    CloseUp(false); // the list and the hint are windows of their own
}

// --- Painting ---------------------------------------------------------------------------------

void THgInplaceEdit::paintEvent(QPaintEvent *event)
{
    CellEditor::paintEvent(event);
    QPainter painter(viewport());
    runGuarded([&] {
        THyperGrid *grid = HyperGrid();
        QRect client = viewport()->rect();
        grid->DrawCellImage(grid->Col(), grid->Row(), &painter, true, client, -1);
        if (m_controls & hgctlButton)
            paintButton(painter);
        if (m_controls & hgctlComboBox)
            drawArrowButton(painter, m_comboRect, m_comboPressed, m_list != nullptr, this);
    });
}

void THgInplaceEdit::paintButton(QPainter &painter)
{
    const QRect &r = m_buttonRect;
    const int p = m_buttonPressed ? 1 : 0;
    ThgColumn *column = this->column();
    switch (column->ButtonStyle()) {
    case hgbstEllipsis: {
        drawFace(painter, r, m_buttonPressed);
        const int x = r.left() + (r.width() + 1) / 2 + p - 1;
        const int y = r.top() + (r.height() + 1) / 2 + p - 1;
        for (int dx : {-4, 0, 4})
            painter.fillRect(x + dx, y, 2, 2, Qt::black);
        break;
    }
    case hgbstDropDown:
        drawArrowButton(painter, r, m_buttonPressed, true, this);
        break;
    case hgbstCustom: {
        if (column->DrawButtonface())
            drawFace(painter, r, m_buttonPressed);
        else
            painter.fillRect(r, palette().color(QPalette::Base));
        const QPixmap &glyph = column->ButtonPicture();
        if (glyph.isNull())
            break;
        const int y = column->ButtonVAlignment() == hgvaTop ? r.top() + 2 + p
            : column->ButtonVAlignment() == hgvaCenter      ? r.top() + (r.height() + 1 - glyph.height()) / 2 + 2 + p
                                                            : r.bottom() + 1 - glyph.height() - 2 + p;
        painter.drawPixmap(r.left() + 2 + p, y, glyph);
        break;
    }
    }
}
