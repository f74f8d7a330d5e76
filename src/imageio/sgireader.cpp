// Parser of untrusted data: SGI image files. Only the row tables of the
// channels shown are read; row offsets are checked against the file and a
// run-length row never reads more bytes than a real row of its width can
// take, so a table pointing every row at the whole file cannot stall. The
// picture must be one the data after the header can fill.
#include "imageio/sgireader.h"

#include <algorithm>
#include <cstring>

#include "base/checked.h"
#include "base/exceptions.h"
#include "imageio/limits.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

const char* const NotValid = "Not a valid sgi, bw or rgb(a) image.";
constexpr uint64_t HeaderSize = 512;

// Plain read of up to `count` bytes at `offset`; what the file lacks stays 0.
// Returns the bytes read.
size_t ReadAt(TStream& stream, uint64_t offset, uint8_t* dest, size_t count)
{
    if (count == 0)
        return 0;
    std::memset(dest, 0, count);
    if (offset >= stream.Size())
        return 0;
    stream.Seek(offset);
    return stream.Read(dest, size_t(std::min<uint64_t>(count, stream.Size() - offset)));
}

} // namespace

bool TSGIGraphic::ReadChannelRow(unsigned c, unsigned y)
{
    const size_t index = size_t(c) * YSize_ + y;
    if (RunLength_) {
        // The longest honest row: every sample a run of one, and the end.
        const uint64_t longest = (2 * uint64_t(XSize_) + 2) * BytesPerSample_;
        const size_t size = size_t(std::min<uint64_t>(RowSize_[index], longest));
        Packed_.resize(size);
        const size_t got = ReadAt(*Stream_, CheckedAdd(BasePosition_, RowStart_[index]), Packed_.data(), size);
        std::memset(Scratch_.data(), 0, Scratch_.size());
        TPackedSource source(Packed_.data(), got);
        return Decoder_.Decode(source, got, Scratch_) > 0;
    }
    const size_t rowBytes = size_t(XSize_) * BytesPerSample_;
    Packed_.resize(rowBytes);
    const size_t got = ReadAt(*Stream_, BasePosition_ + HeaderSize + uint64_t(index) * rowBytes, Packed_.data(), rowBytes);
    if (got == 0)
        return false;
    // A row cut short ends in black, not in what the row before left here.
    std::memset(Packed_.data() + got, 0, rowBytes - got);
    for (size_t x = 0; x < XSize_; ++x)
        Scratch_[x] = Packed_[x * BytesPerSample_]; // 2-byte samples keep their first byte
    return got > 0;
}

void TSGIGraphic::LoadFromStream(TStream& stream)
{
    Clear();
    Stream_ = &stream;
    BasePosition_ = stream.Position();
    uint8_t h[HeaderSize] = {};
    stream.Read(h, sizeof h);
    if (GetBE16(h) != 474)
        throw Exception(NotValid);
    RunLength_ = h[2] == 1;
    BytesPerSample_ = h[3];
    XSize_ = GetBE16(h + 6);
    YSize_ = GetBE16(h + 8);
    const unsigned zsize = GetBE16(h + 10);
    if ((BytesPerSample_ != 1 && BytesPerSample_ != 2) || zsize == 0)
        throw Exception(NotValid);

    const unsigned channels = zsize == 3 ? 3 : zsize == 4 ? 4 : 1;
    SetPixelFormat(channels == 3 ? TPixelFormat::pf24bit : channels == 4 ? TPixelFormat::pf32bit : TPixelFormat::pf8bit);
    if (channels == 1) {
        TPalette palette(256);
        for (unsigned i = 0; i < 256; ++i)
            palette[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
        SetPalette(std::move(palette));
    }
    CheckPictureSize(XSize_, YSize_);
    if (RunLength_) {
        // Entry c x ysize + y; the channels shown come first in both tables.
        const size_t entries = size_t(channels) * YSize_;
        std::vector<uint8_t> bytes(entries * 4);
        RowStart_.resize(entries);
        RowSize_.resize(entries);
        ReadAt(stream, BasePosition_ + HeaderSize, bytes.data(), bytes.size());
        for (size_t i = 0; i < entries; ++i)
            RowStart_[i] = GetBE32(bytes.data() + 4 * i);
        ReadAt(stream, BasePosition_ + HeaderSize + uint64_t(YSize_) * zsize * 4, bytes.data(), bytes.size());
        for (size_t i = 0; i < entries; ++i)
            RowSize_[i] = GetBE32(bytes.data() + 4 * i);
        Decoder_.SampleSize = BytesPerSample_;
    }
    const uint64_t tables = RunLength_ ? uint64_t(8) * YSize_ * zsize : 0;
    const uint64_t headers = HeaderSize + tables;
    const uint64_t size = stream.Size() - BasePosition_;
    const uint64_t samples = uint64_t(channels) * XSize_ * YSize_;
    if (RunLength_)
        CheckDataSupply("SGI", XSize_, YSize_, samples, size > headers ? size - headers : 0, Expansion::RunLength);
    else
        CheckDataSupply("SGI", XSize_, YSize_, samples * BytesPerSample_, size > headers ? size - headers : 0,
                        Expansion::Raw);
    SetSize(int(XSize_), int(YSize_));
    if (Empty())
        return;
    Scratch_.assign(XSize_, 0);

    for (unsigned y = 0; y < YSize_; ++y) {
        uint8_t* row = ScanLine(int(YSize_ - 1 - y)); // stored from the bottom
        // A row the file holds nothing of is left as it is.
        if (channels == 1) {
            if (ReadChannelRow(0, y))
                std::memcpy(row, Scratch_.data(), XSize_);
            continue;
        }
        for (unsigned c = 0; c < channels; ++c) {
            if (!ReadChannelRow(c, y))
                continue;
            // Red, green, blue into blue, green, red; alpha stays fourth.
            const unsigned at = c < 3 ? 2 - c : 3;
            for (unsigned x = 0; x < XSize_; ++x)
                row[size_t(x) * channels + at] = Scratch_[x];
        }
    }
}

} // namespace tessaria
