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

// LZW tables shared by the TIFF and GIF variants.
class TLZWDecoder : public TDecoder {
protected:
    static constexpr unsigned TableSize = 4096;
    static constexpr unsigned NoCode = 4096;

    void ResetTable(unsigned codeSize, unsigned firstFree);
    // Writes the string of `code` (code < NextFree_, or == NextFree_ for the
    // previous string plus its first character) to out, cut at outEnd.
    void EmitString(unsigned code, uint8_t*& out, uint8_t* outEnd);
    void AddEntry(unsigned freeze);

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
};

// TIFF compression 5: codes most significant bit first, the code size grows
// one code early. Raises "TIF LZW: invalid opcode.".
class TTIFFLZW final : public TLZWDecoder {
public:
    size_t Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) override;
};

// GIF: codes least significant bit first, from the reader's minimum code size
// (2 to 8; others raise "GIF: invalid LZW code size"). Raises
// "GIF LZW: invalid opcode.".
class TGIFLZW final : public TLZWDecoder {
public:
    uint8_t InitialCodeSize = 8; // the file's minimum code size
    size_t Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) override;
};

// TIFF compression 32773 and PSD compression 1. Uses the whole packed size.
class TPackbitsRLE final : public TDecoder {
public:
    size_t Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) override;
};

// PCX encoding 1. Stops when dest is full.
class TPCXRLE final : public TDecoder {
public:
    size_t Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest) override;
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
