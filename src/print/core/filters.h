#pragma once
// The seven resampling filters, in the order of their index. The index is also
// the item index of the filter list in the layout options, which shows
// FilterName(index).

#include <array>

namespace tessaria {

enum class TResampleFilter : int {
    Box = 0,
    Triangle = 1,
    Hermite = 2,
    Bell = 3,
    Spline = 4,
    Lanczos3 = 5,
    Mitchell = 6,
};

constexpr int FilterCount = 7;

struct TFilterInfo {
    const char* Name;
    float DefaultRadius; // support radius used when the caller passes 0
};

inline constexpr std::array<TFilterInfo, FilterCount> Filters = {{
    {"Box", 0.5f},
    {"Triangle", 1.0f},
    {"Hermite", 1.0f},
    {"Bell", 1.5f},
    {"Spline", 2.0f},
    {"Lanczos3", 3.0f},
    {"Mitchell", 2.0f},
}};

// Raises Exception for an index outside 0..6.
TResampleFilter FilterFromIndex(int index);
const char* FilterName(TResampleFilter filter);
float DefaultRadius(TResampleFilter filter);

// f(x) of the filter, in single precision (see filters.cpp for exactly where
// rounding happens: the weights, and so every output byte, depend on it).
float FilterValue(TResampleFilter filter, float x);

} // namespace tessaria
