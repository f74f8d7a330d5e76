#pragma once
// Byte swapping and the colour conversions readers use to turn a decoded row
// into bitmap pixels (blue, green, red order). Counts are samples unless said
// otherwise; 16-bit samples are in the machine's order (readers of big-endian
// data swap them first) and count by their more significant byte. Converters
// take 8 or 16 bits per sample (the L*a*b* ones 8 only) and write nothing for
// any other value. A destination must hold the pixels the count gives.

#include <cstddef>
#include <cstdint>

namespace tessaria {

void SwapShorts(void* array, size_t count);
void SwapLongs(void* array, size_t count);
uint32_t SwapLong(uint32_t value);

// dest[i] = high byte of 16-bit sample i.
void Convert16To8(const void* source, uint8_t* dest, size_t count);

// count div 3 pixels R,G,B to B,G,R.
void ConvertRGB(const void* source, uint8_t* dest, unsigned bitsPerSample, size_t count);
// count div 4 pixels R,G,B,A to B,G,R,A.
void ConvertRGBA(const void* source, uint8_t* dest, unsigned bitsPerSample, size_t count);
// count div 3 pixels from three planes of count div 3 samples each.
void ConvertRGBPlanar(const void* red, const void* green, const void* blue, size_t count,
                      unsigned bitsPerSample, uint8_t* dest);
// count div 4 pixels C,M,Y,K to B,G,R.
void ConvertCMYK(const void* source, uint8_t* dest, unsigned bitsPerSample, size_t count);
void ConvertCMYKPlanar(const void* cyan, const void* magenta, const void* yellow, const void* black,
                       size_t count, unsigned bitsPerSample, uint8_t* dest);
// count div 3 pixels L*,a*,b* (8 bits: L unsigned, a and b signed) to B,G,R.
void ConvertLab(const uint8_t* source, uint8_t* dest, size_t count);
void ConvertLabPlanar(const uint8_t* l, const uint8_t* a, const uint8_t* b, size_t count, uint8_t* dest);

// Undoes horizontal differencing in place: count is width - 1, bytesPerPixel
// 1, 3 or 4.
void UndoPredictor(uint8_t* row, size_t count, unsigned bytesPerPixel);

} // namespace tessaria
