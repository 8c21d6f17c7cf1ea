#pragma once

#include <QWidget>

/// A small top-most window of the desktop's hint colours that shows a
/// word-wrapped text and never takes the focus.
class ThgHintWindow : public QWidget
{
    Q_OBJECT

public:
    /// A hidden hint that lives as long as owner.
    explicit ThgHintWindow(QWidget *owner);

    const QString &Text() const { return m_text; }
    /// Sets the text and sizes the window to it: text width + 8 by wrapped
    /// text height + 6.
    void setText(const QString &text);
    /// Shows text with the window's top-left at rect's, moved as little as
    /// needed to lie wholly on the screen there.
    void ActivateHint(const QRect &rect, const QString &text);
    /// Where a window of size with its top-left wanted at topLeft goes on
    /// screen: pulled back over the right and bottom edges, never past the
    /// left and top ones (a null screen: where it lies is unknown, at topLeft).
    static QPoint placement(QPoint topLeft, QSize size, const QRect &screen);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
};
