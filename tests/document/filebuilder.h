#pragma once
// Documents built byte by byte, as the older program and ours lay them out,
// without going through the writer under test.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaria::test {

class TFileBuilder {
public:
    TFileBuilder& Int32(int32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            Bytes.push_back(uint8_t(uint32_t(value) >> shift));
        return *this;
    }
    TFileBuilder& Raw(std::string_view bytes)
    {
        Bytes.insert(Bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    // Length-prefixed, no terminator.
    TFileBuilder& Text(std::string_view bytes) { return Int32(int32_t(bytes.size())).Raw(bytes); }
    TFileBuilder& Pad(uint8_t fill = 0)
    {
        Bytes.insert(Bytes.end(), 1024, fill);
        return *this;
    }
    // Generation 1: right-aligned in `width` characters, spaces on the left.
    TFileBuilder& Field(long value, size_t width)
    {
        std::string digits = std::to_string(value);
        if (digits.size() < width)
            digits.insert(0, width - digits.size(), ' ');
        return Raw(digits);
    }

    std::vector<uint8_t> Bytes;
};

// A binary box record of generation 2 or 3 with the given values.
struct TRawBox {
    int32_t Left, Top, Width, Height, Rotation, CanvasPPI;
    std::string FontName;
    int32_t FontSize, FontColor, AlignmentCode, Tag, Kind;
    std::string String;
};

inline void AddBox(TFileBuilder& file, int generation, const TRawBox& b)
{
    file.Int32(b.Left).Int32(b.Top).Int32(b.Width).Int32(b.Height).Int32(b.Rotation).Int32(b.CanvasPPI);
    file.Text(b.FontName).Int32(b.FontSize).Int32(b.FontColor).Int32(b.AlignmentCode);
    if (generation == 3)
        file.Int32(b.Tag);
    file.Int32(b.Kind).Text(b.String).Pad();
}

} // namespace tessaria::test
