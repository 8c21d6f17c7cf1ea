#pragma once

#include <functional>

class QObject;
class QUrl;

/// Hands url to the desktop's opener, xdg-open, and returns at once. Its
/// exit status is what tells whether a program could be found for url (the
/// opener reports a failure on standard error alone): failed runs later, on
/// the GUI thread, when the opener cannot be started or ends in failure.
/// The opener's process belongs to owner while it runs.
void openWithDesktop(const QUrl &url, QObject *owner, std::function<void()> failed);
