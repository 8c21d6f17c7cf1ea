#include "printunits.h"

#include <cmath>

int roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0))
        return int(floor + 1);
    return int(floor);
}

double toInches(double length, TMeasureUnit unit)
{
    return unit == muMillimeters ? length * InchesPerMillimetre : length;
}

double convertLength(double length, TMeasureUnit newUnit)
{
    return newUnit == muMillimeters ? length * MillimetresPerInch : length * InchesPerMillimetre;
}

int lengthToPixels(double length, TMeasureUnit unit, int dpi)
{
    return roundHalfEven(toInches(length, unit) * (dpi > 0 ? dpi : FallbackDpi));
}

double pixelsToLength(int pixels, TMeasureUnit unit, int dpi)
{
    const double inches = double(pixels) / (dpi > 0 ? dpi : FallbackDpi);
    return unit == muMillimeters ? inches * MillimetresPerInch : inches;
}

int zoomedPixels(double length, TMeasureUnit unit, int screenDpi, int zoomPercent)
{
    return roundHalfEven(roundHalfEven(toInches(length, unit) * screenDpi) * zoomPercent * 0.01);
}

int fontPixelHeight(double points, int dpi)
{
    return qRound(points * dpi / 72.0);
}

int lineHeightFor(TLineSpacing spacing, int fontHeight)
{
    switch (spacing) {
    case lsHalfSpace:
        return fontHeight / 2;
    case lsSingleSpace:
        return fontHeight;
    case lsSingleAndAHalf:
        return fontHeight + fontHeight / 2;
    case lsDoubleSpace:
        return 2 * fontHeight;
    }
    return fontHeight;
}

int frameLift(TLineSpacing spacing, int externalLeading)
{
    switch (spacing) {
    case lsHalfSpace:
        return externalLeading / 2;
    case lsSingleSpace:
        return externalLeading;
    case lsSingleAndAHalf:
        return roundHalfEven(externalLeading * 1.5);
    case lsDoubleSpace:
        return 2 * externalLeading;
    }
    return externalLeading;
}

int cellPadding(int dpiX)
{
    return 6 * (dpiX / 300);
}

int rulePenWidth(int dpi)
{
    return 2 * (dpi / 300);
}
