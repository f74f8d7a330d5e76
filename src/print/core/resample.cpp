#include "print/core/resample.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#include "base/exceptions.h"
#include "print/core/contributors.h"
#include "print/core/resample_kernels.h"

namespace tessaria {

namespace {

using resample::TImageRows;
using resample::TOutRows;
using resample::TPairPlan;

std::atomic<int> ThreadSetting{0};
std::atomic<TResampleKernels> KernelSetting{TResampleKernels::Auto};

bool CpuHasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

bool CpuHasAvx512()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vnni") &&
           __builtin_cpu_supports("avx2");
}

// Below this many multiply-adds a pass is not worth a second thread.
constexpr int64_t MinWorkPerThread = 1 << 21;

int ThreadsFor(int64_t work)
{
    const int setting = ThreadSetting.load();
    if (setting >= 1)
        return setting;
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return static_cast<int>(std::clamp<int64_t>(work / MinWorkPerThread, 1, cores));
}

// Runs fn(begin, end) over [0, count) in up to `threads` contiguous parts whose
// borders fall on multiples of granule. Each part writes its own rows only.
template <class Fn>
void Split(int threads, int count, int granule, Fn fn)
{
    const int blocks = (count + granule - 1) / granule;
    threads = std::min(threads, blocks);
    if (threads <= 1) {
        fn(0, count);
        return;
    }
    std::vector<std::exception_ptr> errors(static_cast<size_t>(threads));
    auto part = [&](int t) {
        const int begin = std::min(count, int(int64_t(blocks) * t / threads) * granule);
        const int end = std::min(count, int(int64_t(blocks) * (t + 1) / threads) * granule);
        try {
            fn(begin, end);
        } catch (...) {
            errors[size_t(t)] = std::current_exception();
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(size_t(threads - 1));
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(part, t);
    part(0);
    for (std::thread& thread : pool)
        thread.join();
    for (const std::exception_ptr& error : errors)
        if (error)
            std::rethrow_exception(error);
}

struct TAlignedFree {
    void operator()(uint8_t* p) const { ::operator delete[](p, std::align_val_t(64)); }
};
using TScratch = std::unique_ptr<uint8_t[], TAlignedFree>;

TScratch AllocateScratch(size_t bytes)
{
    return TScratch(static_cast<uint8_t*>(::operator new[](std::max<size_t>(bytes, 64), std::align_val_t(64))));
}

// The pixel rule: integer division by the weight sum, or a shift by 8 when
// that sum is 0; clamped to 0..255.
inline uint8_t PixelValue(int32_t sum, int32_t weightSum)
{
    int64_t value;
    if (weightSum != 0)
        value = sum / weightSum;
    else
        value = static_cast<uint32_t>(sum) >> 8;
    return static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255));
}

// 32-bit sums that wrap instead of overflowing into undefined behaviour; the
// weights are bounded so that they never need to.
inline int32_t MulAdd(int32_t sum, int32_t weight, uint8_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(sum) + static_cast<uint32_t>(weight) * value);
}

void PlainHorizontal(const TPackedWeights& w, const TBitmap& source, TBitmap& work, int rowBegin, int rowEnd)
{
    for (int row = rowBegin; row < rowEnd; ++row) {
        const uint8_t* in = source.ScanLine(row);
        uint8_t* out = work.ScanLine(row);
        for (int i = 0; i < w.Count; ++i) {
            const int32_t* weight = w.Weights.data() + w.Offset[size_t(i)];
            const uint8_t* pixel = in + 3 * size_t(w.Start[size_t(i)]);
            int32_t blue = 0, green = 0, red = 0;
            for (int32_t k = 0; k < w.Length[size_t(i)]; ++k, pixel += 3) {
                blue = MulAdd(blue, weight[k], pixel[0]);
                green = MulAdd(green, weight[k], pixel[1]);
                red = MulAdd(red, weight[k], pixel[2]);
            }
            const int32_t sum = w.Sum[size_t(i)];
            out[3 * i] = PixelValue(blue, sum);
            out[3 * i + 1] = PixelValue(green, sum);
            out[3 * i + 2] = PixelValue(red, sum);
        }
    }
}

