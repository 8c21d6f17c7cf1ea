#include "popuplistbox.h"

#include "messages.h"

#include <chrono>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
constexpr qint64 SearchRestartMs = 2000;
constexpr int MaxSearchLength = 32;

qint64 steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

TPopupListbox::TPopupListbox(QWidget *owner)
    : QListWidget(owner)
    , m_clock(steadyMilliseconds)
{
    // A tooltip-type window of the editor's window: on Wayland that is a
    // pop-up which the compositor places next to its parent, without the
    // keyboard grab of a Qt::Popup that would take the keys from the editor.
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    // One pixel of frame and one of margin on each side: the items fill the
    // rest of the height exactly.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setViewportMargins(1, 1, 1, 1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Drawn as if focused, although the editor keeps the focus.
    QPalette colours = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);
}

void TPopupListbox::setItems(const QStringList &items)
{
    clear();
    addItems(items);
    const QSize size(0, ItemHeight());
    for (int row = 0; row < count(); ++row)
        item(row)->setSizeHint(size);
}

int TPopupListbox::ItemHeight() const
{
    return fontMetrics().height();
}

int TPopupListbox::WidestItemWidth() const
{
    int widest = 0;
    for (int row = 0; row < count(); ++row)
        widest = std::max(widest, fontMetrics().horizontalAdvance(item(row)->text()));
    return widest;
}

void TPopupListbox::SelectText(const QString &text)
{
    for (int row = 0; row < count(); ++row) {
        if (item(row)->text().compare(text, Qt::CaseInsensitive) == 0) {
            setCurrentRow(row);
            return;
        }
    }
    setCurrentRow(-1);
}

QString TPopupListbox::SelectedText() const
{
    return currentItem() ? currentItem()->text() : QString();
}

void TPopupListbox::search(QChar c)
{
    const qint64 now = m_clock();
    if (now - m_lastKeyTime > SearchRestartMs)
        m_search.clear();
    m_lastKeyTime = now;
    if (m_search.size() < MaxSearchLength)
        m_search += c;
    for (int row = 0; row < count(); ++row) {
        if (item(row)->text().startsWith(m_search, Qt::CaseInsensitive)) {
            setCurrentRow(row);
            return;
        }
    }
}

void TPopupListbox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Escape) {
        m_search.clear();
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).unicode() >= 32 && text.at(0).unicode() <= 255) {
        search(text.at(0));
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TPopupListbox::SelectAt(QPoint global)
{
    const int row = indexAt(viewport()->mapFromGlobal(global)).row();
    if (row >= 0)
        setCurrentRow(row);
}

void TPopupListbox::ReleaseAt(QPoint global)
{
    const bool inside = viewport()->rect().contains(viewport()->mapFromGlobal(global));
    if (OnCloseUp)
        OnCloseUp(this, inside);
}

void TPopupListbox::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        SelectAt(event->globalPosition().toPoint());
}

void TPopupListbox::mouseReleaseEvent(QMouseEvent *event)
{
    runGuarded([&] { ReleaseAt(event->globalPosition().toPoint()); });
}
