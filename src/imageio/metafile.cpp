// Parser of untrusted data: Windows metafiles and enhanced metafiles.
//
// Every record is cut out of the file with its stated size checked against
// what is left, and every field is read through a bounded view of that record,
// so that a count or offset can only make a record be dropped, never make us
// read outside it. Embedded bitmaps go through the DIB reader with its checks.
#include "imageio/metafile.h"

#include <algorithm>
#include <cmath>
#include <climits>
#include <cstdint>
#include <cstring>

#include "base/checked.h"
#include "base/exceptions.h"
#include "imageio/dib.h"
#include "imageio/limits.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

// A record's bytes; reads past its end raise TBadRecord, which drops the
// record and nothing else.
struct TBadRecord {};

class TRecord {
public:
    TRecord(const uint8_t* p, size_t n) : P_(p), N_(n) {}
    size_t Size() const { return N_; }
    const uint8_t* At(uint64_t offset, uint64_t length) const
    {
        if (offset > N_ || length > N_ - offset)
            throw TBadRecord();
        return P_ + offset;
    }
    uint16_t U16(uint64_t o) const { return GetLE16(At(o, 2)); }
    int16_t S16(uint64_t o) const { return int16_t(U16(o)); }
    uint32_t U32(uint64_t o) const { return GetLE32(At(o, 4)); }
    int32_t S32(uint64_t o) const { return int32_t(U32(o)); }
    float F32(uint64_t o) const
    {
        const uint32_t bits = U32(o);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }

private:
    const uint8_t* P_;
    size_t N_;
};

// The DIB reader works on streams; the record's bytes make one. Bitmaps
// across the whole file share one pixel budget, since a few compressed bytes
// can state a large picture.
class TDIBBudget {
public:
    std::shared_ptr<const TBitmap> Read(const TRecord& r, uint64_t headerOffset, uint64_t headerSize,
                                        uint64_t bitsOffset, uint64_t bitsSize, bool* topDown)
    {
        if (headerSize < 12)
            throw TBadRecord();
        r.At(headerOffset, headerSize);
        if (bitsSize)
            r.At(bitsOffset, bitsSize);
        // The stated size is charged before anything is decoded.
        const bool core = r.U32(headerOffset) == 12;
        const int64_t w = core ? r.S16(headerOffset + 4) : r.S32(headerOffset + 4);
        const int64_t h = core ? r.S16(headerOffset + 6) : r.S32(headerOffset + 8);
        if (w < 0 || uint64_t(w) * uint64_t(h < 0 ? -h : h) > Left_)
            throw TBadRecord();
        // The stream ends with the bitmap's own bytes, so that the reader's
        // checks hold it to them.
        const uint64_t end = bitsSize ? std::max(headerOffset + headerSize, bitsOffset + bitsSize)
                                      : headerOffset + headerSize;
        TMemoryStream stream(r.At(0, end), size_t(end));
        stream.Seek(headerOffset);
        auto bitmap = std::make_shared<TBitmap>();
        TDIBInfo info;
        try {
            info = ReadDIB(stream, *bitmap, bitsSize ? bitsOffset : 0);
        } catch (const Exception&) {
            throw TBadRecord();
        }
        const uint64_t pixels = uint64_t(info.Width) * uint64_t(info.Height);
        if (pixels > Left_)
            throw TBadRecord();
        Left_ -= pixels;
        if (topDown)
            *topDown = info.TopDown;
        return bitmap;
    }

private:
    uint64_t Left_ = uint64_t(PictureLimits().MaxPixels);
};

// The top row of a source rectangle given from the bottom of a picture;
// absurd rectangles stay absurd but representable, and are clipped away.
int32_t FromBottom(int height, int32_t y, int32_t h)
{
    const int64_t top = int64_t(height) - y - h;
    return int32_t(std::clamp<int64_t>(top, INT32_MIN, INT32_MAX));
}

TMetaCommand Command(TMetaOp op, std::initializer_list<int32_t> args = {})
{
    TMetaCommand c;
    c.Op = op;
    size_t i = 0;
    for (int32_t a : args)
        c.A[i++] = a;
    return c;
}

// ---- WMF ----------------------------------------------------------------

constexpr uint32_t PlaceableKey = 0x9AC6CDD7;

class TWMFParser {
public:
    TWMFParser(const uint8_t* data, size_t size, TMetafileData& out) : Data_(data), Size_(size), Out_(out) {}