// Each destination row is one weighted sum of whole work rows. Byte for byte
// that is the column-by-column sum of the description: every destination
// byte (k, i, channel) gets sum over contributors of weight x work(k, row,
// channel), only with the columns visited in the inner loop.
void PlainVertical(const TPackedWeights& w, const TBitmap& work, TBitmap& destination, int rowBegin, int rowEnd)
{
    const size_t bytes = size_t(destination.Width()) * 3;
    std::vector<int32_t> sums(bytes);
    for (int row = rowBegin; row < rowEnd; ++row) {
        std::fill(sums.begin(), sums.end(), 0);
        const int32_t* weight = w.Weights.data() + w.Offset[size_t(row)];
        for (int32_t k = 0; k < w.Length[size_t(row)]; ++k) {
            const uint8_t* in = work.ScanLine(w.Start[size_t(row)] + k);
            const int32_t wk = weight[k];
            for (size_t x = 0; x < bytes; ++x)
                sums[x] = MulAdd(sums[x], wk, in[x]);
        }
        uint8_t* out = destination.ScanLine(row);
        const int32_t sum = w.Sum[size_t(row)];
        for (size_t x = 0; x < bytes; ++x)
            out[x] = PixelValue(sums[x], sum);
    }
}

// The packed weights regrouped in pairs for the vector kernels. With
// evenStart the first source pixel of each entry is moved down to an even one
// (with a zero weight in front), as the horizontal kernels read pixels in
// aligned pairs.
struct TPairPlanStore {
    std::vector<int32_t> First, Pairs, Offset, Weights, Divisor;
    std::vector<float> Reciprocal;
    TPairPlan Plan;
};

void BuildPairPlan(const TPackedWeights& w, bool evenStart, TPairPlanStore& store)
{
    const size_t n = size_t(w.Count);
    store.First.resize(n);
    store.Pairs.resize(n);
    store.Offset.resize(n);
    store.Divisor.resize(n);
    store.Reciprocal.resize(n);
    store.Weights.clear();
    int maxPairs = 0;
    for (size_t i = 0; i < n; ++i) {
        const int32_t start = w.Start[i], length = w.Length[i];
        const int32_t first = (evenStart && length > 0) ? (start & ~1) : start;
        const int32_t taps = length > 0 ? start + length - first : 0;
        const int32_t pairs = (taps + 1) / 2;
        const int32_t* weight = w.Weights.data() + w.Offset[i];
        auto tap = [&](int32_t p) -> int32_t { return (p >= start && p < start + length) ? weight[p - start] : 0; };
        store.First[i] = first;
        store.Pairs[i] = pairs;
        store.Offset[i] = static_cast<int32_t>(store.Weights.size());
        for (int32_t m = 0; m < pairs; ++m) {
            const uint32_t low = static_cast<uint16_t>(tap(first + 2 * m));
            const uint32_t high = static_cast<uint16_t>(tap(first + 2 * m + 1));
            store.Weights.push_back(static_cast<int32_t>(low | high << 16));
        }
        const int32_t divisor = length > 0 ? w.Sum[i] : 1;
        store.Divisor[i] = divisor;
        store.Reciprocal[i] = 1.0f / static_cast<float>(divisor);
        maxPairs = std::max(maxPairs, pairs);
    }
    store.Plan = {w.Count,
                  store.First.data(),
                  store.Pairs.data(),
                  store.Offset.data(),
                  store.Weights.data(),
                  store.Divisor.data(),
                  store.Reciprocal.data(),
                  maxPairs};
}

int64_t PassWork(const TPackedWeights& w, int lines)
{
    int64_t taps = 0;
    for (int32_t length : w.Length)
        taps += length;
    return taps * 3 * lines;
}

TImageRows Rows(const TBitmap& b) { return {b.Bits(), b.RowBytes(), b.Width(), b.Height()}; }
TOutRows OutRows(TBitmap& b) { return {b.Bits(), b.RowBytes(), b.Width(), b.Height()}; }

void HorizontalPass(TResampleKernels kernels, const TPackedWeights& w, const TBitmap& source, TBitmap& work)
{
    const int rows = source.Height();
    const int threads = ThreadsFor(PassWork(w, rows));
    if (!w.VectorFriendly)
        kernels = TResampleKernels::Plain;
    if (kernels == TResampleKernels::Plain) {
        Split(threads, rows, 1, [&](int begin, int end) { PlainHorizontal(w, source, work, begin, end); });
        return;
    }
    TPairPlanStore store;
    BuildPairPlan(w, true, store);
    const bool wide = kernels == TResampleKernels::Avx512;
    const int block = wide ? resample::HorizontalBlockAvx512 : resample::HorizontalBlockAvx2;
    const size_t scratchBytes = wide ? resample::HorizontalScratchBytesAvx512(source.Width())
                                     : resample::HorizontalScratchBytesAvx2(source.Width());
    Split(threads, rows, block, [&](int begin, int end) {
        TScratch scratch = AllocateScratch(scratchBytes);
        if (wide)
            resample::HorizontalAvx512(store.Plan, Rows(source), OutRows(work), begin, end, scratch.get());
        else
            resample::HorizontalAvx2(store.Plan, Rows(source), OutRows(work), begin, end, scratch.get());
    });
}

