#pragma once

#include <QtGlobal>

// Lengths a caller gives the page printer are in its measure unit; layout is
// done in the printer's pixels. These are the conversions between the two and
// the few sizes derived from the printer's resolution.

enum TMeasureUnit { muInches, muMillimeters };
enum TLineSpacing { lsHalfSpace, lsSingleSpace, lsSingleAndAHalf, lsDoubleSpace };

constexpr double InchesPerMillimetre = 0.039370078740157480314;
constexpr double MillimetresPerInch = 25.4;
/// The resolution assumed when no printer is available.
constexpr int FallbackDpi = 300;

/// Nearest integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4),
/// whatever rounding mode the processor is in.
int roundHalfEven(double value);

double toInches(double length, TMeasureUnit unit);
/// A length after the unit changed to newUnit.
double convertLength(double length, TMeasureUnit newUnit);
/// Printer pixels for a length; a resolution of 0 counts as FallbackDpi.
int lengthToPixels(double length, TMeasureUnit unit, int dpi);
double pixelsToLength(int pixels, TMeasureUnit unit, int dpi);
/// A length in screen pixels at a zoom: first to the screen, then scaled.
int zoomedPixels(double length, TMeasureUnit unit, int screenDpi, int zoomPercent);

/// Pixel height of a font of the given point size on a device (rounded as
/// text engines do, halves away from zero).
int fontPixelHeight(double points, int dpi);
int lineHeightFor(TLineSpacing spacing, int fontHeight);
/// How far a cell frame reaches above the text cell: the external leading
/// scaled by the line spacing.
int frameLift(TLineSpacing spacing, int externalLeading);
/// Room between a cell's text and its column edge: 6 pixels per 300 dpi.
int cellPadding(int dpiX);
/// Pen width of frames and borders: 2 pixels per 300 dpi, 0 (the thinnest
/// pen) below 300 dpi.
int rulePenWidth(int dpi);
