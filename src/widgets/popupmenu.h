#pragma once

#include <QMenu>

/// A context menu that its owner shows by itself on a right click while
/// AutoPopup is on. Its default item (QMenu's default action, drawn in bold)
/// is the one a double click on the owner runs.
class TPopupMenu : public QMenu
{
    Q_OBJECT

public:
    explicit TPopupMenu(QWidget *parent = nullptr);

    bool AutoPopup() const { return m_autoPopup; }
    void setAutoPopup(bool on);

signals:
    /// The owner hands the menu to whoever shows it, or takes it back.
    void autoPopupChanged(bool on);

private:
    bool m_autoPopup = true;
};
