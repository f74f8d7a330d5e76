#pragma once
// The passes of the resampler, as the kernels see them: raw rows and weight
// plans, no containers, so that the vector kernels can be compiled for their
// instruction set alone.

#include <cstddef>
#include <cstdint>

namespace tessaria::resample {

// Weights of one pass grouped in pairs of neighbouring source pixels (or
// rows), as the 16-bit multiply-add instructions take them: one 32-bit word
// per pair, the first weight in the low half.
struct TPairPlan {
    int Count = 0;                   // destination pixels (pass 1) or rows (pass 2)
    const int32_t* First = nullptr;  // first source pixel (pass 1: even) or row of each entry
    const int32_t* Pairs = nullptr;  // number of pairs of each entry
    const int32_t* Offset = nullptr; // where the entry's pairs begin in Weights
    const int32_t* Weights = nullptr;
    const int32_t* Divisor = nullptr;     // weight sum, 1 for an empty entry
    const float* Reciprocal = nullptr;    // 1 / Divisor in single precision
    int MaxPairs = 0;
};

struct TImageRows {
    const uint8_t* Bits;
    size_t Stride;
    int Width;  // pixels
    int Height; // rows
};

struct TOutRows {
    uint8_t* Bits;
    size_t Stride;
    int Width;
    int Height;
};

// Pass 1: source rows [rowBegin, rowEnd) into the same rows of the work bitmap.
// Scratch: HorizontalScratchBytes(...) bytes, 64-byte aligned.
size_t HorizontalScratchBytesAvx2(int sourceWidth);
void HorizontalAvx2(const TPairPlan& plan, TImageRows source, TOutRows work, int rowBegin, int rowEnd,
                    uint8_t* scratch);
size_t HorizontalScratchBytesAvx512(int sourceWidth);
void HorizontalAvx512(const TPairPlan& plan, TImageRows source, TOutRows work, int rowBegin, int rowEnd,
                      uint8_t* scratch);

// Pass 2: destination rows [rowBegin, rowEnd) from the work bitmap.
void VerticalAvx2(const TPairPlan& plan, TImageRows work, TOutRows destination, int rowBegin, int rowEnd);
void VerticalAvx512(const TPairPlan& plan, TImageRows work, TOutRows destination, int rowBegin, int rowEnd);

// Rows the horizontal kernels take at a time (thread splits stay on multiples).
constexpr int HorizontalBlockAvx2 = 8;
constexpr int HorizontalBlockAvx512 = 16;

} // namespace tessaria::resample
