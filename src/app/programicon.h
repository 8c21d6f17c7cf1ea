#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>

/// Worktally's icon: a clock in front of a house, drawn at the usual sizes.
QIcon programIcon();

/// The icon drawn size × size pixels, for the installed icon theme.
QImage programIconImage(int size);
/// The same drawing as a scalable SVG document.
QByteArray programIconSvg();
