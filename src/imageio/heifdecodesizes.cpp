// Parser of untrusted data: every box, table and coded unit is checked
// against the bytes that hold it before it is read, and the walk over coded
// units has a budget.
#include "imageio/heifdecodesizes.h"

#include <algorithm>
#include <map>

#include "imageio/readerbytes.h"

namespace tessaria {

namespace {

constexpr uint32_t FourCC(const char (&s)[5])
{
    return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 | uint32_t(uint8_t(s[2])) << 8 |
           uint32_t(uint8_t(s[3]));
}

// Far more coded units than any picture has (an iPhone photo: a few hundred).
constexpr size_t UnitBudget = size_t(1) << 20;
// Far more extents than any file has; a table of zero-width fields can
// state billions in a few bytes.
constexpr uint64_t ExtentBudget = uint64_t(1) << 16;
// A sequence header's sizes sit within its first bytes even with every
// optional part present.
constexpr size_t HeaderBytes = 512;

class TBitReader {
public:
    TBitReader(const uint8_t* data, size_t size) : Data_(data), Bits_(uint64_t(size) * 8) {}
    bool Ok() const { return Ok_; }
    uint64_t Bits(unsigned n)
    {
        uint64_t value = 0;
        for (unsigned i = 0; i < n; ++i) {
            if (Position_ >= Bits_) {
                Ok_ = false;
                return 0;
            }
            value = value << 1 | ((Data_[Position_ / 8] >> (7 - Position_ % 8)) & 1);
            ++Position_;
        }
        return value;
    }
    void Skip(uint64_t n)
    {
        if (n > Bits_ - Position_) {
            Ok_ = false;
            Position_ = Bits_;
        } else {
            Position_ += n;
        }
    }
    // Exp-Golomb (HEVC's ue(v)).
    uint64_t ExpGolomb()
    {
        unsigned zeros = 0;
        while (Ok_ && Bits(1) == 0)
            if (++zeros > 32) {
                Ok_ = false;
                return 0;
            }
        return (uint64_t(1) << zeros) - 1 + Bits(zeros);
    }
    // AV1's uvlc().
    uint64_t UVLC()
    {
        unsigned zeros = 0;
        while (Ok_ && Bits(1) == 0)
            ++zeros;
        return zeros >= 32 ? 0xFFFFFFFFu : (uint64_t(1) << zeros) - 1 + Bits(zeros);
    }

private:
    const uint8_t* Data_;
    uint64_t Bits_;
    uint64_t Position_ = 0;
    bool Ok_ = true;
};

// The payload of a NAL unit without its emulation prevention bytes
// (00 00 03 stands for 00 00), as far as a header needs.
std::vector<uint8_t> UnescapedHead(const uint8_t* nal, size_t size)
{
    std::vector<uint8_t> out;
    unsigned zeros = 0;
    for (size_t i = 0; i < size && out.size() < HeaderBytes; ++i) {
        if (zeros >= 2 && nal[i] == 3) {
            zeros = 0;
            continue;
        }
        zeros = nal[i] == 0 ? zeros + 1 : 0;
        out.push_back(nal[i]);
    }
    return out;
}

struct TBox {
    uint32_t Type = 0;
    size_t Payload = 0; // offset of the box's contents
    size_t End = 0;
};

// The box at `at` inside [at, end), or none when its size does not fit.
std::optional<TBox> BoxAt(const uint8_t* data, size_t at, size_t end)
{
    if (end < at || end - at < 8)
        return std::nullopt;
    uint64_t size = GetBE32(data + at);
    TBox box;
    box.Type = GetBE32(data + at + 4);
    box.Payload = at + 8;
    if (size == 1) {
        if (end - at < 16)
            return std::nullopt;
        size = uint64_t(GetBE32(data + at + 8)) << 32 | GetBE32(data + at + 12);
        box.Payload = at + 16;
    } else if (size == 0) {
        size = end - at;
    }
    if (size < box.Payload - at || size > end - at)
        return std::nullopt;
    box.End = at + size_t(size);
    return box;
}

template <typename Visit>
void ForEachBox(const uint8_t* data, size_t begin, size_t end, Visit visit)
{
    size_t at = begin;
    while (const std::optional<TBox> box = BoxAt(data, at, end)) {
        visit(*box);
        at = box->End;
    }
}

// Bytes of a little reader over [at, end) that turns short reads into failure.
class TByteReader {
public:
    TByteReader(const uint8_t* data, size_t at, size_t end) : Data_(data), At_(at), End_(end) {}
    bool Ok() const { return Ok_; }
    uint64_t Get(unsigned bytes)
    {
        if (End_ - At_ < bytes) {
            Ok_ = false;
            At_ = End_;
            return 0;
        }
        uint64_t value = 0;
        for (unsigned i = 0; i < bytes; ++i)
            value = value << 8 | Data_[At_++];
        return value;
    }
    void Skip(size_t bytes) { At_ = End_ - At_ < bytes ? (Ok_ = false, End_) : At_ + bytes; }
    size_t Position() const { return At_; }

private:
    const uint8_t* Data_;
    size_t At_, End_;
    bool Ok_ = true;
};

struct TExtent {
    uint64_t Offset = 0; // in the file, or in the idat box's contents
    uint64_t Length = 0; // 0: to the end
    bool InIdat = false;
    bool operator==(const TExtent&) const = default;
};

struct TItem {
    uint32_t Type = 0;
    // Where the item's data is, by each reading of the location table.
    std::vector<std::vector<TExtent>> Readings;
};

void ReadItemTypes(const uint8_t* data, const TBox& iinf, std::map<uint32_t, TItem>& items)
{
    TByteReader r(data, iinf.Payload, iinf.End);
    const unsigned version = unsigned(r.Get(1));
    r.Skip(3);
    r.Get(version == 0 ? 2 : 4); // entry count: the boxes say it again
    if (!r.Ok())
        return;
    ForEachBox(data, r.Position(), iinf.End, [&](const TBox& infe) {
        if (infe.Type != FourCC("infe"))
            return;
        TByteReader e(data, infe.Payload, infe.End);
        const unsigned v = unsigned(e.Get(1));
        e.Skip(3);
        if (v < 2)
            return; // no item type: not a picture
        const uint32_t id = uint32_t(e.Get(v == 2 ? 2 : 4));
        e.Skip(2);
        const uint32_t type = uint32_t(e.Get(4));
        if (e.Ok())
            items[id].Type = type;
    });
}

// One reading of the location table; false when it states more extents than
// the budget. Fields of other widths than 0, 4 and 8 bytes are read at their
// width, in case a reader takes them.
bool ReadLocationTable(const uint8_t* data, const TBox& iloc, bool withIndex, std::map<uint32_t, TItem>& items)
{
    uint64_t extentsRead = 0;
    TByteReader r(data, iloc.Payload, iloc.End);
    const unsigned version = unsigned(r.Get(1));
    r.Skip(3);
    const unsigned sizes = unsigned(r.Get(2));
    const unsigned offsetSize = sizes >> 12, lengthSize = (sizes >> 8) & 15, baseSize = (sizes >> 4) & 15;
    const unsigned indexSize = withIndex && (version == 1 || version == 2) ? sizes & 15 : 0;
    if (offsetSize > 8 || lengthSize > 8 || baseSize > 8 || indexSize > 8)
        return true;
    const uint64_t count = r.Get(version < 2 ? 2 : 4);
    for (uint64_t i = 0; i < count && r.Ok(); ++i) {
        const uint32_t id = uint32_t(r.Get(version < 2 ? 2 : 4));
        const unsigned method = version == 1 || version == 2 ? unsigned(r.Get(2)) & 15 : 0;
        r.Skip(2); // data reference
        const uint64_t base = r.Get(baseSize);
        const uint64_t extents = r.Get(2);
        extentsRead += extents;
        if (extentsRead > ExtentBudget)
            return false;
        std::vector<TExtent> list;
        for (uint64_t e = 0; e < extents && r.Ok(); ++e) {
            r.Skip(indexSize);
            TExtent extent;
            extent.Offset = base + r.Get(offsetSize);
            extent.Length = r.Get(lengthSize);
            extent.InIdat = method == 1;
            list.push_back(extent);
        }
        // Other methods (extents made of other items) are not read by libheif.
        if (!r.Ok() || method > 1)
            continue;
        auto& readings = items[id].Readings;
        if (std::find(readings.begin(), readings.end(), list) == readings.end())
            readings.push_back(std::move(list));
    }
    return true;
}

// Version 1 has an extent index by the standard, but libheif reads version 1
// tables without one, so every table is read both ways (a table without an
// index reads the same, and its extents are kept once).
bool ReadItemLocations(const uint8_t* data, const TBox& iloc, std::map<uint32_t, TItem>& items)
{
    return ReadLocationTable(data, iloc, true, items) && ReadLocationTable(data, iloc, false, items);
}

// An item's data: its extents one after the other, each cut to what holds it.
class TItemData {
public:
    TItemData(const uint8_t* bytes, size_t size) { Add(bytes, size); }
    TItemData(const uint8_t* file, size_t fileSize, const TBox* idat, const std::vector<TExtent>& extents)
    {
        for (const TExtent& e : extents) {
            if (e.InIdat && !idat)
                continue;
            const uint8_t* base = e.InIdat ? file + idat->Payload : file;
            const uint64_t limit = e.InIdat ? idat->End - idat->Payload : fileSize;
            if (e.Offset < limit)
                Add(base + e.Offset, size_t(e.Length == 0 ? limit - e.Offset : std::min(e.Length, limit - e.Offset)));
        }
    }
    uint64_t Size() const { return Size_; }
    // Up to `n` bytes from `at` into `out`; how many there were.
    size_t Read(uint64_t at, uint8_t* out, size_t n) const
    {
        if (at >= Size_)
            return 0;
        // The piece holding `at`: the last one starting at or before it.
        size_t i = size_t(std::upper_bound(Starts_.begin(), Starts_.end(), at) - Starts_.begin()) - 1;
        uint64_t within = at - Starts_[i];
        size_t got = 0;
        for (; i < Pieces_.size() && got < n; ++i, within = 0) {
            const auto& [bytes, length] = Pieces_[i];
            const size_t take = size_t(std::min<uint64_t>(length - within, n - got));
            std::copy(bytes + within, bytes + within + take, out + got);
            got += take;
        }
        return got;
    }

private:
    void Add(const uint8_t* bytes, size_t length)
    {
        if (length == 0)
            return;
        Starts_.push_back(Size_);
        Pieces_.push_back({bytes, length});
        Size_ += length;
    }
    std::vector<uint64_t> Starts_;
    std::vector<std::pair<const uint8_t*, size_t>> Pieces_;
    uint64_t Size_ = 0;
};

class TSizeCollector {
public:
    std::vector<TCodedSize> Sizes;
    bool OverBudget() const { return Units_ > UnitBudget; }

