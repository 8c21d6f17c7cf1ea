#pragma once

#include "color.h"

#include <QColor>

/// The screen colour for a stored colour; system colours come from the
/// application palette.
QColor toQColor(TColor color);
/// The stored form of an explicit screen colour.
TColor fromQColor(const QColor &color);

/// Whether a colour looks dark, by its brightness to the eye.
bool isDark(const QColor &color);
/// The colour for text on background: the desktop's text colour where it
/// stands out, otherwise white on a dark and black on a light background.
TColor readableTextColor(TColor background);
