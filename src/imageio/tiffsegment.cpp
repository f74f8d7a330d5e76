// Parser of untrusted data: the strips and tiles of TIFF files, decoded a
// piece at a time. Raw reads stay inside the segment's bytes, decoders
// never write past the piece asked for, zlib and libjpeg report damage as
// exceptions, and a JPEG stream must fit the segment it stands for.
#include "imageio/tiffsegment.h"

#include <algorithm>
#include <cstring>

#include <zlib.h>

#include "base/exceptions.h"
#include "base/format.h"
#include "imageio/decoders.h"
#include "imageio/jpeglimits.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

class TRawSegment final : public TSegmentData {
public:
    TRawSegment(TStream& stream, uint64_t position, uint64_t length, bool reverseBits)
        : Stream_(stream), Position_(position), Left_(length), Reverse_(reverseBits)
    {
    }

    size_t Read(uint8_t* out, size_t n) override
    {
        n = size_t(std::min<uint64_t>(n, Left_));
        if (n == 0)
            return 0;
        // Other segments (the planes of a planar picture) read in between.
        Stream_.Seek(Position_);
        const size_t got = Stream_.Read(out, n);
        Position_ += got;
        Left_ = got < n ? 0 : Left_ - got;
        if (Reverse_)
            ReverseBitOrder(out, got);
        return got;
    }

private:
    TStream& Stream_;
    uint64_t Position_, Left_;
    bool Reverse_;
};

class TDecodedSegment final : public TSegmentData {
public:
    TDecodedSegment(std::vector<uint8_t> packed, std::unique_ptr<TStreamDecoder> decoder)
        : Packed_(std::move(packed)), Source_(Packed_.data(), Packed_.size()), Decoder_(std::move(decoder))
    {
        Decoder_->Restart();
    }

    size_t Read(uint8_t* out, size_t n) override
    {
        return Decoder_->DecodeMore(Source_, Source_.Left(), std::span<uint8_t>(out, n));
    }

private:
    std::vector<uint8_t> Packed_;
    TPackedSource Source_;
    std::unique_ptr<TStreamDecoder> Decoder_;
};

class TDeflateSegment final : public TSegmentData {
public:
    explicit TDeflateSegment(std::vector<uint8_t> packed) : Packed_(std::move(packed))
    {
        std::memset(&Z_, 0, sizeof Z_);
        if (inflateInit(&Z_) != Z_OK)
            throw Exception("Out of memory");
        Z_.next_in = Packed_.data();
        Z_.avail_in = uInt(std::min<size_t>(Packed_.size(), 0xFFFFFFFFu));
    }
    ~TDeflateSegment() override { inflateEnd(&Z_); }
    TDeflateSegment(const TDeflateSegment&) = delete;
    TDeflateSegment& operator=(const TDeflateSegment&) = delete;

    size_t Read(uint8_t* out, size_t n) override
    {
        size_t done = 0;
        while (done < n && !Ended_) {
            Z_.next_out = out + done;
            Z_.avail_out = uInt(std::min<size_t>(n - done, 1u << 30));
            const uInt before = Z_.avail_out;
            const int result = inflate(&Z_, Z_NO_FLUSH);
            done += before - Z_.avail_out;
            if (result == Z_STREAM_END || result == Z_BUF_ERROR)
                Ended_ = true; // the end, or data cut short: no progress is possible
            else if (result != Z_OK)
                throw Exception("TIFF: damaged Deflate data");
        }
        return done;
    }

private:
    std::vector<uint8_t> Packed_;
    z_stream Z_;
    bool Ended_ = false;
};

const char* const JPEGMismatch = "TIFF: JPEG data does not match the image";

// The library's state, destroyed also when the segment's constructor fails.
struct TJPEGState {
    jpeg_decompress_struct Info;
    TJPEGErrors Errors;
    bool Created = false;
    TJPEGState() { std::memset(&Info, 0, sizeof Info); }
    ~TJPEGState()
    {
        if (Created)
            jpeg_destroy_decompress(&Info);
    }
    TJPEGState(const TJPEGState&) = delete;
    TJPEGState& operator=(const TJPEGState&) = delete;
};

class TJPEGSegment final : public TSegmentData {
public:
    TJPEGSegment(std::vector<uint8_t> packed, const std::vector<uint8_t>& tables, TTIFFJPEGColour colour,
                 uint32_t width, uint32_t height, unsigned samples)
        : Packed_(std::move(packed)), Colour_(colour), Width_(width), Height_(height), Samples_(samples)
    {
        UseJPEGErrors(J_.Info, J_.Errors);
        if (!Create())
            Raise();
        J_.Created = true;
        LimitJPEGDecoder(J_.Info, J_.Errors);
        if (!ReadHeaders(tables))
            Raise();
        const jpeg_decompress_struct& info = J_.Info;
        if (unsigned(info.num_components) != Samples_ || info.image_width > Width_ || info.image_height > Height_)
            throw Exception(JPEGMismatch);
        CheckJPEGData(info, "TIFF");
        if (!Start())
            Raise();
        Line_.resize(size_t(info.output_width) * unsigned(info.output_components));
    }