    void Run()
    {
        size_t pos = 0;
        if (Size_ >= 22 && GetLE32(Data_) == PlaceableKey) {
            TRecord h(Data_, 22);
            uint16_t sum = 0;
            for (int i = 0; i < 10; ++i)
                sum ^= h.U16(size_t(i) * 2);
            // Writers get the checksum wrong often enough that a mismatch
            // only costs the header's trust in its size, never the picture.
            ChecksumOk_ = sum == h.U16(20);
            Out_.Placeable = true;
            Out_.PlaceableBounds = {h.S16(6), h.S16(8), h.S16(10), h.S16(12)};
            Out_.Inch = h.U16(14);
            pos = 22;
        }
        if (Size_ - pos < 18)
            throw EInvalidGraphic("WMF: header beyond end of file");
        TRecord h(Data_ + pos, 18);
        const uint16_t type = h.U16(0), headerWords = h.U16(2);
        if ((type != 1 && type != 2) || headerWords != 9)
            throw EInvalidGraphic("Metafile is not valid");
        Out_.Objects = h.U16(10);
        Slots_.assign(size_t(Out_.Objects), false);
        pos += 18;
        while (pos < Size_) {
            if (Size_ - pos < 6) {
                Out_.Truncated = true;
                break;
            }
            const uint64_t words = GetLE32(Data_ + pos);
            const uint16_t function = GetLE16(Data_ + pos + 4);
            if (words < 3)
                throw EInvalidGraphic("WMF: invalid record size");
            if (words > (Size_ - pos) / 2) {
                Out_.Truncated = true;
                break;
            }
            const size_t bytes = size_t(words * 2);
            if (function == 0x0000)
                break;
            try {
                Record(function, TRecord(Data_ + pos + 6, bytes - 6));
            } catch (const TBadRecord&) {
                ++Out_.SkippedRecords;
            }
            pos += bytes;
        }
    }

private:
    void Add(TMetaCommand c)
    {
        if (Out_.Commands.size() >= MaxMetafileCommands)
            throw EInvalidGraphic("WMF: too many records");
        Out_.Commands.push_back(std::move(c));
    }

    // WMF puts each new object in the lowest free slot of the table.
    int NewSlot()
    {
        for (size_t i = 0; i < Slots_.size(); ++i)
            if (!Slots_[i]) {
                Slots_[i] = true;
                return int(i);
            }
        throw TBadRecord();
    }

    int UsedSlot(uint16_t index) const
    {
        if (index >= Slots_.size() || !Slots_[index])
            throw TBadRecord();
        return index;
    }

    static int32_t Colour(const TRecord& r, uint64_t o) { return int32_t(r.U32(o) & 0x00FFFFFF); }

    std::vector<TMetaPoint> Points(const TRecord& r, uint64_t offset, uint64_t count)
    {
        r.At(offset, CheckedMul(count, 4));
        std::vector<TMetaPoint> points(static_cast<size_t>(count));
        for (size_t i = 0; i < points.size(); ++i)
            points[i] = {r.S16(offset + 4 * i), r.S16(offset + 4 * i + 2)};
        return points;
    }

    static std::u16string Ansi(const uint8_t* p, size_t n)
    {
        std::u16string text;
        for (size_t i = 0; i < n; ++i)
            text.push_back(char16_t(p[i]));
        return text;
    }

    void Box(TMetaOp op, const TRecord& r, uint64_t o, std::initializer_list<int32_t> before = {})
    {
        // Boxes are stored bottom, right, top, left.
        TMetaCommand c = Command(op, {r.S16(o + 6), r.S16(o + 4), r.S16(o + 2), r.S16(o)});
        size_t i = 4;
        for (int32_t a : before)
            c.A[i++] = a;
        Add(std::move(c));
    }

    void Bitmap(const TRecord& r, uint64_t dibOffset, const int32_t dest[4], const int32_t src[4], uint32_t rop)
    {
        TMetaCommand c = Command(TMetaOp::StretchBitmap);
        for (int i = 0; i < 4; ++i) {
            c.A[i] = dest[i];
            c.A[4 + i] = src[i];
        }
        c.Rop = rop;
        if (dibOffset < r.Size()) {
            bool topDown = false;
            c.Bitmap = Dibs_.Read(r, dibOffset, r.Size() - dibOffset, 0, 0, &topDown);
            // Source rectangles count rows from the bottom of a bottom-up DIB.
            if (!topDown)
                c.A[5] = FromBottom(c.Bitmap->Height(), src[1], src[3]);
        }
        Add(std::move(c));
    }

