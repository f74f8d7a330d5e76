// The resampler's passes for processors with AVX2, chosen at run time. Only
// the functions below are compiled for AVX2; nothing here instantiates a
// template that other files could share.

#include <immintrin.h>

#include <cstring>

#include "print/core/resample_kernels.h"

// Only the functions marked KERNEL are compiled for AVX2: a target attribute
// on each, which GCC and clang both honour (clang ignores GCC's pragma).
#define KERNEL __attribute__((target("avx2")))

namespace tessaria::resample {

namespace {

// Pass 1 takes 8 source rows at a time. For each pair of neighbouring source
// pixels it lays out the 8 rows x 3 channels as 16-bit pairs (pixel x,
// pixel x + 1) in 96 bytes, so that one destination pixel of all 8 rows is a
// run of multiply-adds with the broadcast weight pair of each source pair
// over three vectors: no shuffles in the inner loop, 24 sums at a time.
constexpr int Rows = HorizontalBlockAvx2;
constexpr size_t PairBytes = Rows * 12;
constexpr int Chunk = 128;
constexpr int StripPairs = 128; // source pairs laid out at a time, unless one pixel needs more

inline int PairCount(int width) { return (width + 1) / 2; }
inline int Min(int a, int b) { return a < b ? a : b; }
inline int Max(int a, int b) { return a > b ? a : b; }

// Exact trunc(n / d) clamped to 0..255 for d in 1..65535: n is first clamped to
// 0..256 d (the clamp makes everything outside give 0 or 255 anyway), which
// keeps it exact in single precision; the float quotient is then off by at most
// one, and the remainder puts it right.
KERNEL inline __m256i Divide(__m256i sum, __m256i d, __m256i dMinus1, __m256i limit, __m256 reciprocal)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i n = _mm256_min_epi32(_mm256_max_epi32(sum, zero), limit);
    __m256i q = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(n), reciprocal));
    const __m256i r = _mm256_sub_epi32(n, _mm256_mullo_epi32(q, d));
    q = _mm256_sub_epi32(q, _mm256_cmpgt_epi32(r, dMinus1));
    q = _mm256_add_epi32(q, _mm256_cmpgt_epi32(zero, r));
    return _mm256_min_epi32(q, _mm256_set1_epi32(255));
}

inline uint8_t ScalarPixel(int32_t sum, int32_t d)
{
    if (sum <= 0)
        return 0;
    const int32_t q = sum / d;
    return static_cast<uint8_t>(q > 255 ? 255 : q);
}

// Lays out pairs [pairBegin, pairEnd) of the rows at q.
KERNEL void BuildPairs(const uint8_t* const* in, int width, int pairBegin, int pairEnd, uint8_t* q)
{
    const int pairs = pairEnd;
    const size_t rowData = 3 * size_t(width);
    // An 8-byte load reads two pixels and two bytes more; stop where that
    // would leave the row.
    int fast = rowData >= 8 ? int((rowData - 8) / 6 + 1) : 0;
    fast = Min(fast, pairs);
    const __m128i shuffle = _mm_setr_epi8(0, -1, 3, -1, 1, -1, 4, -1, 2, -1, 5, -1, -1, -1, -1, -1);
    // Row by row, so that each source row is read front to back.
    for (int r = 0; r < Rows; ++r) {
        const uint8_t* row = in[r];
        uint8_t* out = q + 12 * r;
        for (int xp = pairBegin; xp < fast; ++xp, out += PairBytes) {
            // Strips read each row in short runs, which the hardware
            // prefetcher does not follow; ask for the next strip's bytes.
            if ((xp & 7) == 0)
                _mm_prefetch(reinterpret_cast<const char*>(row + 6 * size_t(xp + StripPairs)), _MM_HINT_T0);
            const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + 6 * size_t(xp)));
            const __m128i words = _mm_shuffle_epi8(v, shuffle);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), words);
            _mm_storeu_si32(out + 8, _mm_srli_si128(words, 8));
        }
    }
    for (int xp = fast > pairBegin ? fast : pairBegin; xp < pairs; ++xp) {
        uint8_t* out = q + size_t(xp - pairBegin) * PairBytes;
        for (int r = 0; r < Rows; ++r) {
            uint16_t words[6];
            const int x = 2 * xp;
            for (int c = 0; c < 3; ++c) {
                words[2 * c] = in[r][3 * size_t(x) + c];
                words[2 * c + 1] = x + 1 < width ? in[r][3 * size_t(x + 1) + c] : 0;
            }
            std::memcpy(out + 12 * r, words, 12);
        }
    }
}

} // namespace

