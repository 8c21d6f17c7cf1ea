#include "mainwindow.h"

#include "hypergrid.h"
#include "messages.h"
#include "overviewgrid.h"
#include "statusbar.h"
#include "worksheettotals.h"

#include <QDir>

TForm1::TForm1(const QString &programFolder, QWidget *parent)
    : QWidget(parent)
    , Grid1(new THyperGrid(this))
    , StatusBar1(new TStatusBar(this))
    , m_programFolder(programFolder)
{
    setWindowTitle(QStringLiteral("Worktally"));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(8);
    setFont(tahoma);
    setFixedSize(670, 423);

    configureOverviewGrid(*Grid1);
    Grid1->setGeometry(0, 181, 670, 217);

    StatusBar1->setGeometry(0, 398, 670, 25);
    StatusBar1->addPanel(235, Qt::AlignRight, QStringLiteral("Home Worktime"));
    StatusBar1->addPanel(155, Qt::AlignRight, QStringLiteral("Nominal Worktime:"));
    StatusBar1->addPanel(70, Qt::AlignRight, QStringLiteral("Difference:"));
    StatusBar1->addPanel(45, Qt::AlignHCenter, QStringLiteral("v. 1.00"));

    runGuarded([this] { FormCreate(); });
}

TForm1::~TForm1() = default;

QString TForm1::worksheetPath() const
{
    return QDir(m_programFolder).filePath(QStringLiteral("Hourbook.csv"));
}

void TForm1::FormCreate()
{
    try {
        Grid1->LoadFromCSV(0, 1, worksheetPath());
    } catch (const FileOpenError &) {
        return; // no worksheet yet
    }
    Button1Click();
}

void TForm1::Button1Click()
{
    const WorksheetTotals totals = recalculateWorksheet(Grid1->cellTable());
    StatusBar1->setPanelText(0, totals.home);
    StatusBar1->setPanelText(1, totals.nominal);
    StatusBar1->setPanelText(2, totals.difference);
}