    void Record(uint16_t function, const TRecord& r)
    {
        switch (function) {
        case 0x020B: Add(Command(TMetaOp::SetWindowOrg, {r.S16(2), r.S16(0)})); FirstWindow(true, r); break;
        case 0x020C: Add(Command(TMetaOp::SetWindowExt, {r.S16(2), r.S16(0)})); FirstWindow(false, r); break;
        case 0x020D: Add(Command(TMetaOp::SetViewportOrg, {r.S16(2), r.S16(0)})); break;
        case 0x020E: Add(Command(TMetaOp::SetViewportExt, {r.S16(2), r.S16(0)})); break;
        case 0x001E: Add(Command(TMetaOp::SaveDC)); break;
        case 0x0127: Add(Command(TMetaOp::RestoreDC, {r.S16(0)})); break;
        case 0x0103: Add(Command(TMetaOp::SetMapMode, {r.U16(0)})); break;
        case 0x02FA: {
            const uint16_t style = r.U16(0);
            const int16_t width = r.S16(2);
            const int32_t colour = Colour(r, 6);
            Add(Command(TMetaOp::CreatePen, {NewSlot(), style, width, colour, 1}));
            break;
        }
        case 0x02FC: {
            const uint16_t style = r.U16(0);
            const int32_t colour = Colour(r, 2);
            const uint16_t hatch = r.U16(6);
            Add(Command(TMetaOp::CreateBrush, {NewSlot(), style, colour, hatch}));
            break;
        }
        case 0x02FB: {
            const uint8_t* f = r.At(0, 18);
            TMetaCommand c = Command(TMetaOp::CreateFont,
                                     {0, r.S16(0), r.S16(2), r.S16(4), r.S16(8), f[10] | f[11] << 1 | f[12] << 2});
            const size_t faceBytes = std::min<size_t>(32, r.Size() - 18);
            const uint8_t* face = r.At(18, faceBytes);
            c.Text = Ansi(face, size_t(std::find(face, face + faceBytes, 0) - face));
            c.A[0] = NewSlot();
            Add(std::move(c));
            break;
        }
        case 0x00F7: case 0x01F9: case 0x0142: case 0x06FF:
            // Palettes, pattern brushes and regions take a slot all the same.
            if (function == 0x0142 || function == 0x01F9)
                Add(Command(TMetaOp::CreateBrush, {NewSlot(), 3, 0x808080, 0}));
            else
                Add(Command(TMetaOp::CreateNull, {NewSlot()}));
            break;
        case 0x012D: Add(Command(TMetaOp::SelectObject, {UsedSlot(r.U16(0))})); break;
        case 0x01F0: {
            const int slot = UsedSlot(r.U16(0));
            Slots_[size_t(slot)] = false;
            Add(Command(TMetaOp::DeleteObject, {slot}));
            break;
        }
        case 0x0234: break; // SelectPalette
        case 0x0209: Add(Command(TMetaOp::SetTextColor, {Colour(r, 0)})); break;
        case 0x0201: Add(Command(TMetaOp::SetBkColor, {Colour(r, 0)})); break;
        case 0x0102: Add(Command(TMetaOp::SetBkMode, {r.U16(0)})); break;
        case 0x0106: Add(Command(TMetaOp::SetPolyFillMode, {r.U16(0)})); break;
        case 0x0104: Add(Command(TMetaOp::SetROP2, {r.U16(0)})); break;
        case 0x012E: Add(Command(TMetaOp::SetTextAlign, {r.U16(0)})); break;
        case 0x0107: Add(Command(TMetaOp::SetStretchBltMode, {r.U16(0)})); break;
        case 0x0214: Add(Command(TMetaOp::MoveTo, {r.S16(2), r.S16(0)})); break;
        case 0x0213: Add(Command(TMetaOp::LineTo, {r.S16(2), r.S16(0)})); break;
        case 0x041B: Box(TMetaOp::Rectangle, r, 0); break;
        case 0x0418: Box(TMetaOp::Ellipse, r, 0); break;
        case 0x061C: Box(TMetaOp::RoundRect, r, 4, {r.S16(2), r.S16(0)}); break;
        case 0x0817: case 0x081A: case 0x0830: {
            const TMetaOp op = function == 0x0817 ? TMetaOp::Arc : function == 0x081A ? TMetaOp::Pie : TMetaOp::Chord;
            Box(op, r, 8, {r.S16(6), r.S16(4), r.S16(2), r.S16(0)});
            break;
        }
        case 0x0324: case 0x0325: {
            TMetaCommand c = Command(function == 0x0324 ? TMetaOp::Polygon : TMetaOp::Polyline);
            c.Points = Points(r, 2, r.U16(0));
            Add(std::move(c));
            break;
        }
        case 0x0538: {
            const uint16_t polygons = r.U16(0);
            TMetaCommand c = Command(TMetaOp::PolyPolygon);
            uint64_t total = 0;
            r.At(2, uint64_t(polygons) * 2);
            for (uint16_t i = 0; i < polygons; ++i) {
                c.Counts.push_back(r.U16(2 + 2 * uint64_t(i)));
                total += c.Counts.back();
            }
            c.Points = Points(r, 2 + 2 * uint64_t(polygons), total);
            Add(std::move(c));
            break;
        }
        case 0x0521: {
            const uint16_t n = r.U16(0);
            const uint64_t padded = (uint64_t(n) + 1) & ~uint64_t(1);
            TMetaCommand c = Command(TMetaOp::Text, {r.S16(2 + padded + 2), r.S16(2 + padded)});
            c.Text = Ansi(r.At(2, n), n);
            Add(std::move(c));
            break;
        }
        case 0x0A32: {
            const uint16_t n = r.U16(4), options = r.U16(6);
            TMetaCommand c = Command(TMetaOp::Text, {r.S16(2), r.S16(0), options});
            uint64_t o = 8;
            if (options & 0x0006) {
                c.A[3] = r.S16(8);
                c.A[4] = r.S16(10);
                c.A[5] = r.S16(12);
                c.A[6] = r.S16(14);
                o = 16;
            }
            c.Text = Ansi(r.At(o, n), n);
            Add(std::move(c));
            break;
        }
        case 0x0F43: { // StretchDIB
            const uint32_t rop = r.U32(0);
            const int32_t src[4] = {r.S16(12), r.S16(10), r.S16(8), r.S16(6)};
            const int32_t dest[4] = {r.S16(20), r.S16(18), r.S16(16), r.S16(14)};
            Bitmap(r, 22, dest, src, rop);
            break;
        }
        case 0x0B41: case 0x0940: { // DIBStretchBlt, DIBBitBlt
            const bool stretch = function == 0x0B41;
            const uint32_t rop = r.U32(0);
            // Without a bitmap the record holds one reserved word more
            // before the destination, and nothing after it.
            const uint64_t fields = stretch ? 8 : 6;
            const bool noBitmap = r.Size() == 4 + (fields + 1) * 2;
            const uint64_t d = 4 + (stretch ? 8 : 4) + (noBitmap ? 2 : 0);
            int32_t src[4] = {}, dest[4] = {};
            if (stretch) {
                src[0] = r.S16(10);
                src[1] = r.S16(8);
                src[2] = r.S16(6);
                src[3] = r.S16(4);
            }
            dest[3] = r.S16(d);
            dest[2] = r.S16(d + 2);
            dest[1] = r.S16(d + 4);
            dest[0] = r.S16(d + 6);
            if (!stretch) {
                src[0] = r.S16(6);
                src[1] = r.S16(4);
                src[2] = dest[2];
                src[3] = dest[3];
            }
            Bitmap(r, noBitmap ? r.Size() : d + 8, dest, src, rop);
            break;
        }
        case 0x0416: Box(TMetaOp::IntersectClipRect, r, 0); break;
        case 0x0626: break; // Escape: nothing of it is drawn, and some of it is dangerous
        default: ++Out_.SkippedRecords; break;
        }
    }