    void HEVCUnit(const uint8_t* nal, size_t size)
    {
        ++Units_;
        if (size >= 2 && ((nal[0] >> 1) & 63) == 33)
            Add(HEVCSequenceSize(nal, size));
    }

    // OBUs one after the other; those without a size run to the end.
    void AV1Units(const TItemData& data)
    {
        uint8_t head[HeaderBytes];
        for (uint64_t at = 0; at < data.Size() && !OverBudget();) {
            ++Units_;
            uint8_t header = 0;
            data.Read(at++, &header, 1);
            const unsigned type = (header >> 3) & 15;
            if (header & 4)
                ++at; // extension
            uint64_t length = data.Size() - std::min(at, data.Size());
            if (header & 2) {
                length = 0;
                for (unsigned i = 0;; ++i) {
                    uint8_t b = 0;
                    if (i == 8 || data.Read(at++, &b, 1) == 0)
                        return;
                    length |= uint64_t(b & 0x7F) << (7 * i);
                    if (!(b & 0x80))
                        break;
                }
            }
            if (at > data.Size())
                return;
            length = std::min(length, data.Size() - at);
            if (type == 1)
                Add(AV1SequenceSize(head, data.Read(at, head, size_t(std::min<uint64_t>(length, sizeof head)))));
            at += length;
        }
    }

