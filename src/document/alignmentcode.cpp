#include "document/alignmentcode.h"

namespace tessaria {

int32_t AlignmentToCode(TAlignment alignment)
{
    switch (alignment) {
    case TAlignment::taLeftJustify: return 0;
    case TAlignment::taCenter: return 1;
    case TAlignment::taRightJustify: return 2;
    }
    return 0;
}

TAlignment AlignmentFromCode(int32_t code)
{
    switch (code) {
    case 1: return TAlignment::taCenter;
    case 2: return TAlignment::taRightJustify;
    default: return TAlignment::taLeftJustify;
    }
}

} // namespace tessaria