    void FirstWindow(bool origin, const TRecord& r)
    {
        TMetaPoint& p = origin ? Out_.FirstWindowOrg : Out_.FirstWindowExt;
        bool& seen = origin ? SeenOrg_ : SeenExt_;
        if (!seen)
            p = {r.S16(2), r.S16(0)};
        seen = true;
    }

    const uint8_t* Data_;
    size_t Size_;
    TMetafileData& Out_;
    std::vector<bool> Slots_;
    TDIBBudget Dibs_;
    bool ChecksumOk_ = true;
    bool SeenOrg_ = false, SeenExt_ = false;
};

// ---- EMF ----------------------------------------------------------------

constexpr uint32_t EmfSignature = 0x464D4520; // " EMF"
constexpr uint32_t StockObject = 0x80000000;

class TEMFParser {
public:
    TEMFParser(const uint8_t* data, size_t size, TMetafileData& out) : Data_(data), Size_(size), Out_(out) {}

    void Run()
    {
        if (Size_ < 88)
            throw EInvalidGraphic("EMF: header beyond end of file");
        TRecord h(Data_, 88);
        const uint32_t headerSize = h.U32(4);
        if (headerSize < 88 || headerSize % 4 || headerSize > Size_)
            throw EInvalidGraphic("EMF: invalid header size");
        Out_.Enhanced = true;
        Out_.Bounds = Rect(h, 8);
        Out_.Frame = Rect(h, 24);
        Out_.Objects = h.U16(56);
        Out_.DevicePixelsX = h.S32(72);
        Out_.DevicePixelsY = h.S32(76);
        Out_.DeviceMmX = h.S32(80);
        Out_.DeviceMmY = h.S32(84);
        size_t pos = headerSize;
        while (pos < Size_) {
            if (Size_ - pos < 8) {
                Out_.Truncated = true;
                break;
            }
            const uint32_t type = GetLE32(Data_ + pos), size = GetLE32(Data_ + pos + 4);
            if (size < 8 || size % 4)
                throw EInvalidGraphic("EMF: invalid record size");
            if (size > Size_ - pos) {
                Out_.Truncated = true;
                break;
            }
            if (type == 14) // EOF
                break;
            try {
                Record(type, TRecord(Data_ + pos, size));
            } catch (const TBadRecord&) {
                ++Out_.SkippedRecords;
            }
            pos += size;
        }
    }

private:
    static TMetaRect Rect(const TRecord& r, uint64_t o) { return {r.S32(o), r.S32(o + 4), r.S32(o + 8), r.S32(o + 12)}; }
    static int32_t Colour(const TRecord& r, uint64_t o) { return int32_t(r.U32(o) & 0x00FFFFFF); }

