#pragma once

#include <QIcon>

/// Worktally's icon: a clock in front of a house, drawn at the usual sizes.
QIcon programIcon();
