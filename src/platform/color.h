#pragma once
// Colours as the program stores them: a 32-bit integer with red in the low
// byte, then green, then blue (as the settings and documents hold them).

#include <QColor>
#include <cstdint>

namespace tessaria {

using TColor = int32_t;

inline QColor ColorFromTColor(TColor c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
inline TColor TColorFromColor(const QColor& c) { return TColor(c.red() | c.green() << 8 | c.blue() << 16); }

} // namespace tessaria
