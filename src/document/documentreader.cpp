// Parser of untrusted data: layout documents of all three generations.
#include "document/documentreader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "base/format.h"
#include "document/textcodec.h"

namespace tessaria {

namespace {

constexpr size_t Padding = 1024;

// Smallest records, padding included: the counts are checked against these
// before anything is reserved.
constexpr size_t BinaryPageBytes = 16 + Padding;
constexpr size_t Generation2BoxBytes = 48 + Padding;
constexpr size_t Generation3BoxBytes = 52 + Padding;
constexpr size_t Generation1PageBytes = 24 + Padding;
constexpr size_t Generation1BoxBytes = 40 + 2 + Padding;

// Longest generation 1 path: the older program's buffer held 2000 bytes with the CR.
constexpr size_t Generation1MaxPath = 1999;

[[noreturn]] void Damage()
{
    throw EInvalidDocument();
}

// Bounded reads over the file's bytes; running out is damage.
class TCursor {
public:
    TCursor(const uint8_t* data, size_t size) : Data_(data), Size_(size) {}

    size_t Left() const { return Size_ - At_; }
    const uint8_t* Here() const { return Data_ + At_; }

    std::string_view Bytes(size_t count)
    {
        if (count > Left())
            Damage();
        const std::string_view bytes(reinterpret_cast<const char*>(Here()), count);
        At_ += count;
        return bytes;
    }

    void Skip(size_t count) { Bytes(count); }

    // The padding that ends a page or box record: zeros, as every writer
    // puts them. Anything else is a record read from the wrong place.
    void RecordPadding()
    {
        const std::string_view padding = Bytes(Padding);
        if (padding.find_first_not_of('\0') != std::string_view::npos)
            Damage();
    }

    int32_t Int32()
    {
        const std::string_view b = Bytes(4);
        return int32_t(uint32_t(uint8_t(b[0])) | uint32_t(uint8_t(b[1])) << 8 |
                       uint32_t(uint8_t(b[2])) << 16 | uint32_t(uint8_t(b[3])) << 24);
    }

    // A count of records that must each take at least `minBytes` of what is left.
    size_t Count(int32_t count, size_t minBytes) const
    {
        if (count < 0 || uint64_t(count) * minBytes > Left())
            Damage();
        return size_t(count);
    }

    // A string length prefix: not negative, not beyond the file.
    size_t Length()
    {
        const int32_t length = Int32();
        if (length < 0 || size_t(length) > Left())
            Damage();
        return size_t(length);
    }

