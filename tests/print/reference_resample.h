#pragma once
// A plain, line-by-line reading of the resampler: contributor lists with the
// reflected indices as they come, three channel arrays per row and then per
// column, the second pass walking columns. Slow and obvious, so that the
// library's passes can be checked against it byte for byte.

#include "imageio/bitmap.h"
#include "print/core/filters.h"

namespace reference {

void Resample(tessaria::TResampleFilter filter, float radius, const tessaria::TBitmap& source,
              tessaria::TBitmap& destination);

} // namespace reference
