// The resampler's passes for processors with AVX-512 (F, BW, VL, VNNI), chosen at run
// time. The same layout as the AVX2 kernels with twice the rows per vector;
// see resample_avx2.cpp for the reasoning.

#include <immintrin.h>

#include <cstring>

#include "print/core/resample_kernels.h"

// Only the functions marked KERNEL are compiled for these instruction sets: a
// target attribute on each, which GCC and clang both honour.
#define KERNEL __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512vnni")))

#if defined(__GNUC__) && !defined(__clang__)
// GCC 12 warns about the deliberately undefined vectors inside its own
// AVX-512 intrinsics.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace tessaria::resample {

namespace {

constexpr int Rows = HorizontalBlockAvx512;
constexpr size_t PairBytes = Rows * 12;
constexpr int Chunk = 128;
constexpr int StripPairs = 128; // source pairs laid out at a time, unless one pixel needs more

inline int PairCount(int width) { return (width + 1) / 2; }
inline int Min(int a, int b) { return a < b ? a : b; }
inline int Max(int a, int b) { return a > b ? a : b; }

// trunc(n / d) clamped to 0..255 for d in 1..65535; see the AVX2 version.
KERNEL inline __m512i Divide(__m512i sum, __m512i d, __m512i limit, __m512 reciprocal)
{
    const __m512i zero = _mm512_setzero_si512();
    const __m512i one = _mm512_set1_epi32(1);
    const __m512i n = _mm512_min_epi32(_mm512_max_epi32(sum, zero), limit);
    __m512i q = _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_cvtepi32_ps(n), reciprocal));
    const __m512i r = _mm512_sub_epi32(n, _mm512_mullo_epi32(q, d));
    q = _mm512_mask_add_epi32(q, _mm512_cmpge_epi32_mask(r, d), q, one);
    q = _mm512_mask_sub_epi32(q, _mm512_cmplt_epi32_mask(r, zero), q, one);
    return _mm512_min_epi32(q, _mm512_set1_epi32(255));
}

// Lays out pairs [pairBegin, pairEnd) of the rows at q.
KERNEL void BuildPairs(const uint8_t* const* in, int width, int pairBegin, int pairEnd, uint8_t* q)
{
    const int pairs = pairEnd;
    const size_t rowData = 3 * size_t(width);
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
            _mm_mask_storeu_epi8(out, 0x0FFF, words);
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

size_t HorizontalScratchBytesAvx512(int sourceWidth)
{
    return size_t(PairCount(sourceWidth)) * PairBytes + 64 + size_t(Chunk) * 48 + 64;
}

KERNEL void HorizontalAvx512(const TPairPlan& plan, TImageRows source, TOutRows work, int rowBegin, int rowEnd,
                      uint8_t* scratch)
{
    uint8_t* q = scratch;
    uint8_t* gathered = scratch + size_t(PairCount(source.Width)) * PairBytes + 64;
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
                __m512i a0 = _mm512_setzero_si512(), a1 = a0, a2 = a0;
                for (int32_t m = 0; m < plan.Pairs[i]; ++m, p += PairBytes) {
                    const __m512i pair = _mm512_set1_epi32(w[m]);
                    a0 = _mm512_dpwssd_epi32(a0, _mm512_load_si512(p), pair);
                    a1 = _mm512_dpwssd_epi32(a1, _mm512_load_si512(p + 64), pair);
                    a2 = _mm512_dpwssd_epi32(a2, _mm512_load_si512(p + 128), pair);
                }
                const __m512i d = _mm512_set1_epi32(plan.Divisor[i]);
                const __m512i limit = _mm512_set1_epi32(plan.Divisor[i] * 256);
                const __m512 reciprocal = _mm512_set1_ps(plan.Reciprocal[i]);
                uint8_t* out = gathered + 48 * size_t(il);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm512_cvtepi32_epi8(Divide(a0, d, limit, reciprocal)));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm512_cvtepi32_epi8(Divide(a1, d, limit, reciprocal)));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32), _mm512_cvtepi32_epi8(Divide(a2, d, limit, reciprocal)));
            }
            for (int r = 0; r < rows; ++r) {
                uint8_t* out = work.Bits + size_t(k0 + r) * work.Stride + 3 * size_t(i0);
                const uint8_t* from = gathered + 3 * r;
                for (int il = 0; il + 1 < n; ++il)
                    std::memcpy(out + 3 * il, from + 48 * il, 4);
                std::memcpy(out + 3 * (n - 1), from + 48 * (n - 1), 3);
            }
        }
    }
}

KERNEL void VerticalAvx512(const TPairPlan& plan, TImageRows work, TOutRows destination, int rowBegin, int rowEnd)
{
    const size_t bytes = 3 * size_t(destination.Width);
    const __m512i zero = _mm512_setzero_si512();
    for (int row = rowBegin; row < rowEnd; ++row) {
        const int32_t pairs = plan.Pairs[row];
        const int32_t first = plan.First[row];
        const int32_t* w = plan.Weights + plan.Offset[row];
        uint8_t* out = destination.Bits + size_t(row) * destination.Stride;
        const __m512i d = _mm512_set1_epi32(plan.Divisor[row]);
        const __m512i limit = _mm512_set1_epi32(plan.Divisor[row] * 256);
        const __m512 reciprocal = _mm512_set1_ps(plan.Reciprocal[row]);
        for (size_t x = 0; x < bytes; x += 64) {
            // Masked loads and stores for the last, partial vector: masked-off
            // bytes are neither read nor written.
            const size_t left = bytes - x;
            const __mmask64 mask = left >= 64 ? ~__mmask64(0) : (__mmask64(1) << left) - 1;
            __m512i a0 = zero, a1 = zero, a2 = zero, a3 = zero;
            for (int32_t m = 0; m < pairs; ++m) {
                const __m512i pair = _mm512_set1_epi32(w[m]);
                const uint8_t* ra = work.Bits + size_t(first + 2 * m) * work.Stride + x;
                const uint8_t* rb = work.Bits + size_t(Min(first + 2 * m + 1, work.Height - 1)) * work.Stride + x;
                const __m512i va = _mm512_maskz_loadu_epi8(mask, ra);
                const __m512i vb = _mm512_maskz_loadu_epi8(mask, rb);
                const __m512i low = _mm512_unpacklo_epi8(va, vb);
                const __m512i high = _mm512_unpackhi_epi8(va, vb);
                a0 = _mm512_dpwssd_epi32(a0, _mm512_unpacklo_epi8(low, zero), pair);
                a1 = _mm512_dpwssd_epi32(a1, _mm512_unpackhi_epi8(low, zero), pair);
                a2 = _mm512_dpwssd_epi32(a2, _mm512_unpacklo_epi8(high, zero), pair);
                a3 = _mm512_dpwssd_epi32(a3, _mm512_unpackhi_epi8(high, zero), pair);
            }
            a0 = Divide(a0, d, limit, reciprocal);
            a1 = Divide(a1, d, limit, reciprocal);
            a2 = Divide(a2, d, limit, reciprocal);
            a3 = Divide(a3, d, limit, reciprocal);
            const __m512i result = _mm512_packus_epi16(_mm512_packus_epi32(a0, a1), _mm512_packus_epi32(a2, a3));
            _mm512_mask_storeu_epi8(out + x, mask, result);
        }
    }
}

} // namespace tessaria::resample

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
