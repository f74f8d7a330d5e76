#include "print/core/filters.h"

#include <cmath>

#include "base/exceptions.h"

namespace tessaria {

// How the filters are evaluated. Output bytes depend on the weights, and a
// weight is round(f(x) * s * 256), so a difference of one unit in the last
// place of f can move a weight across a half and change a pixel. The rules:
//
// - x and every intermediate value are IEEE single precision, each operation
//   rounded to nearest-even (SSE arithmetic; no fused multiply-add, which
//   this library's build disables with -ffp-contract=off).
// - A power is formed first (t2 = t * t, t3 = t2 * t), a coefficient then
//   multiplies the power, and the terms are combined left to right as the
//   formula is written.
// - 2/3, 16/3, -7/3 and 32/3 are extended-precision (80-bit long double)
//   constants. An operation with one of them is carried out in extended
//   precision, and so is the rest of the expression after it (the usual
//   arithmetic conversions); the result is rounded once to single precision
//   when the filter returns. Terms that do not involve those constants are
//   still formed in single precision before they join the sum.
// - sinc(v) = sin(pi v) / (pi v): pi v is a single product with pi rounded to
//   single; its sine is the correctly rounded single-precision sine (taken in
//   double and rounded, which does not depend on the libm's sinf); the
//   quotient is single.
namespace {

constexpr long double TwoThirds = 2.0L / 3.0L;
constexpr long double SixteenThirds = 16.0L / 3.0L;
constexpr long double MinusSevenThirds = -7.0L / 3.0L;
constexpr long double ThirtyTwoThirds = 32.0L / 3.0L;
constexpr float PiSingle = 3.14159265358979323846f;

float Sinc(float v)
{
    if (v == 0.0f)
        return 1.0f;
    const float a = PiSingle * v;
    const float sine = static_cast<float>(std::sin(static_cast<double>(a)));
    return sine / a;
}

float Box(float x)
{
    // x itself, not |x|: the interval is open on the left and closed on the right.
    return (x > -0.5f && x <= 0.5f) ? 1.0f : 0.0f;
}

float Triangle(float x)
{
    const float t = std::fabs(x);
    return t < 1.0f ? 1.0f - t : 0.0f;
}

float Hermite(float x)
{
    const float t = std::fabs(x);
    if (t < 1.0f) {
        const float t2 = t * t;
        return (2.0f * t - 3.0f) * t2 + 1.0f;
    }
    return 0.0f;
}

float Bell(float x)
{
    const float t = std::fabs(x);
    if (t < 0.5f)
        return 0.75f - t * t;
    if (t < 1.5f) {
        const float u = t - 1.5f;
        return 0.5f * (u * u);
    }
    return 0.0f;
}

float Spline(float x)
{
    const float t = std::fabs(x);
    if (t < 1.0f) {
        const float t2 = t * t;
        const float t3 = t2 * t;
        const float head = 0.5f * t3 - t2;
        return static_cast<float>(head + TwoThirds);
    }
    if (t < 2.0f) {
        const float u = 2.0f - t;
        const float u3 = (u * u) * u;
        return u3 / 6.0f;
    }
    return 0.0f;
}

float Lanczos3(float x)
{
    const float t = std::fabs(x);
    if (t < 3.0f)
        return Sinc(x) * Sinc(x / 3.0f);
    return 0.0f;
}

float Mitchell(float x)
{
    const float t = std::fabs(x);
    if (t < 1.0f) {
        const float t2 = t * t;
        const float t3 = t2 * t;
        const float head = 7.0f * t3 - 12.0f * t2;
        return static_cast<float>((head + SixteenThirds) / 6.0L);
    }
    if (t < 2.0f) {
        const float t2 = t * t;
        const float t3 = t2 * t;
        const long double sum = MinusSevenThirds * t3 + 12.0f * t2 - 20.0f * t + ThirtyTwoThirds;
        return static_cast<float>(sum / 6.0L);
    }
    return 0.0f;
}

} // namespace

TResampleFilter FilterFromIndex(int index)
{
    if (index < 0 || index >= FilterCount)
        throw Exception("Invalid filter index");
    return static_cast<TResampleFilter>(index);
}

const char* FilterName(TResampleFilter filter) { return Filters[static_cast<int>(filter)].Name; }

float DefaultRadius(TResampleFilter filter) { return Filters[static_cast<int>(filter)].DefaultRadius; }

float FilterValue(TResampleFilter filter, float x)
{
    switch (filter) {
    case TResampleFilter::Box: return Box(x);
    case TResampleFilter::Triangle: return Triangle(x);
    case TResampleFilter::Hermite: return Hermite(x);
    case TResampleFilter::Bell: return Bell(x);
    case TResampleFilter::Spline: return Spline(x);
    case TResampleFilter::Lanczos3: return Lanczos3(x);
    case TResampleFilter::Mitchell: return Mitchell(x);
    }
    return 0.0f;
}

} // namespace tessaria
