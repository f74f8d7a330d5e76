#include "reference_resample.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>

using namespace tessaria;

namespace reference {

namespace {

struct Contributor {
    int32_t weight;
    int32_t pixel;
};

struct Entry {
    int32_t n = 0;
    std::vector<Contributor> list;
};

int32_t Reflect(int64_t j, int32_t n)
{
    for (;;) {
        if (j < 0)
            j = -j;
        else if (j >= n)
            j = 2 * int64_t(n) - j - 1;
        else
            return int32_t(j);
    }
}

Entry MakeEntry(TResampleFilter filter, float radius, float s, float center, int n)
{
    Entry e;
    const float width = s < 1.0f ? radius / s : radius;
    e.list.reserve(size_t(std::trunc(2.0f * width + 1.0f)));
    const int64_t from = int64_t(std::floor(center - width));
    const int64_t to = int64_t(std::ceil(center + width));
    for (int64_t j = from; j <= to; ++j) {
        float value;
        if (s < 1.0f)
            value = FilterValue(filter, (center - float(j)) * s) * s * 256.0f;
        else
            value = FilterValue(filter, center - float(j)) * 256.0f;
        const int32_t weight = int32_t(std::nearbyint(value));
        if (weight != 0)
            e.list.push_back({weight, Reflect(j, n)});
    }
    // Vanished weights of a huge reduction: the filter without the factor s,
    // on a scale halved until the sums fit 32 bits.
    if (e.list.empty() && s < 1.0f) {
        for (float scale = 256.0f; scale >= 1.0f; scale /= 2.0f) {
            e.list.clear();
            int64_t total = 0;
            for (int64_t j = from; j <= to; ++j) {
                const int32_t weight = int32_t(std::nearbyint(FilterValue(filter, (center - float(j)) * s) * scale));
                if (weight != 0) {
                    e.list.push_back({weight, Reflect(j, n)});
                    total += std::abs(weight);
                }
            }
            if (total * 255 <= INT32_MAX)
                break;
        }
    }
    e.n = int32_t(e.list.size());
    return e;
}

std::vector<Entry> MakeList(TResampleFilter filter, float radius, int sourceSize, int destSize)
{
    float s;
    if (sourceSize == 1 || destSize == 1)
        s = float(destSize) / float(sourceSize);
    else
        s = float(destSize - 1) / float(sourceSize - 1);
    std::vector<Entry> list;
    for (int i = 0; i < destSize; ++i) {
        const float center = (destSize == 1 && sourceSize > 1) ? float(sourceSize - 1) * 0.5f : float(i) / s;
        list.push_back(MakeEntry(filter, radius, s, center, sourceSize));
    }
    return list;
}

uint8_t Channel(int64_t sum, int64_t weightSum)
{
    if (sum < INT32_MIN || sum > INT32_MAX)
        throw std::logic_error("32-bit sum overflowed");
    int64_t v = weightSum != 0 ? int64_t(int32_t(sum) / int32_t(weightSum)) : int64_t(uint32_t(int32_t(sum)) >> 8);
    if (v < 0)
        v = 0;
    if (v > 255)
        v = 255;
    return uint8_t(v);
}

// One pixel from three channel arrays: bgr of the result.
void Pixel(const Entry& e, const std::vector<int32_t>& red, const std::vector<int32_t>& green,
           const std::vector<int32_t>& blue, uint8_t* bgr)
{
    int64_t r = 0, g = 0, b = 0, w = 0;
    for (int32_t k = 0; k < e.n; ++k) {
        const Contributor& c = e.list[size_t(k)];
        r += int64_t(c.weight) * red[size_t(c.pixel)];
        g += int64_t(c.weight) * green[size_t(c.pixel)];
        b += int64_t(c.weight) * blue[size_t(c.pixel)];
        w += c.weight;
    }
    bgr[0] = Channel(b, w);
    bgr[1] = Channel(g, w);
    bgr[2] = Channel(r, w);
}

} // namespace

void Resample(TResampleFilter filter, float radius, const TBitmap& source, TBitmap& destination)
{
    const int sw = source.Width(), sh = source.Height();
    const int dw = destination.Width(), dh = destination.Height();
    if (dw == 0 || dh == 0)
        return;
    TBitmap work;
    work.SetSize(dw, sh);

    std::vector<Entry> list = MakeList(filter, radius, sw, dw);
    std::vector<int32_t> red(static_cast<size_t>(sw)), green(static_cast<size_t>(sw)), blue(static_cast<size_t>(sw));
    for (int k = 0; k < sh; ++k) {
        const uint8_t* row = source.ScanLine(k);
        for (int x = 0; x < sw; ++x) {
            red[size_t(x)] = row[3 * x + 2];
            green[size_t(x)] = row[3 * x + 1];
            blue[size_t(x)] = row[3 * x];
        }
        for (int i = 0; i < dw; ++i)
            Pixel(list[size_t(i)], red, green, blue, work.ScanLine(k) + 3 * i);
    }

    list = MakeList(filter, radius, sh, dh);
    red.assign(size_t(sh), 0);
    green.assign(size_t(sh), 0);
    blue.assign(size_t(sh), 0);
    for (int k = 0; k < dw; ++k) {
        for (int y = 0; y < sh; ++y) {
            const uint8_t* p = work.ScanLine(y) + 3 * k;
            red[size_t(y)] = p[2];
            green[size_t(y)] = p[1];
            blue[size_t(y)] = p[0];
        }
        for (int i = 0; i < dh; ++i)
            Pixel(list[size_t(i)], red, green, blue, destination.ScanLine(i) + 3 * k);
    }
}

} // namespace reference