    // hvcC: a fixed part, then arrays of NAL units with two-byte lengths.
    void HEVCConfiguration(const uint8_t* data, const TBox& box)
    {
        TByteReader r(data, box.Payload, box.End);
        r.Skip(22);
        const unsigned arrays = unsigned(r.Get(1));
        for (unsigned a = 0; a < arrays && r.Ok(); ++a) {
            r.Skip(1);
            const unsigned units = unsigned(r.Get(2));
            for (unsigned u = 0; u < units && r.Ok(); ++u) {
                const size_t length = size_t(r.Get(2));
                const size_t at = r.Position();
                r.Skip(length);
                if (r.Ok())
                    HEVCUnit(data + at, length);
            }
        }
    }

    // libheif hands the decoder the item's data as NAL units behind
    // four-byte lengths.
    void HEVCItem(const TItemData& item)
    {
        uint8_t head[HeaderBytes];
        for (uint64_t at = 0; at + 4 <= item.Size() && !OverBudget();) {
            uint8_t length[4];
            if (item.Read(at, length, 4) < 4)
                return;
            at += 4;
            const uint64_t size = std::min<uint64_t>(GetBE32(length), item.Size() - at);
            ++Units_;
            if (size > 0 && item.Read(at, head, 1) == 1 && ((head[0] >> 1) & 63) == 33) {
                const size_t got = item.Read(at, head, size_t(std::min<uint64_t>(size, sizeof head)));
                Add(HEVCSequenceSize(head, got));
            }
            at += size;
        }
    }

