#pragma once
// The decoded bytes of one TIFF strip or tile, read in order and in pieces as
// the reader needs them, so that a strip or tile is never held whole: raw
// bytes, LZW, PackBits, Deflate (zlib) and JPEG.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tessaria {

class TStream;
class TStreamDecoder;

class TSegmentData {
public:
    virtual ~TSegmentData() = default;
    // Up to n decoded bytes into out, going on where the last call ended;
    // fewer only where the data ends.
    virtual size_t Read(uint8_t* out, size_t n) = 0;
};

// Each byte's bits in the opposite order (fill order 2).
void ReverseBitOrder(uint8_t* bytes, size_t count);

// `length` raw bytes at `position` of the stream; with reverseBits each
// byte's bits in the opposite order (fill order 2).
std::unique_ptr<TSegmentData> RawSegment(TStream& stream, uint64_t position, uint64_t length, bool reverseBits);

// Packed bytes through a run-length or LZW decoder, bits already in order.
std::unique_ptr<TSegmentData> DecodedSegment(std::vector<uint8_t> packed, std::unique_ptr<TStreamDecoder> decoder);

// A zlib stream (compression 8 and 32946). Damaged data raises
// "TIFF: damaged Deflate data".
std::unique_ptr<TSegmentData> DeflateSegment(std::vector<uint8_t> packed);

// How the samples of a JPEG-compressed segment are to come out.
enum class TTIFFJPEGColour { Grey, RGB, YCbCrToRGB, CMYK };

// A JPEG stream (compression 7) with the file's shared tables (JPEGTables,
// may be empty) read first. It gives lines of `width` x `samples` bytes, at
// most `height` of them. A stream larger than width x height, with other
// components than `samples`, or whose header claims more than its data can
// hold raises "TIFF: JPEG data does not match the image" or the supply
// check's message; the library's errors raise "TIFF: JPEG error #%d".
std::unique_ptr<TSegmentData> JPEGSegment(std::vector<uint8_t> packed, const std::vector<uint8_t>& tables,
                                          TTIFFJPEGColour colour, uint32_t width, uint32_t height, unsigned samples);

} // namespace tessaria
