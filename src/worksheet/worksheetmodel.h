#pragma once

#include "celltable.h"
#include "worksheetvalues.h"

#include <functional>
#include <QAbstractTableModel>

/// The worksheet's rows, and how views see them: the one copy of the rows in
/// the program. Its rows are those of the Overview grid, the title row 0 and
/// the empty bottom line included; its columns are the worksheet's nine.
///
/// Whoever changes the rows (the grid, the window, a command) changes the
/// cell table; the model hears of each change, keeps the values of the rows
/// that changed (WorksheetValues) and tells its views with one signal per
/// change, whatever the number of rows.
class WorksheetModel : public QAbstractTableModel, private CellTableObserver
{
    Q_OBJECT

public:
    explicit WorksheetModel(QObject *parent = nullptr);
    ~WorksheetModel() override;

    CellTable &cells() { return m_cells; }
    const CellTable &cells() const { return m_cells; }
    const WorksheetValues &values() const { return m_values; }

    /// Takes over rows read away from the model, as many as it has, with
    /// their values read there too.
    void replaceRows(CellTable &&rows, WorksheetValues &&values);

    /// Makes many changes of the rows as one (loading a file): the views and
    /// the values hear of them once, as a reset, after change ran or raised.
    void changeAll(const std::function<void()> &change);

    /// The recalculation (WorksheetValues::recalculate): costs the rows
    /// changed since the last one.
    WorksheetTotals recalculate() { return m_values.recalculate(m_cells); }
    /// The data rows dated day added up.
    Balance rowsOf(QDate day) const { return m_values.rowsOf(m_cells, day); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void rowChanged(int row) override;
    void beforeRowsInserted(int first, int count) override;
    void rowsInserted(int first, int count) override;
    void beforeRowsRemoved(int first, int count) override;
    void rowsRemoved(int first, int count) override;
    void beforeRowMoved(int from, int to) override;
    void rowMoved(int from, int to) override;
    void beforeRowsPermuted(int first, const std::vector<int> &order) override;
    void rowsPermuted(int first, const std::vector<int> &order) override;
    void beforeReset() override;
    void reset() override;

    CellTable m_cells;
    WorksheetValues m_values;
    WorksheetValues *m_adopted = nullptr; // the values replaceRows brings
};
