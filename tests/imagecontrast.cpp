#include "imagecontrast.h"

#include <algorithm>
#include <cstdlib>

int strongestContrast(const QImage &image, const QRect &area, const QColor &background)
{
    int contrast = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            contrast = std::max(contrast, std::abs(qGray(image.pixel(x, y)) - qGray(background.rgb())));
    return contrast;
}
