#pragma once

/// Shows the program's messages as modal message boxes with an OK button and
/// the application title, and its questions as boxes with a button per answer.
void installMessageBoxes();
