#include "screencolor.h"

#include <QGuiApplication>
#include <QPalette>

QColor toQColor(TColor color)
{
    if (!isSystemColor(color))
        return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);

    const QPalette palette = QGuiApplication::palette();
    switch (color & 0xFF) {
    case 2:
        return palette.color(QPalette::Active, QPalette::Highlight);
    case 5:
        return palette.color(QPalette::Base);
    case 6: // window frames are drawn in the text colour
    case 8:
        return palette.color(QPalette::Text);
    case 13:
        return palette.color(QPalette::Highlight);
    case 14:
        return palette.color(QPalette::HighlightedText);
    case 16:
        return palette.color(QPalette::Dark);
    case 17:
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18:
        return palette.color(QPalette::ButtonText);
    case 20:
        return palette.color(QPalette::Light);
    case 21:
        return palette.color(QPalette::Shadow);
    case 22:
        return palette.color(QPalette::Midlight);
    case 23:
        return palette.color(QPalette::ToolTipText);
    case 24:
        return palette.color(QPalette::ToolTipBase);
    default: // button face and anything without a closer role
        return palette.color(QPalette::Button);
    }
}

TColor fromQColor(const QColor &color)
{
    return rgbColor(color.red(), color.green(), color.blue());
}

bool isDark(const QColor &color)
{
    return qGray(color.rgb()) < 128;
}

TColor readableTextColor(TColor background)
{
    const bool dark = isDark(toQColor(background));
    if (isDark(toQColor(WindowTextColor)) != dark)
        return WindowTextColor;
    return dark ? WhiteColor : BlackColor;
}
