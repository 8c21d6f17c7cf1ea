#pragma once

#include <QtGlobal>

/// A colour as the worksheet and its settings file store it: red in the low
/// byte, then green, then blue. Values with the top byte 0xFF name system
/// colours (the low byte is the index), which follow the desktop's palette.
using TColor = qint32;

constexpr TColor rgbColor(int red, int green, int blue)
{
    return TColor(red | (green << 8) | (blue << 16));
}

constexpr TColor BlackColor = rgbColor(0, 0, 0);
constexpr TColor MaroonColor = rgbColor(0x80, 0, 0);
constexpr TColor GreenColor = rgbColor(0, 0x80, 0);
constexpr TColor OliveColor = rgbColor(0x80, 0x80, 0);
constexpr TColor NavyColor = rgbColor(0, 0, 0x80);
constexpr TColor PurpleColor = rgbColor(0x80, 0, 0x80);
constexpr TColor clTeal = rgbColor(0, 0x80, 0x80);
constexpr TColor GrayColor = rgbColor(0x80, 0x80, 0x80);
constexpr TColor clSilver = rgbColor(0xC0, 0xC0, 0xC0);
constexpr TColor clRed = rgbColor(0xFF, 0, 0);
constexpr TColor LimeColor = rgbColor(0, 0xFF, 0);
constexpr TColor YellowColor = rgbColor(0xFF, 0xFF, 0);
constexpr TColor BlueColor = rgbColor(0, 0, 0xFF);
constexpr TColor FuchsiaColor = rgbColor(0xFF, 0, 0xFF);
constexpr TColor clAqua = rgbColor(0, 0xFF, 0xFF);
constexpr TColor WhiteColor = rgbColor(0xFF, 0xFF, 0xFF);

constexpr TColor systemColor(int index)
{
    return TColor(0xFF000000u | unsigned(index));
}

constexpr TColor ActiveCaptionColor = systemColor(2);
constexpr TColor clWindow = systemColor(5);
constexpr TColor clWindowFrame = systemColor(6);
constexpr TColor WindowTextColor = systemColor(8);
constexpr TColor clHighlight = systemColor(13);
constexpr TColor clHighlightText = systemColor(14);
constexpr TColor clBtnFace = systemColor(15);
constexpr TColor clBtnShadow = systemColor(16);
constexpr TColor GrayTextColor = systemColor(17);
constexpr TColor ButtonTextColor = systemColor(18);
constexpr TColor clBtnHighlight = systemColor(20);
constexpr TColor DarkShadowColor = systemColor(21);
constexpr TColor MidlightColor = systemColor(22);
constexpr TColor clInfoText = systemColor(23);
constexpr TColor clInfoBk = systemColor(24);

constexpr bool isSystemColor(TColor color)
{
    return (quint32(color) & 0xFF000000u) == 0xFF000000u;
}
