#pragma once
// Rounding as the whole program uses it: to the nearest integer, halves to the
// even neighbour. Division ("div") is C++'s integer division toward zero.

#include <cmath>
#include <cstdint>

namespace tessaria {

inline int64_t Round(double value)
{
    // nearbyint follows the current rounding mode, which is round-to-nearest-even
    // unless someone changed it; rint-style behaviour is what we want.
    return static_cast<int64_t>(std::nearbyint(value));
}

inline int64_t Trunc(double value) { return static_cast<int64_t>(std::trunc(value)); }

} // namespace tessaria