size_t HorizontalScratchBytesAvx2(int sourceWidth)
{
    return size_t(PairCount(sourceWidth)) * PairBytes + 64 + size_t(Chunk) * 24 + 64;
}

KERNEL void HorizontalAvx2(const TPairPlan& plan, TImageRows source, TOutRows work, int rowBegin, int rowEnd,
                    uint8_t* scratch)
{
    uint8_t* q = scratch;
    uint8_t* gathered = scratch + size_t(PairCount(source.Width)) * PairBytes + 64;
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    for (int k0 = rowBegin; k0 < rowEnd; k0 += Rows) {
        const int rows = Min(Rows, rowEnd - k0);
        const uint8_t* in[Rows];
        for (int r = 0; r < Rows; ++r)
            in[r] = source.Bits + size_t(k0 + Min(r, rows - 1)) * source.Stride;
        // Destination pixels in strips whose source pairs stay few enough for
        // their layout to sit in the first-level cache.
        for (int i0 = 0, n = 0; i0 < plan.Count; i0 += n) {
            // Empty entries read nothing and do not widen the strip.
            int low = 1 << 30, high = 0;
            for (n = 0; n < Chunk && i0 + n < plan.Count; ++n) {
                const int pairs = plan.Pairs[i0 + n];
                if (pairs == 0)
                    continue;
                const int first = plan.First[i0 + n] / 2;
                const int newLow = Min(low, first), newHigh = Max(high, first + pairs);
                if (n > 0 && newHigh - newLow > StripPairs)
                    break;
                low = newLow;
                high = newHigh;
            }
            if (low > high)
                low = high = 0;
            BuildPairs(in, source.Width, low, high, q);
            for (int il = 0; il < n; ++il) {
                const int i = i0 + il;
                const uint8_t* p = q + size_t(plan.First[i] / 2 - low) * PairBytes;
                const int32_t* w = plan.Weights + plan.Offset[i];
                __m256i a0 = _mm256_setzero_si256(), a1 = a0, a2 = a0;
                for (int32_t m = 0; m < plan.Pairs[i]; ++m, p += PairBytes) {
                    const __m256i pair = _mm256_set1_epi32(w[m]);
                    a0 = _mm256_add_epi32(a0, _mm256_madd_epi16(_mm256_load_si256(reinterpret_cast<const __m256i*>(p)), pair));
                    a1 = _mm256_add_epi32(a1, _mm256_madd_epi16(_mm256_load_si256(reinterpret_cast<const __m256i*>(p + 32)), pair));
                    a2 = _mm256_add_epi32(a2, _mm256_madd_epi16(_mm256_load_si256(reinterpret_cast<const __m256i*>(p + 64)), pair));
                }
                const __m256i d = _mm256_set1_epi32(plan.Divisor[i]);
                const __m256i dMinus1 = _mm256_set1_epi32(plan.Divisor[i] - 1);
                const __m256i limit = _mm256_set1_epi32(plan.Divisor[i] * 256);
                const __m256 reciprocal = _mm256_set1_ps(plan.Reciprocal[i]);
                a0 = Divide(a0, d, dMinus1, limit, reciprocal);
                a1 = Divide(a1, d, dMinus1, limit, reciprocal);
                a2 = Divide(a2, d, dMinus1, limit, reciprocal);
                const __m256i words01 = _mm256_packus_epi32(a0, a1);
                const __m256i words2 = _mm256_packus_epi32(a2, _mm256_setzero_si256());
                const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(words01, words2), order);
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(gathered + 24 * size_t(il)), bytes);
            }
            for (int r = 0; r < rows; ++r) {
                uint8_t* out = work.Bits + size_t(k0 + r) * work.Stride + 3 * size_t(i0);
                const uint8_t* from = gathered + 3 * r;
                // Four-byte copies, each overwritten by the next; the last one
                // exact so as not to touch the next pixel or row.
                for (int il = 0; il + 1 < n; ++il)
                    std::memcpy(out + 3 * il, from + 24 * il, 4);
                std::memcpy(out + 3 * (n - 1), from + 24 * (n - 1), 3);
            }
        }
    }
}

