#pragma once

#include <QWidget>

class TPagePrinter;

/// The page printer's paint surface: at least as large as the view, it
/// moves inside the view as the page printer scrolls.
class PreviewSurface : public QWidget
{
public:
    PreviewSurface(TPagePrinter &printer, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TPagePrinter &m_printer;
};
