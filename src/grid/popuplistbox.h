#pragma once

#include <functional>
#include <QListWidget>

/// The drop-down list of a cell editor: a bordered window of its own that
/// looks focused but leaves the focus in the editor, which hands it the keys.
/// Typed characters search it: each one within 2 seconds of the one before
/// extends the search text (up to 32 characters), otherwise it starts a new
/// one, and the first item beginning with the search text, ignoring case, is
/// selected. Backspace and Escape clear the search text.
class TPopupListbox : public QListWidget
{
    Q_OBJECT

public:
    /// Milliseconds on a clock that only goes forward.
    using Clock = std::function<qint64()>;

    /// A hidden list that lives as long as owner.
    explicit TPopupListbox(QWidget *owner);

    void setItems(const QStringList &items);
    /// The height of each item in the list's font.
    int ItemHeight() const;
    /// The width of the widest item text in the list's font.
    int WidestItemWidth() const;
    /// Selects the first item equal to text, ignoring case, or none.
    void SelectText(const QString &text);
    /// The selected item's text; empty if none.
    QString SelectedText() const;
    const QString &SearchText() const { return m_search; }
    /// Replaces the search's clock (tests).
    void setClock(Clock clock) { m_clock = std::move(clock); }

    /// Selects the item under a screen point, as a drag over the list does.
    void SelectAt(QPoint global);
    /// Ends a drag released at a screen point: OnCloseUp, accepting when the
    /// point lies in the list.
    void ReleaseAt(QPoint global);

    std::function<void(TPopupListbox *sender, bool accept)> OnCloseUp;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void search(QChar c);

    QString m_search;
    qint64 m_lastKeyTime = 0;
    Clock m_clock;
};
