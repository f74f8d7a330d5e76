// Parser of untrusted data: the LZW decoders of TIFF and GIF.
#include "base/exceptions.h"
#include "imageio/decoders.h"

namespace tessaria {

void TLZWDecoder::ResetTable(unsigned codeSize, unsigned firstFree)
{
    CodeSize_ = codeSize;
    CodeLimit_ = (1u << codeSize) - 1;
    NextFree_ = firstFree;
    PrevCode_ = NoCode;
    for (unsigned i = 0; i < ClearCode_; ++i) {
        Prefix_[i] = NoCode;
        Suffix_[i] = uint8_t(i);
    }
}

void TLZWDecoder::EmitString(unsigned code, uint8_t*& out, uint8_t* outEnd)
{
    StackTop_ = 0;
    unsigned c = code;
    if (code == NextFree_) {
        // The code being defined right now: the previous string and its own
        // first character.
        Stack_[StackTop_++] = FirstChar_;
        c = PrevCode_;
    }
    // Every entry's prefix is a smaller code, so the walk ends at a root; the
    // stack bound only guards against a table that is not what it should be.
    while (c >= ClearCode_) {
        if (StackTop_ >= TableSize - 1 || c >= TableSize)
            throw Exception("LZW: corrupt string table");
        Stack_[StackTop_++] = Suffix_[c];
        c = Prefix_[c];
    }
    Stack_[StackTop_++] = uint8_t(c);
    FirstChar_ = uint8_t(c);
    while (StackTop_ && out < outEnd)
        *out++ = Stack_[--StackTop_];
    StackTop_ = 0;
}

size_t TTIFFLZW::Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest)
{
    const TInput in = Take(source, packedSize);
    ClearCode_ = 256;
    EndCode_ = 257;
    ResetTable(9, 258);

    const uint8_t* p = in.Pos;
    uint8_t* out = dest.data();
    uint8_t* const outEnd = out + dest.size();
    uint32_t acc = 0;
    unsigned bits = 0;
    while (out < outEnd) {
        while (bits < CodeSize_ && p < in.End) {
            acc = acc << 8 | *p++;
            bits += 8;
        }
        if (bits < CodeSize_)
            break;
        bits -= CodeSize_;
        const unsigned code = (acc >> bits) & ((1u << CodeSize_) - 1);
        if (code == EndCode_)
            break;
        if (code == ClearCode_) {
            ResetTable(9, 258);
            continue;
        }
        if (code > NextFree_)
            throw Exception("TIF LZW: invalid opcode.");
        if (PrevCode_ == NoCode) {
            if (code >= ClearCode_) // no string yet to build it from
                throw Exception("TIF LZW: invalid opcode.");
            *out++ = uint8_t(code);
            FirstChar_ = uint8_t(code);
            PrevCode_ = code;
            continue;
        }
        EmitString(code, out, outEnd);
        // A full table stays as it is until the next clear code.
        if (NextFree_ < TableSize) {
            Prefix_[NextFree_] = PrevCode_;
            Suffix_[NextFree_] = FirstChar_;
            ++NextFree_;
            if (NextFree_ == CodeLimit_ && CodeSize_ < 12) {
                ++CodeSize_;
                CodeLimit_ = (1u << CodeSize_) - 1;
            }
        }
        PrevCode_ = code;
    }
    Advance(source, p);
    return size_t(out - dest.data());
}

size_t TGIFLZW::Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest)
{
    if (InitialCodeSize < 2 || InitialCodeSize > 8)
        throw Exception("GIF: invalid LZW code size");
    const TInput in = Take(source, packedSize);
    const unsigned minSize = InitialCodeSize;
    ClearCode_ = uint16_t(1u << minSize);
    EndCode_ = uint16_t(ClearCode_ + 1);
    ResetTable(minSize + 1, ClearCode_ + 2u);

    const uint8_t* p = in.Pos;
    uint8_t* out = dest.data();
    uint8_t* const outEnd = out + dest.size();
    uint32_t acc = 0;
    unsigned bits = 0;
    while (out < outEnd) {
        while (bits < CodeSize_ && p < in.End) {
            acc |= uint32_t(*p++) << bits;
            bits += 8;
        }
        if (bits < CodeSize_)
            break;
        const unsigned code = acc & ((1u << CodeSize_) - 1);
        acc >>= CodeSize_;
        bits -= CodeSize_;
        if (code == EndCode_)
            break;
        if (code == ClearCode_) {
            ResetTable(minSize + 1, ClearCode_ + 2u);
            continue;
        }
        if (code > NextFree_)
            throw Exception("GIF LZW: invalid opcode.");
        if (PrevCode_ == NoCode) {
            if (code >= ClearCode_)
                throw Exception("GIF LZW: invalid opcode.");
            *out++ = uint8_t(code);
            FirstChar_ = uint8_t(code);
            PrevCode_ = code;
            continue;
        }
        EmitString(code, out, outEnd);
        // Once code 4095 is defined the table is frozen: encoders that defer
        // the clear code go on sending 12-bit codes that add nothing.
        if (NextFree_ < TableSize) {
            Prefix_[NextFree_] = PrevCode_;
            Suffix_[NextFree_] = FirstChar_;
            if (NextFree_ == CodeLimit_ && CodeSize_ < 12) {
                ++CodeSize_;
                CodeLimit_ = (1u << CodeSize_) - 1;
            }
            ++NextFree_;
        }
        PrevCode_ = code;
    }
    Advance(source, p);
    return size_t(out - dest.data());
}

} // namespace tessaria