    void Add(TMetaCommand c)
    {
        if (Out_.Commands.size() >= MaxMetafileCommands)
            throw EInvalidGraphic("EMF: too many records");
        Out_.Commands.push_back(std::move(c));
    }

    // Index 0 is the metafile itself and never an object of its own.
    int32_t Slot(const TRecord& r, uint64_t o) const
    {
        const uint32_t index = r.U32(o);
        if (index == 0 || index >= uint32_t(Out_.Objects))
            throw TBadRecord();
        return int32_t(index);
    }

    void BoxRecord(TMetaOp op, const TRecord& r, int extra)
    {
        TMetaCommand c = Command(op, {r.S32(8), r.S32(12), r.S32(16), r.S32(20)});
        for (int i = 0; i < extra; ++i)
            c.A[4 + i] = r.S32(24 + 4 * uint64_t(i));
        Add(std::move(c));
    }

    std::vector<TMetaPoint> Points(const TRecord& r, uint64_t offset, uint64_t count, bool shorts)
    {
        const uint64_t each = shorts ? 4 : 8;
        r.At(offset, CheckedMul(count, each));
        std::vector<TMetaPoint> points(static_cast<size_t>(count));
        for (size_t i = 0; i < points.size(); ++i) {
            const uint64_t o = offset + each * i;
            points[i] = shorts ? TMetaPoint{r.S16(o), r.S16(o + 2)} : TMetaPoint{r.S32(o), r.S32(o + 4)};
        }
        return points;
    }

    void Poly(TMetaOp op, const TRecord& r, bool shorts)
    {
        TMetaCommand c = Command(op);
        c.Points = Points(r, 28, r.U32(24), shorts);
        Add(std::move(c));
    }

    void PolyPoly(TMetaOp op, const TRecord& r, bool shorts)
    {
        const uint32_t polygons = r.U32(24), total = r.U32(28);
        r.At(32, CheckedMul(polygons, 4));
        TMetaCommand c = Command(op);
        uint64_t sum = 0;
        c.Counts.reserve(polygons);
        for (uint32_t i = 0; i < polygons; ++i) {
            c.Counts.push_back(r.U32(32 + 4 * uint64_t(i)));
            sum += c.Counts.back();
        }
        if (sum != total)
            throw TBadRecord();
        c.Points = Points(r, 32 + 4 * uint64_t(polygons), total, shorts);
        Add(std::move(c));
    }

