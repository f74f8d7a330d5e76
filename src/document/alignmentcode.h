#pragma once
// The document's alignment codes (0 left, 1 centre, 2 right) differ from the
// order of TAlignment (left, right, centre); both directions go through here.

#include <cstdint>

#include "base/alignment.h"

namespace tessaria {

// A value outside TAlignment is written as 0.
int32_t AlignmentToCode(TAlignment alignment);
// A code other than 0, 1 or 2 reads as taLeftJustify.
TAlignment AlignmentFromCode(int32_t code);

} // namespace tessaria
