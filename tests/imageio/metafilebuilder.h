#pragma once
// Hand-made WMF and EMF files for the metafile tests: records put together
// field by field, with the header sizes worked out at the end.

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace tessaria::test {

struct TLE {
    std::vector<uint8_t> D;
    TLE& U8(unsigned v) { D.push_back(uint8_t(v)); return *this; }
    TLE& U16(int v) { U8(unsigned(v) & 0xFF); return U8((unsigned(v) >> 8) & 0xFF); }
    TLE& U32(int64_t v) { U16(int(v & 0xFFFF)); return U16(int((v >> 16) & 0xFFFF)); }
    TLE& F32(float f) { uint32_t b; std::memcpy(&b, &f, 4); return U32(b); }
    TLE& Raw(const std::vector<uint8_t>& b) { D.insert(D.end(), b.begin(), b.end()); return *this; }
    TLE& Words(std::initializer_list<int> ws) { for (int w : ws) U16(w); return *this; }
    TLE& Longs(std::initializer_list<int64_t> ls) { for (int64_t l : ls) U32(l); return *this; }
};

// A bottom-up 24-bit DIB (info header, no colour table); rows[0] is the top
// row, each pixel 0xRRGGBB.
inline std::vector<uint8_t> Dib24(int w, const std::vector<std::vector<uint32_t>>& rows)
{
    TLE d;
    const int h = int(rows.size());
    d.Longs({40, w, h}).Words({1, 24}).Longs({0, 0, 0, 0, 0, 0});
    for (int y = h - 1; y >= 0; --y) {
        size_t n = 0;
        for (uint32_t p : rows[size_t(y)]) {
            d.U8(p & 0xFF).U8((p >> 8) & 0xFF).U8((p >> 16) & 0xFF);
            n += 3;
        }
        for (; n % 4; ++n)
            d.U8(0);
    }
    return d.D;
}

class TWmfWriter {
public:
    // params are the record's 16-bit words after the function.
    TWmfWriter& Rec(int function, std::initializer_list<int> params) { return Rec(function, TLE().Words(params).D); }
    TWmfWriter& Rec(int function, const std::vector<uint8_t>& params)
    {
        std::vector<uint8_t> p = params;
        if (p.size() % 2)
            p.push_back(0);
        TLE r;
        r.U32(3 + int64_t(p.size() / 2)).U16(function).Raw(p);
        Body_.insert(Body_.end(), r.D.begin(), r.D.end());
        return *this;
    }
    TWmfWriter& RawBytes(const std::vector<uint8_t>& b)
    {
        Body_.insert(Body_.end(), b.begin(), b.end());
        return *this;
    }
    // An ANSI string as TextOut stores it.
    TWmfWriter& TextOut(int x, int y, const std::string& s)
    {
        TLE p;
        p.U16(int(s.size()));
        for (char c : s)
            p.U8(uint8_t(c));
        if (s.size() % 2)
            p.U8(0);
        p.Words({y, x});
        return Rec(0x0521, p.D);
    }

    std::vector<uint8_t> File(int objects, bool eof = true) const
    {
        std::vector<uint8_t> body = Body_;
        if (eof)
            body.insert(body.end(), {3, 0, 0, 0, 0, 0});
        TLE h;
        h.Words({1, 9, 0x0300}).U32(int64_t(9 + body.size() / 2)).U16(objects).U32(0).U16(0);
        h.Raw(body);
        return h.D;
    }
    // With the placeable header in front; a wrong checksum when badSum.
    std::vector<uint8_t> Placeable(int objects, int left, int top, int right, int bottom, int inch,
                                   bool badSum = false) const
    {
        TLE p;
        p.U32(0x9AC6CDD7).U16(0).Words({left, top, right, bottom, inch}).U32(0);
        uint16_t sum = 0;
        for (size_t i = 0; i < 20; i += 2)
            sum ^= uint16_t(p.D[i] | p.D[i + 1] << 8);
        p.U16(badSum ? sum ^ 0x5555 : sum);
        p.Raw(File(objects));
        return p.D;
    }

private:
    std::vector<uint8_t> Body_;
};

class TEmfWriter {
public:
    // fields are the record's bytes after type and size.
    TEmfWriter& Rec(uint32_t type, const std::vector<uint8_t>& fields)
    {
        std::vector<uint8_t> f = fields;
        while (f.size() % 4)
            f.push_back(0);
        TLE r;
        r.U32(type).U32(int64_t(8 + f.size())).Raw(f);
        Body_.insert(Body_.end(), r.D.begin(), r.D.end());
        ++Records_;
        return *this;
    }
    TEmfWriter& Rec(uint32_t type, std::initializer_list<int64_t> longs) { return Rec(type, TLE().Longs(longs).D); }
    TEmfWriter& RawBytes(const std::vector<uint8_t>& b)
    {
        Body_.insert(Body_.end(), b.begin(), b.end());
        return *this;
    }
    // POLYGON16 and its kin: bounds, count, 16-bit points.
    TEmfWriter& Poly16(uint32_t type, std::initializer_list<int> xy)
    {
        TLE f;
        f.Longs({0, 0, 0, 0, int64_t(xy.size() / 2)});
        for (int v : xy)
            f.U16(v);
        return Rec(type, f.D);
    }
    // EXTTEXTOUTW at (x, y), ASCII text.
    TEmfWriter& TextOutW(int x, int y, const std::string& s, int options = 0)
    {
        TLE f;
        f.Longs({0, 0, 0, 0, 1}).F32(1).F32(1);
        f.Longs({x, y, int64_t(s.size()), 76, options, 0, 0, 0, 0, 0});
        for (char c : s)
            f.U16(uint8_t(c));
        return Rec(84, f.D);
    }
    // frame in 0.01 mm; the reference device has `pixels` over `mm`.
    std::vector<uint8_t> File(int handles, int frameRight, int frameBottom, int pixels = 1000, int mm = 100,
                              bool eof = true) const
    {
        std::vector<uint8_t> body = Body_;
        if (eof)
            body.insert(body.end(), {14, 0, 0, 0, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 20, 0, 0, 0});
        TLE h;
        h.Longs({1, 88, 0, 0, pixels - 1, pixels - 1, 0, 0, frameRight, frameBottom, 0x464D4520, 0x10000,
                 int64_t(88 + body.size()), Records_ + 2});
        h.U16(handles).U16(0).Longs({0, 0, 0, pixels, pixels, mm, mm});
        h.Raw(body);
        return h.D;
    }

private:
    std::vector<uint8_t> Body_;
    int64_t Records_ = 0;
};

} // namespace tessaria::test
