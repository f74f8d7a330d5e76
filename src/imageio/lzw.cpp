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

void TLZWDecoder::Restart()
{
    Acc_ = 0;
    Bits_ = 0;
    StackTop_ = 0;
    Started_ = false;
    Ended_ = false;
}

void TLZWDecoder::Flush(uint8_t*& out, uint8_t* outEnd)
{
    while (StackTop_ && out < outEnd)
        *out++ = Stack_[--StackTop_];
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
    Flush(out, outEnd);
}

size_t TTIFFLZW::DecodeMore(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest)
{
    const TInput in = Take(source, packedSize);
    if (!Started_) {
        ClearCode_ = 256;
        EndCode_ = 257;
        ResetTable(9, 258);
        Started_ = true;
    }

    const uint8_t* p = in.Pos;
    uint8_t* out = dest.data();
    uint8_t* const outEnd = out + dest.size();
    Flush(out, outEnd);
    while (out < outEnd && !Ended_) {
        while (Bits_ < CodeSize_ && p < in.End) {
            Acc_ = Acc_ << 8 | *p++;
            Bits_ += 8;
        }
        if (Bits_ < CodeSize_)
            break;
        Bits_ -= CodeSize_;
        const unsigned code = (Acc_ >> Bits_) & ((1u << CodeSize_) - 1);
        if (code == EndCode_) {
            Ended_ = true;
            break;
        }
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

size_t TGIFLZW::DecodeMore(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest)
{
    if (InitialCodeSize < 2 || InitialCodeSize > 8)
        throw Exception("GIF: invalid LZW code size");
    const TInput in = Take(source, packedSize);
    const unsigned minSize = InitialCodeSize;
    if (!Started_) {
        ClearCode_ = uint16_t(1u << minSize);
        EndCode_ = uint16_t(ClearCode_ + 1);
        ResetTable(minSize + 1, ClearCode_ + 2u);
        Started_ = true;
    }

    const uint8_t* p = in.Pos;
    uint8_t* out = dest.data();
    uint8_t* const outEnd = out + dest.size();
    Flush(out, outEnd);
    while (out < outEnd && !Ended_) {
        while (Bits_ < CodeSize_ && p < in.End) {
            Acc_ |= uint32_t(*p++) << Bits_;
            Bits_ += 8;
        }
        if (Bits_ < CodeSize_)
            break;
        const unsigned code = Acc_ & ((1u << CodeSize_) - 1);
        Acc_ >>= CodeSize_;
        Bits_ -= CodeSize_;
        if (code == EndCode_) {
            Ended_ = true;
            break;
        }
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
