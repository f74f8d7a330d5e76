#include "document/documentwriter.h"

#include <limits>

#include "base/exceptions.h"
#include "document/safefile.h"

namespace tessaria {

namespace {

constexpr size_t Padding = 1024;

class TWriter {
public:
    void Int32(int32_t value)
    {
        const uint32_t v = uint32_t(value);
        for (int shift = 0; shift < 32; shift += 8)
            Bytes_.push_back(uint8_t(v >> shift));
    }

    // A count or length, which the format holds in 32 signed bits.
    void Size(uint64_t size)
    {
        if (size > uint64_t(std::numeric_limits<int32_t>::max()))
            throw Exception("The layout is too large to be saved");
        Int32(int32_t(size));
    }

    void String(const std::string& text)
    {
        Size(text.size());
        Bytes_.insert(Bytes_.end(), text.begin(), text.end());
    }

    void Pad() { Bytes_.insert(Bytes_.end(), Padding, 0); }

    std::vector<uint8_t> Take() { return std::move(Bytes_); }

private:
    std::vector<uint8_t> Bytes_;
};

} // namespace

std::vector<uint8_t> DocumentBytes(const TDocument& document)
{
    TWriter out;
    out.Int32(3);
    out.Size(document.Pages.size());
    out.Size(uint64_t(document.CountBoxes()));
    out.Pad();
    for (const TDocumentPage& page : document.Pages) {
        out.Size(page.Boxes.size());
        out.Int32(page.Orientation);
        out.Int32(page.Width);
        out.Int32(page.Height);
        out.Pad();
        for (const TDocumentBox& box : page.Boxes) {
            out.Int32(box.Left);
            out.Int32(box.Top);
            out.Int32(box.Width);
            out.Int32(box.Height);
            out.Int32(box.Rotation);
            out.Int32(box.CanvasPPI);
            out.String(box.FontName);
            out.Int32(box.FontSize);
            out.Int32(box.FontColor);
            out.Int32(box.AlignmentCode);
            out.Int32(box.Tag);
            out.Int32(box.TextBox() ? 1 : 0);
            out.String(box.TextBox() ? JoinTextLines(box.Lines) : box.FileName);
            out.Pad();
        }
    }
    return out.Take();
}

void SaveDocument(const TDocument& document, const std::string& path)
{
    const std::vector<uint8_t> bytes = DocumentBytes(document);
    WriteFileSafely(path, bytes.data(), bytes.size());
}

} // namespace tessaria