    // A grid's or an overlay's picture, made whole before any tile is
    // placed: version, flags (bit 0: 32-bit sizes), the grid's rows and
    // columns or the overlay's fill colour, then the size.
    void Canvas(const TItemData& item, bool overlay)
    {
        uint8_t head[2 + 8 + 8] = {};
        const size_t got = item.Read(0, head, sizeof head);
        const size_t at = overlay ? 10 : 4;
        const unsigned bytes = head[1] & 1 ? 4 : 2;
        if (got < at + 2 * bytes)
            return;
        TByteReader r(head, at, got);
        TCodedSize canvas;
        canvas.Width = r.Get(bytes);
        canvas.Height = r.Get(bytes);
        Sizes.push_back(canvas);
    }

private:
    void Add(std::optional<TCodedSize> size)
    {
        if (size)
            Sizes.push_back(*size);
    }
    size_t Units_ = 0;
};

} // namespace

std::optional<TCodedSize> HEVCSequenceSize(const uint8_t* nal, size_t size)
{
    if (size < 2)
        return std::nullopt;
    const std::vector<uint8_t> rbsp = UnescapedHead(nal + 2, size - 2);
    TBitReader r(rbsp.data(), rbsp.size());
    r.Skip(4); // video parameter set
    const unsigned subLayers = unsigned(r.Bits(3));
    r.Skip(1);
    r.Skip(96); // general profile, tier and level
    bool profile[8] = {}, level[8] = {};
    for (unsigned i = 0; i < subLayers; ++i) {
        profile[i] = r.Bits(1) != 0;
        level[i] = r.Bits(1) != 0;
    }
    if (subLayers > 0)
        r.Skip(2 * (8 - subLayers));
    for (unsigned i = 0; i < subLayers; ++i)
        r.Skip((profile[i] ? 88 : 0) + (level[i] ? 8 : 0));
    r.ExpGolomb(); // this set's id
    if (r.ExpGolomb() == 3) // chroma format 4:4:4
        r.Skip(1);
    TCodedSize coded;
    coded.Width = r.ExpGolomb();
    coded.Height = r.ExpGolomb();
    return r.Ok() ? std::optional(coded) : std::nullopt;
}

std::optional<TCodedSize> AV1SequenceSize(const uint8_t* payload, size_t size)
{
    TBitReader r(payload, size);
    r.Skip(4); // profile, still picture
    if (r.Bits(1)) { // reduced still picture header
        r.Skip(5);
    } else {
        bool decoderModel = false;
        unsigned bufferDelayBits = 0;
        if (r.Bits(1)) { // timing info
            r.Skip(64);
            if (r.Bits(1))
                r.UVLC();
            decoderModel = r.Bits(1) != 0;
            if (decoderModel) {
                bufferDelayBits = unsigned(r.Bits(5)) + 1;
                r.Skip(32 + 5 + 5);
            }
        }
        const bool displayDelay = r.Bits(1) != 0;
        const unsigned points = unsigned(r.Bits(5)) + 1;
        for (unsigned i = 0; i < points && r.Ok(); ++i) {
            r.Skip(12);
            if (r.Bits(5) > 7)
                r.Skip(1);
            if (decoderModel && r.Bits(1))
                r.Skip(2 * bufferDelayBits + 1);
            if (displayDelay && r.Bits(1))
                r.Skip(4);
        }
    }
    const unsigned widthBits = unsigned(r.Bits(4)) + 1, heightBits = unsigned(r.Bits(4)) + 1;
    TCodedSize coded;
    coded.Width = r.Bits(widthBits) + 1;
    coded.Height = r.Bits(heightBits) + 1;
    return r.Ok() ? std::optional(coded) : std::nullopt;
}

std::optional<std::vector<TCodedSize>> HEIFDecodeSizes(const uint8_t* data, size_t size)
{
    TSizeCollector found;
    std::map<uint32_t, TItem> items;
    std::optional<TBox> idat;
    bool tooMany = false;
    ForEachBox(data, 0, size, [&](const TBox& top) {
        if (top.Type != FourCC("meta") || top.End - top.Payload < 4)
            return;
        ForEachBox(data, top.Payload + 4, top.End, [&](const TBox& box) {
            if (box.Type == FourCC("iinf"))
                ReadItemTypes(data, box, items);
            else if (box.Type == FourCC("iloc"))
                tooMany = tooMany || !ReadItemLocations(data, box, items);
            else if (box.Type == FourCC("idat"))
                idat = box;
            else if (box.Type == FourCC("iprp"))
                ForEachBox(data, box.Payload, box.End, [&](const TBox& ipco) {
                    if (ipco.Type != FourCC("ipco"))
                        return;
                    ForEachBox(data, ipco.Payload, ipco.End, [&](const TBox& property) {
                        if (property.Type == FourCC("hvcC"))
                            found.HEVCConfiguration(data, property);
                        else if (property.Type == FourCC("av1C") && property.End - property.Payload > 4)
                            found.AV1Units(TItemData(data + property.Payload + 4, property.End - property.Payload - 4));
                    });
                });
        });
    });
    if (tooMany)
        return std::nullopt;
    for (const auto& [id, item] : items)
        for (const std::vector<TExtent>& extents : item.Readings) {
            if (found.OverBudget())
                break;
            const TItemData itemData(data, size, idat ? &*idat : nullptr, extents);
            if (item.Type == FourCC("hvc1"))
                found.HEVCItem(itemData);
            else if (item.Type == FourCC("av01"))
                found.AV1Units(itemData);
            else if (item.Type == FourCC("grid") || item.Type == FourCC("iovl"))
                found.Canvas(itemData, item.Type == FourCC("iovl"));
        }
    if (found.OverBudget())
        return std::nullopt;
    return std::move(found.Sizes);
}

} // namespace tessaria