    size_t Read(uint8_t* out, size_t n) override
    {
        const size_t lineBytes = size_t(Width_) * Samples_;
        size_t done = 0;
        while (done < n) {
            if (Pos_ == Out_.size()) {
                if (Lines_ == Height_ || J_.Info.output_scanline >= J_.Info.output_height)
                    break;
                if (!NextLine())
                    Raise();
                // The stream may be narrower than the segment (a short last
                // tile): the rest of the line stays black.
                Out_.assign(lineBytes, 0);
                std::memcpy(Out_.data(), Line_.data(), std::min(lineBytes, Line_.size()));
                if (Inverted_)
                    for (uint8_t& v : Out_)
                        v = uint8_t(255 - v);
                Pos_ = 0;
                ++Lines_;
            }
            const size_t k = std::min(n - done, Out_.size() - Pos_);
            std::memcpy(out + done, Out_.data() + Pos_, k);
            Pos_ += k;
            done += k;
        }
        return done;
    }

private:
    [[noreturn]] void Raise()
    {
        if (J_.Errors.TooManyScans)
            throw Exception("TIFF: too many JPEG scans");
        throw Exception(Format("TIFF: JPEG error #%d", J_.Errors.Code));
    }

    // The functions that arm setjmp hold nothing with a destructor, so the
    // library's jump back skips no C++ clean-up.
    bool Create()
    {
        if (setjmp(J_.Errors.Jump))
            return false;
        jpeg_create_decompress(&J_.Info);
        return true;
    }

    bool ReadHeaders(const std::vector<uint8_t>& tables)
    {
        if (setjmp(J_.Errors.Jump))
            return false;
        if (!tables.empty()) {
            jpeg_mem_src(&J_.Info, tables.data(), (unsigned long)tables.size());
            jpeg_read_header(&J_.Info, FALSE);
        }
        jpeg_mem_src(&J_.Info, Packed_.data(), (unsigned long)Packed_.size());
        jpeg_read_header(&J_.Info, TRUE);
        return true;
    }

    bool Start()
    {
        if (setjmp(J_.Errors.Jump))
            return false;
        switch (Colour_) {
        case TTIFFJPEGColour::Grey:
            J_.Info.out_color_space = JCS_GRAYSCALE;
            break;
        case TTIFFJPEGColour::RGB:
            J_.Info.jpeg_color_space = JCS_RGB;
            J_.Info.out_color_space = JCS_RGB;
            break;
        case TTIFFJPEGColour::YCbCrToRGB:
            J_.Info.jpeg_color_space = JCS_YCbCr;
            J_.Info.out_color_space = JCS_RGB;
            break;
        case TTIFFJPEGColour::CMYK:
            J_.Info.out_color_space = JCS_CMYK;
            // Photoshop's inverted ink, as for whole JPEG files.
            Inverted_ = J_.Info.saw_Adobe_marker;
            break;
        }
        jpeg_start_decompress(&J_.Info);
        return true;
    }

    bool NextLine()
    {
        if (setjmp(J_.Errors.Jump))
            return false;
        JSAMPROW row = Line_.data();
        jpeg_read_scanlines(&J_.Info, &row, 1);
        return true;
    }

    TJPEGState J_;
    std::vector<uint8_t> Packed_;
    TTIFFJPEGColour Colour_;
    uint32_t Width_, Height_;
    unsigned Samples_;
    bool Inverted_ = false;
    std::vector<uint8_t> Line_, Out_;
    size_t Pos_ = 0;
    uint32_t Lines_ = 0;
};

} // namespace

void ReverseBitOrder(uint8_t* p, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        uint8_t b = p[i];
        b = uint8_t((b & 0xF0) >> 4 | (b & 0x0F) << 4);
        b = uint8_t((b & 0xCC) >> 2 | (b & 0x33) << 2);
        p[i] = uint8_t((b & 0xAA) >> 1 | (b & 0x55) << 1);
    }
}

std::unique_ptr<TSegmentData> RawSegment(TStream& stream, uint64_t position, uint64_t length, bool reverseBits)
{
    return std::make_unique<TRawSegment>(stream, position, length, reverseBits);
}

std::unique_ptr<TSegmentData> DecodedSegment(std::vector<uint8_t> packed, std::unique_ptr<TStreamDecoder> decoder)
{
    return std::make_unique<TDecodedSegment>(std::move(packed), std::move(decoder));
}

std::unique_ptr<TSegmentData> DeflateSegment(std::vector<uint8_t> packed)
{
    return std::make_unique<TDeflateSegment>(std::move(packed));
}

std::unique_ptr<TSegmentData> JPEGSegment(std::vector<uint8_t> packed, const std::vector<uint8_t>& tables,
                                          TTIFFJPEGColour colour, uint32_t width, uint32_t height, unsigned samples)
{
    return std::make_unique<TJPEGSegment>(std::move(packed), tables, colour, width, height, samples);
}

} // namespace tessaria