void VerticalPass(TResampleKernels kernels, const TPackedWeights& w, const TBitmap& work, TBitmap& destination)
{
    const int rows = destination.Height();
    const int threads = ThreadsFor(PassWork(w, destination.Width()));
    if (!w.VectorFriendly)
        kernels = TResampleKernels::Plain;
    if (kernels == TResampleKernels::Plain) {
        Split(threads, rows, 1, [&](int begin, int end) { PlainVertical(w, work, destination, begin, end); });
        return;
    }
    TPairPlanStore store;
    BuildPairPlan(w, false, store);
    Split(threads, rows, 1, [&](int begin, int end) {
        if (kernels == TResampleKernels::Avx512)
            resample::VerticalAvx512(store.Plan, Rows(work), OutRows(destination), begin, end);
        else
            resample::VerticalAvx2(store.Plan, Rows(work), OutRows(destination), begin, end);
    });
}

float ResolveRadius(TResampleFilter filter, float radius)
{
    if (radius == 0.0f)
        return DefaultRadius(filter);
    if (!(radius > 0.0f) || !std::isfinite(radius))
        throw Exception("Invalid filter radius");
    return radius;
}

} // namespace

void SetResampleThreads(int threads) { ThreadSetting.store(std::max(0, threads)); }
int ResampleThreads() { return ThreadSetting.load(); }

void SetResampleKernels(TResampleKernels kernels) { KernelSetting.store(kernels); }

TResampleKernels ActiveResampleKernels()
{
    static const bool avx2 = CpuHasAvx2();
    static const bool avx512 = CpuHasAvx512();
    TResampleKernels wanted = KernelSetting.load();
    if (wanted == TResampleKernels::Auto)
        wanted = TResampleKernels::Avx512;
    if (wanted == TResampleKernels::Avx512 && !avx512)
        wanted = TResampleKernels::Avx2;
    if (wanted == TResampleKernels::Avx2 && !avx2)
        wanted = TResampleKernels::Plain;
    return wanted;
}

const char* ResampleKernelsName(TResampleKernels kernels)
{
    switch (kernels) {
    case TResampleKernels::Auto: return "auto";
    case TResampleKernels::Plain: return "plain";
    case TResampleKernels::Avx2: return "avx2";
    case TResampleKernels::Avx512: return "avx512";
    }
    return "?";
}

void Resample(TResampleFilter filter, float radius, const TBitmap& source, TBitmap& destination)
{
    if (source.PixelFormat() != TPixelFormat::pf24bit || destination.PixelFormat() != TPixelFormat::pf24bit)
        throw Exception("Resampling needs 24-bit bitmaps");
    if (!(radius > 0.0f) || !std::isfinite(radius))
        throw Exception("Invalid filter radius");
    const int dw = destination.Width(), dh = destination.Height();
    const int sw = source.Width(), sh = source.Height();
    if (dw == 0 || dh == 0)
        return;
    if (sw == 0 || sh == 0) {
        // Nothing to sample: black, as an empty contributor list gives.
        std::memset(destination.Bits(), 0, destination.RowBytes() * size_t(dh));
        return;
    }
    const TResampleKernels kernels = ActiveResampleKernels();

    TBitmap work;
    work.SetPixelFormat(TPixelFormat::pf24bit);
    work.SetSize(dw, sh);
    {
        const TPackedWeights horizontal = PackContributors(BuildContributors(filter, radius, sw, dw), sw);
        HorizontalPass(kernels, horizontal, source, work);
    }
    const TPackedWeights vertical = PackContributors(BuildContributors(filter, radius, sh, dh), sh);
    VerticalPass(kernels, vertical, work, destination);
}

void Stretch(int newWidth, int newHeight, int filterIndex, TBitmap& bitmap, float radius)
{
    const TResampleFilter filter = FilterFromIndex(filterIndex);
    radius = ResolveRadius(filter, radius);
    TBitmap result;
    result.SetPixelFormat(TPixelFormat::pf24bit);
    result.SetSize(newWidth, newHeight);
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    Resample(filter, radius, bitmap, result);
    static_cast<TBitmap&>(bitmap) = std::move(result);
}

void StretchInto(int newWidth, int newHeight, int filterIndex, float radius, TBitmap& source, TBitmap& target)
{
    if (&source == &target) {
        // Emptying the target first would empty the source too.
        Stretch(newWidth, newHeight, filterIndex, source, radius);
        return;
    }
    const TResampleFilter filter = FilterFromIndex(filterIndex);
    radius = ResolveRadius(filter, radius);
    target.Clear();
    target.SetPixelFormat(TPixelFormat::pf24bit);
    target.SetSize(newWidth, newHeight);
    source.SetPixelFormat(TPixelFormat::pf24bit);
    Resample(filter, radius, source, target);
}

} // namespace tessaria
