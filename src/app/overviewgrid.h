#pragma once

#include "worksheethistory.h"

class THyperGrid;
class QPixmap;

/// Sets up a fresh grid as the worksheet's Overview: nine columns under the
/// "Home Worktime" and "Nominal Worktime" headings, a 36-pixel title row,
/// 18-pixel data rows, whole-row selection and no cell editor.
void configureOverviewGrid(THyperGrid &grid);

/// The 20 × 20 picture of the Notes column's cell button.
QPixmap notesButtonPicture();

/// The worksheet's changes add, remove and reorder the Overview's rows
/// through the grid, which keeps each row's height and its scroll range.
class OverviewGridRows : public RowArrangement
{
public:
    explicit OverviewGridRows(THyperGrid &grid);

    void insertRow(int row) override;
    void removeRow(int row) override;
    void permuteRows(int first, const std::vector<int> &order) override;
    void resize(int columnCount, int rowCount) override;

private:
    THyperGrid &m_grid;
};
