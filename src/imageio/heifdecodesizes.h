#pragma once
// The picture sizes decoding a HEIF or AVIF file makes room for, read from
// where libheif and its codecs read them: the HEVC sequence parameter sets
// and AV1 sequence headers in the item properties and the coded items' data,
// and the canvases of grid and overlay items. The file's stated size does
// not bind them, and they are allocated before libheif compares the two.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tessaria {

struct TCodedSize {
    uint64_t Width = 0;
    uint64_t Height = 0;
    bool operator==(const TCodedSize&) const = default;
};

// Every size found; none when the file names no coded stream. No value
// when the file holds more coded units or extents than any picture would (a
// hostile file that would take long to walk).
std::optional<std::vector<TCodedSize>> HEIFDecodeSizes(const uint8_t* data, size_t size);

// The sizes from one HEVC sequence parameter set NAL unit (with its two-byte
// header) and one AV1 sequence header OBU payload; none when they end early.
std::optional<TCodedSize> HEVCSequenceSize(const uint8_t* nal, size_t size);
std::optional<TCodedSize> AV1SequenceSize(const uint8_t* payload, size_t size);

} // namespace tessaria