    void Bitmap(const TRecord& r, const int32_t dest[4], const int32_t src[4], uint32_t rop, uint64_t bmiOffset,
                uint64_t bmiSize, uint64_t bitsOffset, uint64_t bitsSize)
    {
        TMetaCommand c = Command(TMetaOp::StretchBitmap);
        for (int i = 0; i < 4; ++i) {
            c.A[i] = dest[i];
            c.A[4 + i] = src[i];
        }
        c.Rop = rop;
        if (bmiSize) {
            bool topDown = false;
            c.Bitmap = Dibs_.Read(r, bmiOffset, bmiSize, bitsOffset, bitsSize, &topDown);
            if (!topDown)
                c.A[5] = FromBottom(c.Bitmap->Height(), src[1], src[3]);
        }
        Add(std::move(c));
    }

    void Record(uint32_t type, const TRecord& r)
    {
        switch (type) {
        case 2: Poly(TMetaOp::PolyBezier, r, false); break;
        case 3: Poly(TMetaOp::Polygon, r, false); break;
        case 4: Poly(TMetaOp::Polyline, r, false); break;
        case 5: Poly(TMetaOp::PolyBezierTo, r, false); break;
        case 6: Poly(TMetaOp::PolylineTo, r, false); break;
        case 7: PolyPoly(TMetaOp::PolyPolyline, r, false); break;
        case 8: PolyPoly(TMetaOp::PolyPolygon, r, false); break;
        case 85: Poly(TMetaOp::PolyBezier, r, true); break;
        case 86: Poly(TMetaOp::Polygon, r, true); break;
        case 87: Poly(TMetaOp::Polyline, r, true); break;
        case 88: Poly(TMetaOp::PolyBezierTo, r, true); break;
        case 89: Poly(TMetaOp::PolylineTo, r, true); break;
        case 90: PolyPoly(TMetaOp::PolyPolyline, r, true); break;
        case 91: PolyPoly(TMetaOp::PolyPolygon, r, true); break;
        case 9: Add(Command(TMetaOp::SetWindowExt, {r.S32(8), r.S32(12)})); break;
        case 10: Add(Command(TMetaOp::SetWindowOrg, {r.S32(8), r.S32(12)})); break;
        case 11: Add(Command(TMetaOp::SetViewportExt, {r.S32(8), r.S32(12)})); break;
        case 12: Add(Command(TMetaOp::SetViewportOrg, {r.S32(8), r.S32(12)})); break;
        case 17: Add(Command(TMetaOp::SetMapMode, {r.S32(8)})); break;
        case 18: Add(Command(TMetaOp::SetBkMode, {r.S32(8)})); break;
        case 19: Add(Command(TMetaOp::SetPolyFillMode, {r.S32(8)})); break;
        case 20: Add(Command(TMetaOp::SetROP2, {r.S32(8)})); break;
        case 21: Add(Command(TMetaOp::SetStretchBltMode, {r.S32(8)})); break;
        case 22: Add(Command(TMetaOp::SetTextAlign, {r.S32(8)})); break;
        case 24: Add(Command(TMetaOp::SetTextColor, {Colour(r, 8)})); break;
        case 25: Add(Command(TMetaOp::SetBkColor, {Colour(r, 8)})); break;
        case 27: Add(Command(TMetaOp::MoveTo, {r.S32(8), r.S32(12)})); break;
        case 54: Add(Command(TMetaOp::LineTo, {r.S32(8), r.S32(12)})); break;
        case 30: BoxRecord(TMetaOp::IntersectClipRect, r, 0); break;
        case 33: Add(Command(TMetaOp::SaveDC)); break;
        case 34: Add(Command(TMetaOp::RestoreDC, {r.S32(8)})); break;
        case 35: case 36: {
            TMetaCommand c = Command(type == 35 ? TMetaOp::SetWorldTransform : TMetaOp::ModifyWorldTransform);
            for (int i = 0; i < 6; ++i)
                c.X[i] = r.F32(8 + 4 * uint64_t(i));
            if (type == 36)
                c.A[0] = r.S32(32);
            Add(std::move(c));
            break;
        }
        case 37: {
            const uint32_t index = r.U32(8);
            if (index & StockObject)
                Add(Command(TMetaOp::SelectObject, {int32_t(index)}));
            else
                Add(Command(TMetaOp::SelectObject, {Slot(r, 8)}));
            break;
        }
        case 40: Add(Command(TMetaOp::DeleteObject, {Slot(r, 8)})); break;
        case 38: // CreatePen: a LOGPEN whose width is a point
            Add(Command(TMetaOp::CreatePen, {Slot(r, 8), r.S32(12), r.S32(16), Colour(r, 24), 1}));
            break;
        case 95: { // ExtCreatePen
            const uint32_t style = r.U32(28);
            const bool geometric = (style & 0x00010000) != 0;
            const uint32_t brushStyle = r.U32(36);
            Add(Command(TMetaOp::CreatePen, {Slot(r, 8), int32_t(brushStyle == 1 ? 5 : style & 0x0F), r.S32(32),
                                             Colour(r, 40), geometric ? 1 : 0}));
            break;
        }
        case 39:
            Add(Command(TMetaOp::CreateBrush, {Slot(r, 8), r.S32(12), Colour(r, 16), r.S32(20)}));
            break;
        case 93: case 94: // mono and DIB pattern brushes: drawn as a half tone
            Add(Command(TMetaOp::CreateBrush, {Slot(r, 8), 3, 0x808080, 0}));
            break;
        case 49: Add(Command(TMetaOp::CreateNull, {Slot(r, 8)})); break; // CreatePalette
        case 82: {
            const uint8_t* f = r.At(12, 92);
            TMetaCommand c = Command(TMetaOp::CreateFont, {Slot(r, 8), r.S32(12), r.S32(16), r.S32(20), r.S32(28),
                                                            f[20] | f[21] << 1 | f[22] << 2});
            for (int i = 0; i < 32; ++i) {
                const char16_t ch = char16_t(GetLE16(f + 28 + 2 * i));
                if (!ch)
                    break;
                c.Text.push_back(ch);
            }
            Add(std::move(c));
            break;
        }
        case 42: BoxRecord(TMetaOp::Ellipse, r, 0); break;
        case 43: BoxRecord(TMetaOp::Rectangle, r, 0); break;
        case 44: BoxRecord(TMetaOp::RoundRect, r, 2); break;
        case 45: BoxRecord(TMetaOp::Arc, r, 4); break;
        case 46: BoxRecord(TMetaOp::Chord, r, 4); break;
        case 47: BoxRecord(TMetaOp::Pie, r, 4); break;
        case 59: Add(Command(TMetaOp::BeginPath)); break;
        case 60: Add(Command(TMetaOp::EndPath)); break;
        case 61: Add(Command(TMetaOp::CloseFigure)); break;
        case 62: Add(Command(TMetaOp::FillPath)); break;
        case 63: Add(Command(TMetaOp::StrokeAndFillPath)); break;
        case 64: Add(Command(TMetaOp::StrokePath)); break;
        case 68: Add(Command(TMetaOp::AbortPath)); break;
        case 83: case 84: { // ExtTextOutA, ExtTextOutW
            const uint32_t n = r.U32(44), offString = r.U32(48), options = r.U32(52);
            TMetaCommand c = Command(TMetaOp::Text, {r.S32(36), r.S32(40), int32_t(options), r.S32(56), r.S32(60),
                                                      r.S32(64), r.S32(68)});
            const uint8_t* s = r.At(offString, CheckedMul(n, type == 84 ? 2 : 1));
            for (uint32_t i = 0; i < n; ++i)
                c.Text.push_back(type == 84 ? char16_t(GetLE16(s + 2 * i)) : char16_t(s[i]));
            Add(std::move(c));
            break;
        }
        case 81: { // StretchDIBits
            const int32_t dest[4] = {r.S32(24), r.S32(28), r.S32(72), r.S32(76)};
            const int32_t src[4] = {r.S32(32), r.S32(36), r.S32(40), r.S32(44)};
            Bitmap(r, dest, src, r.U32(68), r.U32(48), r.U32(52), r.U32(56), r.U32(60));
            break;
        }
        case 76: case 77: { // BitBlt, StretchBlt
            const int32_t dest[4] = {r.S32(24), r.S32(28), r.S32(32), r.S32(36)};
            const bool stretch = type == 77;
            int32_t src[4] = {r.S32(44), r.S32(48), dest[2], dest[3]};
            if (stretch) {
                src[2] = r.S32(100);
                src[3] = r.S32(104);
            }
            Bitmap(r, dest, src, r.U32(40), r.U32(84), r.U32(88), r.U32(92), r.U32(96));
            break;
        }
        case 70: break; // comments
        default: ++Out_.SkippedRecords; break;
        }
    }

