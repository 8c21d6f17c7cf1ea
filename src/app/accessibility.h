#pragma once

/// Lets screen readers see the program's own widgets (the switch, the grid,
/// the status panels, the clock) and the main window as what they are.
/// Called once, before the first window is built.
void installAccessibility();
