#pragma once
// Contributor lists: for every destination pixel of a row (or column), the
// source pixels that make it and their integer weights.

#include <cstdint>
#include <vector>

#include "print/core/filters.h"

namespace tessaria {

struct TContributor {
    int32_t Weight; // filter value scaled by 256 and rounded, halves to even
    int32_t Pixel;  // source index, already reflected into the picture
};

using TContributors = std::vector<TContributor>;

struct TContributorEntry {
    int32_t N = 0; // contributors in use
    TContributors Contributors;
};

using TContributorList = std::vector<TContributorEntry>;

// The scale of one direction: (dw - 1) / (sw - 1), dw / sw for a source of one
// pixel, and dw / sw as well for a destination of one pixel from a longer
// source, where the first rule would give 0 and an infinite filter width.
float ResampleScale(int sourceSize, int destSize);

// Where destination pixel i sits in source coordinates: i / scale, except
// that a single destination pixel from a longer source sits at the source's
// middle, so that it sums the whole line rather than its first half.
float ResampleCenter(int i, float scale, int sourceSize, int destSize);

// Source index j folded into 0..n-1: -j below 0, 2n - j - 1 from n on,
// repeated while a small source leaves it outside (a 1- or 2-pixel source
// with a wide filter would otherwise be read out of bounds).
int32_t ReflectIndex(int64_t j, int32_t n);

// Room made for the list of one destination pixel: trunc(2 width + 1), width
// being radius / scale for a reduction and radius otherwise.
int32_t ContributorRoom(float radius, float scale);

// The list of one destination pixel. Room for trunc(2 width + 1) contributors
// is made; a list that needs more grows instead of being written past it.
TContributorEntry BuildContributorEntry(TResampleFilter filter, float radius, float scale, float center,
                                        int sourceSize);

// One entry per destination pixel of a line of destSize pixels.
TContributorList BuildContributors(TResampleFilter filter, float radius, int sourceSize, int destSize);

// The same lists in the form the passes use: the weights of each entry merged
// per source pixel (an index met twice through the reflection gets the sum
// of its weights) over one window of consecutive source pixels. Every output
// is the same sum of products as from the plain list, only added in another
// order: integer addition, so the result cannot differ.
struct TPackedWeights {
    int Count = 0;                // destination pixels
    std::vector<int32_t> Start;   // first source pixel of each window
    std::vector<int32_t> Length;  // window length, 0 for an empty list
    std::vector<int32_t> Offset;  // where the window's weights begin in Weights
    std::vector<int32_t> Weights; // merged weights, Length per entry
    std::vector<int32_t> Sum;     // sum of the weights of the entry
    int MaxLength = 0;
    // Every sum of a non-empty entry is in 1..65535 and every merged weight
    // fits 16 bits: the vector kernels apply; otherwise the scalar one does
    // the whole pass.
    bool VectorFriendly = true;
};

TPackedWeights PackContributors(const TContributorList& list, int sourceSize);

} // namespace tessaria