    const uint8_t* Data_;
    size_t Size_;
    TMetafileData& Out_;
    TDIBBudget Dibs_;
};

} // namespace

TMetafileData ParseMetafile(const uint8_t* data, size_t size)
{
    TMetafileData result;
    if (size >= 88 && GetLE32(data) == 1 && GetLE32(data + 40) == EmfSignature)
        TEMFParser(data, size, result).Run();
    else if (size >= 4 && (GetLE32(data) == PlaceableKey || GetLE16(data) == 1 || GetLE16(data) == 2))
        TWMFParser(data, size, result).Run();
    else
        throw EInvalidGraphic("Metafile is not valid");
    return result;
}

} // namespace tessaria

namespace tessaria {

namespace {

int RoundedPixels(double pixels)
{
    // NaN and infinities fail the size check like any other huge size.
    if (!(pixels < 1e12))
        return -1;
    return pixels < 1 ? 1 : int(std::min(pixels + 0.5, 1e9));
}

} // namespace

TMetafileFrame MetafileFrame(const TMetafileData& data)
{
    TMetafileFrame f;
    double pixelsX = 0, pixelsY = 0;
    if (data.Enhanced) {
        const TMetaRect& r = data.Frame;
        const double mmX = data.DeviceMmX > 0 && data.DevicePixelsX > 0 ? double(data.DevicePixelsX) / data.DeviceMmX : 96 / 25.4;
        const double mmY = data.DeviceMmY > 0 && data.DevicePixelsY > 0 ? double(data.DevicePixelsY) / data.DeviceMmY : 96 / 25.4;
        if (r.Right > r.Left && r.Bottom > r.Top) {
            // The frame is in 0.01 mm and includes its right and bottom edges.
            f.Left = r.Left / 100.0 * mmX;
            f.Top = r.Top / 100.0 * mmY;
            f.Width = (double(r.Right) - r.Left) / 100.0 * mmX;
            f.Height = (double(r.Bottom) - r.Top) / 100.0 * mmY;
            pixelsX = (double(r.Right) - r.Left) * 96 / 2540;
            pixelsY = (double(r.Bottom) - r.Top) * 96 / 2540;
        } else if (data.Bounds.Right >= data.Bounds.Left && data.Bounds.Bottom >= data.Bounds.Top) {
            const TMetaRect& b = data.Bounds;
            f.Left = b.Left;
            f.Top = b.Top;
            f.Width = double(b.Right) - b.Left + 1;
            f.Height = double(b.Bottom) - b.Top + 1;
            pixelsX = f.Width / mmX * 96 / 25.4;
            pixelsY = f.Height / mmY * 96 / 25.4;
        } else {
            throw EInvalidGraphic("Metafile: no picture size");
        }
    } else if (data.Placeable) {
        const TMetaRect& b = data.PlaceableBounds;
        f.Left = std::min(b.Left, b.Right);
        f.Top = std::min(b.Top, b.Bottom);
        f.Width = std::abs(double(b.Right) - b.Left);
        f.Height = std::abs(double(b.Bottom) - b.Top);
        // Writers that leave the inch field 0 mean twips, the usual unit.
        const double inch = data.Inch ? data.Inch : 1440;
        pixelsX = f.Width * 96 / inch;
        pixelsY = f.Height * 96 / inch;
    } else if (data.FirstWindowExt.X != 0 && data.FirstWindowExt.Y != 0) {
        const TMetaPoint o = data.FirstWindowOrg, e = data.FirstWindowExt;
        f.Left = std::min<double>(o.X, double(o.X) + e.X);
        f.Top = std::min<double>(o.Y, double(o.Y) + e.Y);
        f.Width = std::abs(double(e.X));
        f.Height = std::abs(double(e.Y));
        pixelsX = f.Width;
        pixelsY = f.Height;
    } else {
        throw EInvalidGraphic("Metafile: no picture size");
    }
    if (f.Width <= 0 || f.Height <= 0)
        throw EInvalidGraphic("Metafile: no picture size");
    f.PixelsX = RoundedPixels(pixelsX);
    f.PixelsY = RoundedPixels(pixelsY);
    CheckPictureSize(f.PixelsX, f.PixelsY);
    return f;
}

} // namespace tessaria
