#pragma once
// How much room a text box's text takes on paper: the text drawn as printing
// draws it, word-wrapped into the box from a 32nd of an inch below its top,
// in its font at its size in points at the printer's resolution.

#include <QFont>
#include <QSize>
#include <QString>

namespace tessaria {

// The height in device pixels at `dpi` that the text takes in a box `width`
// device pixels wide, the drop from the box's top included; 0 for no text.
int PrintedTextHeight(const QFont& font, const QString& text, int width, int dpi);

// Whether the text fits a box of that size in device pixels: no word wider
// than the box and not higher than it.
bool PrintedTextFits(const QFont& font, const QString& text, const QSize& box, int dpi);

} // namespace tessaria
