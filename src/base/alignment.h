#pragma once
// Horizontal alignment of text, in the order documents and settings store it
// (0 left, 1 right, 2 centre).

namespace tessaria {

enum class TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

} // namespace tessaria
