#pragma once

#include <QAccessibleWidget>
#include <QHash>

class TStringGrid;

/// What a screen reader learns of a grid: a table of its scrollable cells,
/// whose column headings are the titles in the fixed rows and whose cells
/// read the texts the grid shows.
///
/// A cell's interface is made when a reader first asks for it, so that a
/// worksheet of a million rows costs nothing until it is read.
class StringGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit StringGridAccessible(TStringGrid *grid);
    ~StringGridAccessible() override;

    /// Tells a screen reader, when one listens, that the grid's current cell
    /// has the focus.
    static void currentCellFocused(TStringGrid *grid);

    TStringGrid *grid() const;
    /// The text shown in a cell or, for a fixed title row, its title.
    QString shownText(int gridCol, int gridRow) const;
    int gridCol(int column) const;
    int gridRow(int row) const;

    // QAccessibleInterface
    void *interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

    // QAccessibleTableInterface
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    int columnCount() const override;
    int rowCount() const override;
    QAccessibleInterface *cellAt(int row, int column) const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface *> selectedCells() const override;
    int selectedColumnCount() const override { return int(selectedColumns().size()); }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override { return selectedColumns().contains(column); }
    bool isRowSelected(int row) const override { return selectedRows().contains(row); }
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override { }

private:
    mutable QHash<qint64, QAccessible::Id> m_cells; // by row and column
};
