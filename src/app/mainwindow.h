#pragma once

#include <QString>
#include <QWidget>

class THyperGrid;
class TStatusBar;

/// The main window: the worksheet in the Overview grid and its totals in the
/// status bar.
class TForm1 : public QWidget
{
    Q_OBJECT

public:
    /// programFolder holds Hourbook.csv; the program passes its own folder.
    explicit TForm1(const QString &programFolder, QWidget *parent = nullptr);
    ~TForm1() override;

    /// The recalculation: rewrites the Diff. column and the three totals.
    void Button1Click();

    QString worksheetPath() const;

    THyperGrid *Grid1;
    TStatusBar *StatusBar1;

private:
    void FormCreate();

    QString m_programFolder;
};