KERNEL void VerticalAvx2(const TPairPlan& plan, TImageRows work, TOutRows destination, int rowBegin, int rowEnd)
{
    const size_t bytes = 3 * size_t(destination.Width);
    const size_t vectorEnd = bytes - bytes % 32;
    const __m256i zero = _mm256_setzero_si256();
    for (int row = rowBegin; row < rowEnd; ++row) {
        const int32_t pairs = plan.Pairs[row];
        const int32_t first = plan.First[row];
        const int32_t* w = plan.Weights + plan.Offset[row];
        uint8_t* out = destination.Bits + size_t(row) * destination.Stride;
        const int32_t divisor = plan.Divisor[row];
        const __m256i d = _mm256_set1_epi32(divisor);
        const __m256i dMinus1 = _mm256_set1_epi32(divisor - 1);
        const __m256i limit = _mm256_set1_epi32(divisor * 256);
        const __m256 reciprocal = _mm256_set1_ps(plan.Reciprocal[row]);
        auto rowA = [&](int32_t m) { return work.Bits + size_t(first + 2 * m) * work.Stride; };
        // A lone last row pairs with itself under a zero weight.
        auto rowB = [&](int32_t m) {
            return work.Bits + size_t(Min(first + 2 * m + 1, work.Height - 1)) * work.Stride;
        };
        for (size_t x = 0; x < vectorEnd; x += 32) {
            __m256i a0 = zero, a1 = zero, a2 = zero, a3 = zero;
            for (int32_t m = 0; m < pairs; ++m) {
                const __m256i pair = _mm256_set1_epi32(w[m]);
                const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rowA(m) + x));
                const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rowB(m) + x));
                const __m256i low = _mm256_unpacklo_epi8(va, vb);
                const __m256i high = _mm256_unpackhi_epi8(va, vb);
                a0 = _mm256_add_epi32(a0, _mm256_madd_epi16(_mm256_unpacklo_epi8(low, zero), pair));
                a1 = _mm256_add_epi32(a1, _mm256_madd_epi16(_mm256_unpackhi_epi8(low, zero), pair));
                a2 = _mm256_add_epi32(a2, _mm256_madd_epi16(_mm256_unpacklo_epi8(high, zero), pair));
                a3 = _mm256_add_epi32(a3, _mm256_madd_epi16(_mm256_unpackhi_epi8(high, zero), pair));
            }
            a0 = Divide(a0, d, dMinus1, limit, reciprocal);
            a1 = Divide(a1, d, dMinus1, limit, reciprocal);
            a2 = Divide(a2, d, dMinus1, limit, reciprocal);
            a3 = Divide(a3, d, dMinus1, limit, reciprocal);
            // The unpacks worked within 128-bit lanes; the packs undo them lane
            // by lane, so the bytes come out in order.
            const __m256i bytes32 = _mm256_packus_epi16(_mm256_packus_epi32(a0, a1), _mm256_packus_epi32(a2, a3));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), bytes32);
        }
        for (size_t x = vectorEnd; x < bytes; ++x) {
            int32_t sum = 0;
            for (int32_t m = 0; m < pairs; ++m) {
                const int32_t wa = static_cast<int16_t>(w[m] & 0xFFFF);
                const int32_t wb = static_cast<int16_t>(static_cast<uint32_t>(w[m]) >> 16);
                sum += wa * rowA(m)[x] + wb * rowB(m)[x];
            }
            out[x] = ScalarPixel(sum, divisor);
        }
    }
}

} // namespace tessaria::resample
