#pragma once

#include <QRect>

/// screenArea where windows know where they are on the screen; a null
/// rectangle on Wayland, where they do not: there the compositor places a
/// pop-up from its parent window and keeps it on the screen itself.
QRect knownScreenArea(const QRect &screenArea);
