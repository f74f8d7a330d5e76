#include "print/core/contributors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/exceptions.h"
#include "base/rounding.h"

namespace tessaria {

namespace {

// A reduction by more than 512 to 1 makes every round(f(x) s 256) zero, and
// the plain rule would give an empty list (black). Such a list takes the
// weights round(f(x) S) instead, S = 256 halved until the sums of weight x 255
// stay inside 32 bits: the same filter and positions, without the vanishing
// factor s (the pixel rule divides by the weight sum anyway).
constexpr int64_t MaxAbsWeightSum = INT32_MAX / 255;

void AppendFallback(TContributorEntry& entry, TResampleFilter filter, float scale, float center, int64_t first,
                    int64_t last, int sourceSize)
{
    for (float weightScale = 256.0f; weightScale >= 1.0f; weightScale *= 0.5f) {
        entry.Contributors.clear();
        int64_t absSum = 0;
        for (int64_t j = first; j <= last; ++j) {
            const float x = (center - static_cast<float>(j)) * scale;
            const float value = FilterValue(filter, x) * weightScale;
            const int32_t weight = static_cast<int32_t>(Round(value));
            if (weight == 0)
                continue;
            absSum += std::abs(weight);
            entry.Contributors.push_back({weight, ReflectIndex(j, sourceSize)});
        }
        if (absSum <= MaxAbsWeightSum)
            break;
    }
    entry.N = static_cast<int32_t>(entry.Contributors.size());
}

} // namespace

float ResampleScale(int sourceSize, int destSize)
{
    if (sourceSize == 1 || (destSize == 1 && sourceSize > 1))
        return static_cast<float>(destSize) / static_cast<float>(sourceSize);
    return static_cast<float>(destSize - 1) / static_cast<float>(sourceSize - 1);
}

float ResampleCenter(int i, float scale, int sourceSize, int destSize)
{
    if (destSize == 1 && sourceSize > 1)
        return static_cast<float>(sourceSize - 1) * 0.5f;
    return static_cast<float>(i) / scale;
}

int32_t ReflectIndex(int64_t j, int32_t n)
{
    while (j < 0 || j >= n) {
        if (j < 0)
            j = -j;
        else
            j = 2 * int64_t(n) - j - 1;
    }
    return static_cast<int32_t>(j);
}

int32_t ContributorRoom(float radius, float scale)
{
    const float width = scale < 1.0f ? radius / scale : radius;
    const float room = std::trunc(2.0f * width + 1.0f);
    // Far beyond any real picture (the widest is a 65535-pixel line into one
    // pixel); also stops infinite and NaN widths.
    if (!(room < 1e8f))
        throw Exception("Resampling filter too wide");
    return static_cast<int32_t>(room);
}

TContributorEntry BuildContributorEntry(TResampleFilter filter, float radius, float scale, float center,
                                        int sourceSize)
{
    const bool reduction = scale < 1.0f;
    const float width = reduction ? radius / scale : radius;
    TContributorEntry entry;
    entry.Contributors.reserve(static_cast<size_t>(std::max(ContributorRoom(radius, scale), 0)));
    const int64_t first = static_cast<int64_t>(std::floor(center - width));
    const int64_t last = static_cast<int64_t>(std::ceil(center + width));
    for (int64_t j = first; j <= last; ++j) {
        int32_t weight;
        if (reduction) {
            const float x = (center - static_cast<float>(j)) * scale;
            weight = static_cast<int32_t>(Round(FilterValue(filter, x) * scale * 256.0f));
        } else {
            const float x = center - static_cast<float>(j);
            weight = static_cast<int32_t>(Round(FilterValue(filter, x) * 256.0f));
        }
        if (weight == 0)
            continue;
        entry.Contributors.push_back({weight, ReflectIndex(j, sourceSize)});
    }
    entry.N = static_cast<int32_t>(entry.Contributors.size());
    if (entry.N == 0 && reduction)
        AppendFallback(entry, filter, scale, center, first, last, sourceSize);
    return entry;
}

TContributorList BuildContributors(TResampleFilter filter, float radius, int sourceSize, int destSize)
{
    TContributorList list(static_cast<size_t>(std::max(destSize, 0)));
    if (sourceSize <= 0 || destSize <= 0)
        return list;
    const float scale = ResampleScale(sourceSize, destSize);
    for (int i = 0; i < destSize; ++i)
        list[size_t(i)] = BuildContributorEntry(filter, radius, scale,
                                                ResampleCenter(i, scale, sourceSize, destSize), sourceSize);
    return list;
}

TPackedWeights PackContributors(const TContributorList& list, int sourceSize)
{
    TPackedWeights packed;
    packed.Count = static_cast<int>(list.size());
    packed.Start.resize(list.size());
    packed.Length.resize(list.size());
    packed.Offset.resize(list.size());
    packed.Sum.resize(list.size());
    std::vector<int64_t> merged(static_cast<size_t>(std::max(sourceSize, 1)), 0);
    for (size_t i = 0; i < list.size(); ++i) {
        const TContributorEntry& entry = list[i];
        int32_t low = INT32_MAX, high = -1;
        int64_t sum = 0;
        for (int32_t k = 0; k < entry.N; ++k) {
            const TContributor& c = entry.Contributors[size_t(k)];
            merged[size_t(c.Pixel)] += c.Weight;
            sum += c.Weight;
            low = std::min(low, c.Pixel);
            high = std::max(high, c.Pixel);
        }
        // Trim merged zeros at both ends; they add nothing.
        while (low <= high && merged[size_t(low)] == 0)
            ++low;
        while (high >= low && merged[size_t(high)] == 0)
            --high;
        packed.Offset[i] = static_cast<int32_t>(packed.Weights.size());
        if (low > high) {
            packed.Start[i] = 0;
            packed.Length[i] = 0;
        } else {
            packed.Start[i] = low;
            packed.Length[i] = high - low + 1;
            for (int32_t p = low; p <= high; ++p) {
                const int64_t w = merged[size_t(p)];
                if (w < INT16_MIN || w > INT16_MAX)
                    packed.VectorFriendly = false;
                packed.Weights.push_back(static_cast<int32_t>(w));
            }
        }
        for (int32_t k = 0; k < entry.N; ++k)
            merged[size_t(entry.Contributors[size_t(k)].Pixel)] = 0;
        // The plain sums are 32-bit; MaxAbsWeightSum keeps them from wrapping.
        packed.Sum[i] = static_cast<int32_t>(sum);
        // An empty list is black either way; the kernels divide it by 1.
        if ((sum < 1 || sum > 65535) && packed.Length[i] > 0)
            packed.VectorFriendly = false;
        packed.MaxLength = std::max(packed.MaxLength, packed.Length[i]);
    }
    return packed;
}

} // namespace tessaria
