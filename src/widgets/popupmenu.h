#pragma once

#include <QMenu>

/// A context menu that its owner opens by itself on a right click while
/// AutoPopup is on. Its default item (QMenu's default action, drawn in bold)
/// is the one a double click on the owner runs.
class TPopupMenu : public QMenu
{
    Q_OBJECT

public:
    explicit TPopupMenu(QWidget *parent = nullptr);

    bool AutoPopup() const { return m_autoPopup; }
    void setAutoPopup(bool on) { m_autoPopup = on; }

    /// Shows the menu with its top-left corner at position (screen
    /// coordinates) and returns when it has closed.
    virtual void Popup(QPoint position);

private:
    bool m_autoPopup = true;
};
