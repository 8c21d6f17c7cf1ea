#include "worksheetmodel.h"

#include "worksheet.h"

WorksheetModel::WorksheetModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    m_cells.resize(WorksheetColumnCount, 2);
    m_values = WorksheetValues::read(m_cells);
    m_cells.setObserver(this);
}

WorksheetModel::~WorksheetModel()
{
    m_cells.setObserver(nullptr);
}

void WorksheetModel::replaceRows(CellTable &&rows, WorksheetValues &&values)
{
    m_adopted = &values;
    m_cells.replaceCells(std::move(rows));
    m_adopted = nullptr;
}

void WorksheetModel::changeAll(const std::function<void()> &change)
{
    beforeReset();
    m_cells.setObserver(nullptr);
    struct Resync
    {
        WorksheetModel &model;
        ~Resync()
        {
            model.m_cells.setObserver(&model);
            model.reset();
        }
    } resync {*this};
    change();
}

int WorksheetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cells.rowCount();
}

int WorksheetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cells.columnCount();
}

QVariant WorksheetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_cells.text(index.column(), index.row());
}

QVariant WorksheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= WorksheetColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return WorksheetColumnCaptions[section].toString();
}

bool WorksheetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    m_cells.setCell(index.column(), index.row(), value.toString());
    return true;
}

Qt::ItemFlags WorksheetModel::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) | (index.isValid() ? Qt::ItemIsEditable : Qt::NoItemFlags);
}

void WorksheetModel::rowChanged(int row)
{
    m_values.rowChanged(m_cells, row);
    emit dataChanged(index(row, 0), index(row, m_cells.columnCount() - 1), {Qt::DisplayRole, Qt::EditRole});
}

void WorksheetModel::beforeRowsInserted(int first, int count)
{
    beginInsertRows({}, first, first + count - 1);
}

void WorksheetModel::rowsInserted(int first, int count)
{
    m_values.rowsInserted(first, count);
    endInsertRows();
}

void WorksheetModel::beforeRowsRemoved(int first, int count)
{
    beginRemoveRows({}, first, first + count - 1);
}

void WorksheetModel::rowsRemoved(int first, int)
{
    m_values.rowsRemoved(first);
    endRemoveRows();
}

void WorksheetModel::beforeRowMoved(int from, int to)
{
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
}

void WorksheetModel::rowMoved(int from, int to)
{
    m_values.rowMoved(from, to);
    endMoveRows();
}

// A sort: the views lay the rows out again.
void WorksheetModel::beforeRowsPermuted(int, const std::vector<int> &)
{
    emit layoutAboutToBeChanged();
}

void WorksheetModel::rowsPermuted(int first, const std::vector<int> &order)
{
    m_values.rowsPermuted(first, order);
    emit layoutChanged();
}

void WorksheetModel::beforeReset()
{
    beginResetModel();
}

void WorksheetModel::reset()
{
    m_values = m_adopted ? std::move(*m_adopted) : WorksheetValues::read(m_cells);
    endResetModel();
}
