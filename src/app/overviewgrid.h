#pragma once

class THyperGrid;
class QPixmap;

/// Sets up a fresh grid as the worksheet's Overview: nine columns under the
/// "Home Worktime" and "Nominal Worktime" headings, a 36-pixel title row,
/// 18-pixel data rows, whole-row selection and no cell editor.
void configureOverviewGrid(THyperGrid &grid);

/// The 20 × 20 picture of the Notes column's cell button.
QPixmap notesButtonPicture();
