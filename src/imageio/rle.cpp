// Parser of untrusted data: the run-length decoders of TIFF/PSD (PackBits),
// PCX, SGI, CUT and RLA. Every run is checked against the input left and the
// room left.
#include <algorithm>
#include <cstring>

#include "imageio/decoders.h"

namespace tessaria {

namespace {

// The destination side: writes are cut at the end.
struct TOutput {
    uint8_t* Pos;
    uint8_t* End;

    size_t Room() const { return size_t(End - Pos); }
    bool Full() const { return Pos == End; }
    void Put(uint8_t value)
    {
        if (Pos < End)
            *Pos++ = value;
    }
    void Fill(uint8_t value, size_t count)
    {
        count = std::min(count, Room());
        if (count == 0) // an empty destination may have no address at all
            return;
        std::memset(Pos, value, count);
        Pos += count;
    }
    // Copies up to count bytes from in, never beyond either end; the input
    // moves by what the run asked for, as far as there is input.
    template <class Input>
    void Copy(Input& in, size_t count)
    {
        const size_t available = std::min(count, in.Left());
        const size_t n = std::min(available, Room());
        if (n)
            std::memcpy(Pos, in.Pos, n);
        Pos += n;
        in.Pos += available;
    }
};

TOutput OutputOf(std::span<uint8_t> dest) { return {dest.data(), dest.data() + dest.size()}; }

} // namespace

size_t TPackbitsRLE::Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest)
{
    const TInput all = Take(source, packedSize);
    Restart();
    const size_t written = DecodeMore(source, packedSize, dest);
    // What no longer fits is read over, so the next row starts where its
    // count says.
    Advance(source, all.End);
    Restart();
    return written;
}

size_t TPackbitsRLE::DecodeMore(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest)
{
    TInput in = Take(source, packedSize);
    TOutput out = OutputOf(dest);
    for (;;) {
        if (Run_) {
            const size_t n = std::min(Run_, out.Room());
            out.Fill(RunValue_, n);
            Run_ -= n;
        }
        if (Literal_) {
            const size_t n = std::min({Literal_, out.Room(), in.Left()});
            out.Copy(in, n);
            Literal_ -= n;
            if (Literal_ && in.Pos == in.End)
                Literal_ = 0; // the data ends inside the literal
        }
        if (Run_ || Literal_ || out.Full() || in.Pos == in.End)
            break;
        const int n = int8_t(*in.Pos++);
        if (n >= 0) {
            Literal_ = size_t(n) + 1;
        } else if (n != -128) {
            if (in.Pos == in.End)
                break;
            RunValue_ = *in.Pos++;
            Run_ = size_t(1 - n);
        }
    }
    Advance(source, in.Pos);
    return size_t(out.Pos - dest.data());
}

size_t TPCXRLE::DecodeMore(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest)
{
    TInput in = Take(source, packedSize);
    TOutput out = OutputOf(dest);
    if (Run_) {
        const size_t n = std::min(Run_, out.Room());
        out.Fill(RunValue_, n);
        Run_ -= n;
    }
    while (!out.Full() && in.Pos < in.End) {
        const uint8_t b = *in.Pos++;
        if (b >= 192) {
            if (in.Pos == in.End)
                break;
            RunValue_ = *in.Pos++;
            const size_t count = b & 63u;
            const size_t n = std::min(count, out.Room());
            out.Fill(RunValue_, n);
            Run_ = count - n;
        } else {
            out.Put(b);
        }
    }
    Advance(source, in.Pos);
    return size_t(out.Pos - dest.data());
}

size_t TSGIRLE::Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest)
{
    TInput in = Take(source, packedSize);
    TOutput out = OutputOf(dest);
    if (SampleSize == 2) {
        // Big-endian 16-bit items; a sample counts by its first byte.
        while (in.Left() >= 2) {
            const uint8_t control = in.Pos[1];
            in.Pos += 2;
            const size_t count = control & 0x7Fu;
            if (count == 0)
                break;
            if (control & 0x80) {
                const size_t items = std::min(count, in.Left() / 2);
                for (size_t i = 0; i < items; ++i)
                    out.Put(in.Pos[2 * i]);
                in.Pos += std::min(2 * count, in.Left());
            } else {
                if (in.Left() < 2)
                    break;
                out.Fill(in.Pos[0], count);
                in.Pos += 2;
            }
        }
    } else {
        while (in.Pos < in.End) {
            const uint8_t control = *in.Pos++;
            const size_t count = control & 0x7Fu;
            if (count == 0)
                break;
            if (control & 0x80) {
                out.Copy(in, count);
            } else {
                if (in.Pos == in.End)
                    break;
                out.Fill(*in.Pos++, count);
            }
        }
    }
    Advance(source, in.Pos);
    return size_t(out.Pos - dest.data());
}

size_t TCUTRLE::Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest)
{
    TInput in = Take(source, packedSize);
    TOutput out = OutputOf(dest);
    in.Pos += std::min<size_t>(2, in.Left()); // the row's length, which the runs make up anyway
    while (in.Pos < in.End) {
        const uint8_t control = *in.Pos++;
        if (control == 0)
            break;
        const size_t count = control & 0x7Fu;
        if (control & 0x80) {
            if (in.Pos == in.End)
                break;
            out.Fill(*in.Pos++, count);
        } else {
            out.Copy(in, count);
        }
    }
    Advance(source, in.Pos);
    return size_t(out.Pos - dest.data());
}

size_t TRLADecoder::Decode(TPackedSource& source, size_t packedSize, std::span<uint8_t> dest)
{
    TInput in = Take(source, packedSize);
    TOutput out = OutputOf(dest);
    while (in.Pos < in.End) {
        const int n = int8_t(*in.Pos++);
        if (n >= 0) {
            if (in.Pos == in.End)
                break;
            out.Fill(*in.Pos++, size_t(n) + 1);
        } else {
            out.Copy(in, size_t(-n));
        }
    }
    Advance(source, in.Pos);
    return size_t(out.Pos - dest.data());
}

} // namespace tessaria
