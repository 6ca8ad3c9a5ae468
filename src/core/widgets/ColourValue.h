#pragma once

#include <QColor>

// Colours are stored as 0x00BBGGRR: red in the low byte, then green, then
// blue (coulfond, coultexte). Bits above blue are ignored when reading.

inline QColor colourFromValue(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

inline int valueFromColour(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16);
}
