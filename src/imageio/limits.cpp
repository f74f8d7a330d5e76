#include "imageio/limits.h"

#include "base/exceptions.h"
#include "base/format.h"

namespace tessaria {

namespace {
TPictureLimits CurrentLimits;
}

const TPictureLimits& PictureLimits() { return CurrentLimits; }

void SetPictureLimits(const TPictureLimits& limits) { CurrentLimits = limits; }

void CheckPictureSize(int64_t width, int64_t height)
{
    if (width < 0 || height < 0)
        throw EInvalidGraphic("Invalid picture size");
    const TPictureLimits& limits = CurrentLimits;
    // Each side is checked first, so the product cannot overflow.
    if (width > limits.MaxSide || height > limits.MaxSide || width * height > limits.MaxPixels)
        throw EInvalidGraphic(Format("Picture too large (%lld x %lld pixels)", (long long)width, (long long)height));
}

void CheckDataSupply(const char* format, int64_t width, int64_t height, uint64_t needed, uint64_t remaining,
                     uint64_t expansion)
{
    uint64_t most;
    if (__builtin_mul_overflow(remaining, expansion, &most) ||
        __builtin_add_overflow(most, CurrentLimits.MaxMissing, &most))
        return; // more than any picture can need
    if (needed > most)
        throw Exception(Format("%s: not enough data for a %lld x %lld picture", format, (long long)width,
                               (long long)height));
}

} // namespace tessaria
