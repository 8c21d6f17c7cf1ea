#pragma once

class QWidget;

/// Takes a top-level window out of the desktop's task bar, or puts it back.
/// Only X11 desktops can be told so; elsewhere the window keeps its entry.
void setTaskbarEntryHidden(QWidget *window, bool hidden);