    // A generation 1 number: spaces, an optional sign, then digits to the
    // field's end.
    int32_t Field(size_t width)
    {
        const std::string_view f = Bytes(width);
        size_t i = 0;
        while (i < f.size() && f[i] == ' ')
            ++i;
        bool negative = false;
        if (i < f.size() && (f[i] == '-' || f[i] == '+'))
            negative = f[i++] == '-';
        if (i == f.size())
            Damage();
        int64_t value = 0; // at most 8 digits: no overflow
        for (; i < f.size(); ++i) {
            if (f[i] < '0' || f[i] > '9')
                Damage();
            value = value * 10 + (f[i] - '0');
        }
        return int32_t(negative ? -value : value);
    }

private:
    const uint8_t* Data_;
    size_t Size_;
    size_t At_ = 0;
};

TDocumentBox ReadBinaryBox(TCursor& in, int generation)
{
    TDocumentBox box;
    box.Left = in.Int32();
    box.Top = in.Int32();
    box.Width = in.Int32();
    box.Height = in.Int32();
    box.Rotation = in.Int32();
    box.CanvasPPI = in.Int32();
    box.FontName = DecodeDocumentText(in.Bytes(in.Length()));
    box.FontSize = in.Int32();
    box.FontColor = in.Int32();
    box.AlignmentCode = in.Int32();
    if (generation == 3)
        box.Tag = in.Int32();
    box.Kind = in.Int32();
    const std::string text = DecodeDocumentText(in.Bytes(in.Length()));
    if (box.TextBox())
        box.Lines = SplitTextLines(text);
    else
        box.FileName = text;
    in.RecordPadding();
    return box;
}

TDocumentBox ReadGeneration1Box(TCursor& in)
{
    TDocumentBox box;
    box.Left = in.Field(8);
    box.Top = in.Field(8);
    box.Width = in.Field(8);
    box.Height = in.Field(8);
    box.Rotation = in.Field(8);
    const size_t look = std::min(in.Left(), Generation1MaxPath + 1);
    const void* cr = std::memchr(in.Here(), '\r', look);
    if (!cr)
        Damage();
    box.FileName = DecodeDocumentText(in.Bytes(size_t(static_cast<const uint8_t*>(cr) - in.Here())));
    in.Skip(2); // the CR and the LF after it
    in.RecordPadding();
    return box;
}

// The header's count against the pages' counts: see the header.
void CheckBoxCount(const TDocument& document)
{
    if (document.BoxCount >= 0 && !document.Pages.empty() && int64_t(document.BoxCount) != document.CountBoxes())
        Damage();
}

// Whatever follows the last record: see the header.
void CheckTrailingBytes(const TCursor& in, size_t smallestRecord)
{
    if (in.Left() < smallestRecord)
        return;
    for (size_t i = 0; i < in.Left(); ++i)
        if (in.Here()[i] != 0)
            Damage();
}

TDocument ReadBinary(TCursor& in, int generation)
{
    TDocument document;
    document.Generation = generation;
    in.Int32(); // the generation, known from the first byte
    const int32_t pageCount = in.Int32();
    document.BoxCount = in.Int32();
    in.Skip(Padding);
    document.Pages.reserve(in.Count(pageCount, BinaryPageBytes));
    const size_t boxBytes = generation == 3 ? Generation3BoxBytes : Generation2BoxBytes;
    for (int32_t p = 0; p < pageCount; ++p) {
        TDocumentPage& page = document.Pages.emplace_back();
        const int32_t boxCount = in.Int32();
        page.Orientation = in.Int32();
        page.Width = in.Int32();
        page.Height = in.Int32();
        in.RecordPadding();
        page.Boxes.reserve(in.Count(boxCount, boxBytes));
        for (int32_t b = 0; b < boxCount; ++b)
            page.Boxes.push_back(ReadBinaryBox(in, generation));
    }
    CheckBoxCount(document);
    CheckTrailingBytes(in, BinaryPageBytes);
    return document;
}

TDocument ReadGeneration1(TCursor& in)
{
    TDocument document;
    document.Generation = 1;
    in.Skip(4); // "1.00"
    const int32_t pageCount = in.Field(4);
    document.BoxCount = in.Field(4);
    in.Skip(Padding);
    document.Pages.reserve(in.Count(pageCount, Generation1PageBytes));
    for (int32_t p = 0; p < pageCount; ++p) {
        TDocumentPage& page = document.Pages.emplace_back();
        const int32_t boxCount = in.Field(4);
        page.Orientation = in.Field(4);
        page.Width = in.Field(8);
        page.Height = in.Field(8);
        in.RecordPadding();
        page.Boxes.reserve(in.Count(boxCount, Generation1BoxBytes));
        for (int32_t b = 0; b < boxCount; ++b)
            page.Boxes.push_back(ReadGeneration1Box(in));
    }
    CheckBoxCount(document);
    CheckTrailingBytes(in, Generation1PageBytes);
    return document;
}

[[noreturn]] void CannotRead(const std::string& path, int error)
{
    throw EInOutError(Format("Cannot read the file %s: %s", path.c_str(),
                             error ? std::strerror(error) : "read error"));
}

} // namespace

int DocumentGeneration(uint8_t firstByte)
{
    switch (firstByte) {
    case '1': return 1;
    case 0x02: return 2;
    case 0x03: return 3;
    default: return 0;
    }
}

TDocument ReadDocument(const uint8_t* data, size_t size)
{
    if (size == 0)
        Damage();
    TCursor in(data, size);
    const int generation = DocumentGeneration(data[0]);
    if (generation == 0)
        Damage();
    return generation == 1 ? ReadGeneration1(in) : ReadBinary(in, generation);
}

TDocument ReadDocument(const std::vector<uint8_t>& bytes)
{
    return ReadDocument(bytes.data(), bytes.size());
}

TDocument ReadDocumentFile(const std::string& path)
{
    // A folder or a pipe would read as nothing or wait forever.
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw EInOutError(Format("Cannot read the file %s: %s", path.c_str(),
                                 std::filesystem::is_directory(status) ? std::strerror(EISDIR)
                                                                       : "not a regular file"));
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        CannotRead(path, errno);
    const int first = in.peek();
    if (first == std::char_traits<char>::eof()) {
        if (in.bad())
            CannotRead(path, errno);
        Damage();
    }
    if (DocumentGeneration(uint8_t(first)) == 0)
        Damage();
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        CannotRead(path, errno);
    if (uint64_t(size) > MaxDocumentBytes)
        throw EInOutError(Format("The file %s is too large to be a layout document", path.c_str()));
    in.seekg(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size))
        CannotRead(path, errno);
    return ReadDocument(bytes);
}

} // namespace tessaria
