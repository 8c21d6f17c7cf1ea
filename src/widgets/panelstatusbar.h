#pragma once

#include <QString>
#include <QWidget>
#include <vector>

/// A status bar of sunken panels side by side, each with its width, text
/// alignment and text; the last panel takes the rest of the width.
class PanelStatusBar : public QWidget
{
    Q_OBJECT

public:
    explicit PanelStatusBar(QWidget *parent = nullptr);

    void addPanel(int width, Qt::Alignment alignment, const QString &text = {});
    int PanelCount() const { return int(m_panels.size()); }
    QString PanelText(int index) const;
    void setPanelText(int index, const QString &text);
    /// The area of a panel inside the bar.
    QRect panelRect(int index) const;
    /// The part of a panel that its text is drawn in, inside the frame.
    QRect panelTextRect(int index) const;
    /// A panel's text as drawn: one too wide for its panel keeps the figure
    /// after its last blank whole and lets what comes before give way.
    QString shownText(int index) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Panel
    {
        int width;
        Qt::Alignment alignment;
        QString text;
    };
    std::vector<Panel> m_panels;
};
