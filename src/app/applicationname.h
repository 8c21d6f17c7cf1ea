#pragma once

/// Names the application "Worktally": the title of its message boxes, and
/// where the desktop asks for the program's name. No display name is set,
/// as Qt would append it to every window title (" — Worktally"); each window
/// carries its own title alone.
void nameApplication();
