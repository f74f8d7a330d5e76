#pragma once
// The run-length and LZW decoders the readers share. A decoder reads packed
// bytes through a TPackedSource, which cannot be moved past the end of its
// buffer, and writes into a span, never past its end: a run or string that
// would pass it is cut there. Decoders work on untrusted data.

#include <cstddef>
#include <cstdint>
#include <span>

namespace tessaria {

// A read position inside a buffer of packed bytes.
class TPackedSource {
public:
    TPackedSource(const uint8_t* data, size_t size) : Start_(data), Pos_(data), End_(data + size) {}
    explicit TPackedSource(std::span<const uint8_t> bytes) : TPackedSource(bytes.data(), bytes.size()) {}

    size_t Left() const { return size_t(End_ - Pos_); }
    size_t Offset() const { return size_t(Pos_ - Start_); }
    const uint8_t* Position() const { return Pos_; }
    // Moves by n bytes, or to the end if fewer are left.
    void Skip(size_t n) { Pos_ += n < Left() ? n : Left(); }

private:
    friend class TDecoder;
    const uint8_t* Start_;
    const uint8_t* Pos_;
    const uint8_t* End_;
};

class TDecoder {
public:
    virtual ~TDecoder() = default;

    // Decodes at most packedSize bytes from the source's position (fewer when
    // the source holds fewer) into dest, whose size is the unpacked size, and
    // moves the source past the bytes it used. Returns the bytes written.
    virtual size_t Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) = 0;
    // Nothing in the program writes pictures.
    virtual void Encode(TPackedSource&, size_t, std::span<uint8_t>) {}

protected:
    // The packed bytes a Decode call may use: [begin, end).
    struct TInput {
        const uint8_t* Pos;
        const uint8_t* End;
        size_t Left() const { return size_t(End - Pos); }
    };
    static TInput Take(const TPackedSource& source, size_t packedSize)
    {
        const size_t n = packedSize < source.Left() ? packedSize : source.Left();
        return {source.Pos_, source.Pos_ + n};
    }
    static void Advance(TPackedSource& source, const uint8_t* to) { source.Pos_ = to; }
};

// A decoder of one stream that may be decoded in pieces: each DecodeMore
// stops when dest is full, and a run or string cut there goes on in the next
// call, so that a reader can decode a strip or an image row by row as its
// data arrives instead of into one buffer of the whole picture. Decode is
// Restart and one DecodeMore.
class TStreamDecoder : public TDecoder {
public:
    // Forgets the stream decoded so far.
    virtual void Restart() = 0;
    // Goes on with the stream: decodes from the source's position, using at
    // most packedSize bytes, until dest is full or the input is used up.
    // Returns the bytes written.
    virtual size_t DecodeMore(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) = 0;
    size_t Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) override
    {
        Restart();
        return DecodeMore(source, packedSize, dest);
    }
};

// LZW tables shared by the TIFF and GIF variants.
class TLZWDecoder : public TStreamDecoder {
public:
    void Restart() override;

protected:
    static constexpr unsigned TableSize = 4096;
    static constexpr unsigned NoCode = 4096;

    void ResetTable(unsigned codeSize, unsigned firstFree);
    // Writes the string of `code` (code < NextFree_, or == NextFree_ for the
    // previous string plus its first character) to out, up to outEnd; what
    // does not fit stays on the stack for the next call.
    void EmitString(unsigned code, uint8_t*& out, uint8_t* outEnd);
    // Writes what an earlier call left on the stack.
    void Flush(uint8_t*& out, uint8_t* outEnd);

    unsigned CodeSize_ = 0;
    unsigned CodeLimit_ = 0;
    unsigned NextFree_ = 0;
    unsigned PrevCode_ = NoCode;
    uint32_t Prefix_[TableSize] = {};
    uint8_t Suffix_[TableSize] = {};
    uint8_t Stack_[TableSize] = {};
    unsigned StackTop_ = 0;
    uint8_t FirstChar_ = 0;
    uint16_t ClearCode_ = 0;
    uint16_t EndCode_ = 0;
    // Where the stream stands between calls: the bits read but not yet
    // used, and whether it began and ended.
    uint32_t Acc_ = 0;
    unsigned Bits_ = 0;
    bool Started_ = false;
    bool Ended_ = false;
};

// TIFF compression 5: codes most significant bit first, the code size grows
// one code early. Raises "TIF LZW: invalid opcode.".
class TTIFFLZW final : public TLZWDecoder {
public:
    size_t DecodeMore(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) override;
};

// GIF: codes least significant bit first, from the reader's minimum code size
// (2 to 8; others raise "GIF: invalid LZW code size"). Raises
// "GIF LZW: invalid opcode.".
class TGIFLZW final : public TLZWDecoder {
public:
    uint8_t InitialCodeSize = 8; // the file's minimum code size
    size_t DecodeMore(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) override;
};

// TIFF compression 32773 and PSD compression 1. Decode uses the whole packed
// size, also what no longer fits; DecodeMore stops when dest is full.
class TPackbitsRLE final : public TStreamDecoder {
public:
    size_t Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) override;
    void Restart() override { Literal_ = Run_ = 0; }
    size_t DecodeMore(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) override;

private:
    size_t Literal_ = 0; // bytes of a literal still to copy
    size_t Run_ = 0;     // bytes of a run still to write
    uint8_t RunValue_ = 0;
};

// PCX encoding 1. Stops when dest is full.
class TPCXRLE final : public TStreamDecoder {
public:
    void Restart() override { Run_ = 0; }
    size_t DecodeMore(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) override;

private:
    size_t Run_ = 0; // bytes of a run still to write
    uint8_t RunValue_ = 0;
};

// One row of one SGI channel; 2-byte samples give their more significant
// byte. Stops at a count of 0.
class TSGIRLE final : public TDecoder {
public:
    unsigned SampleSize = 1; // 1 or 2, set by the reader
    size_t Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) override;
};

// One CUT row: its 2-byte length, then runs up to a 0. Leaves the source
// after the row, so one call per row walks the image.
class TCUTRLE final : public TDecoder {
public:
    size_t Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) override;
};

// One RLA channel row. Uses the whole packed size.
class TRLADecoder final : public TDecoder {
public:
    size_t Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) override;
};

} // namespace tessaria
