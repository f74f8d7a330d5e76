#pragma once
// Filtered resampling of 24-bit bitmaps: two separable passes with integer
// weights precomputed per destination column and row.

#include "imageio/bitmap.h"
#include "print/core/filters.h"

namespace tessaria {

// Resamples the bitmap in place to newWidth x newHeight (24 bits per pixel
// afterwards). A radius of 0 means the filter's default support radius.
void Stretch(int newWidth, int newHeight, int filterIndex, TBitmap& bitmap, float radius = 0.0f);

// The target becomes a 24-bit newWidth x newHeight resampling of the source;
// the source is switched to 24 bits per pixel.
void StretchInto(int newWidth, int newHeight, int filterIndex, float radius, TBitmap& source, TBitmap& target);

// Resamples source into destination, which already has its final size; both
// are 24 bits per pixel. The radius is the filter's support radius, > 0.
void Resample(TResampleFilter filter, float radius, const TBitmap& source, TBitmap& destination);

// How many threads a resampling may use: 0 (the default) lets it use every
// core where the picture is large enough to pay; n >= 1 uses exactly n threads
// whenever there are rows enough. The result never depends on it.
void SetResampleThreads(int threads);
int ResampleThreads();

// Which kernels run. Auto takes the best the processor has; a forced choice
// the processor lacks falls back to the next lower one. Every choice gives
// the same bytes.
enum class TResampleKernels { Auto, Plain, Avx2, Avx512 };
void SetResampleKernels(TResampleKernels kernels);
// The kernels that will actually run (never Auto).
TResampleKernels ActiveResampleKernels();
const char* ResampleKernelsName(TResampleKernels kernels);

} // namespace tessaria
