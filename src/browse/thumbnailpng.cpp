// Parser of untrusted data: PNG thumbnails through libpng's C API.
//
// libpng reports errors through longjmp back into the functions that armed
// setjmp; those keep every object with a destructor outside the jump's reach
// (in their callers or in plain buffers made before setjmp).
#include "browse/thumbnailpng.h"

#include <csetjmp>
#include <cstring>
#include <png.h>

namespace tessaria {

namespace {

struct TSource {
    const QByteArray* Data;
    size_t At = 0;
};

extern "C" void ReadFromMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* source = static_cast<TSource*>(png_get_io_ptr(png));
    if (length > size_t(source->Data->size()) - source->At)
        png_error(png, "read past the end");
    std::memcpy(out, source->Data->constData() + source->At, length);
    source->At += length;
}

extern "C" void WriteToMemory(png_structp png, png_bytep data, png_size_t length)
{
    auto* target = static_cast<QByteArray*>(png_get_io_ptr(png));
    target->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

extern "C" void FlushNothing(png_structp) {}
extern "C" void Quiet(png_structp, png_const_charp) {}

extern "C" void FailHere(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

struct TReadState {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    ~TReadState() { png_destroy_read_struct(&Png, Info ? &Info : nullptr, nullptr); }
};

bool StartRead(TReadState& s, TSource& source)
{
    if (source.Data->size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(source.Data->constData()), 0, 8))
        return false;
    s.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailHere, Quiet);
    if (!s.Png)
        return false;
    s.Info = png_create_info_struct(s.Png);
    if (!s.Info)
        return false;
    png_set_read_fn(s.Png, &source, ReadFromMemory);
    // A thumbnail is small; anything claiming more is refused before allocating.
    png_set_user_limits(s.Png, 4096, 4096);
    png_set_chunk_malloc_max(s.Png, 1 << 20);
    return true;
}

bool ReadInfo(TReadState& s)
{
    if (setjmp(png_jmpbuf(s.Png)))
        return false;
    png_read_info(s.Png, s.Info);
    return true;
}

bool ReadRows(TReadState& s, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(s.Png)))
        return false;
    png_set_expand(s.Png);
    png_set_strip_16(s.Png);
    png_set_gray_to_rgb(s.Png);
    png_set_add_alpha(s.Png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(s.Png);
    png_read_update_info(s.Png, s.Info);
    if (png_get_rowbytes(s.Png, s.Info) != png_get_image_width(s.Png, s.Info) * 4)
        return false;
    png_read_image(s.Png, rows);
    return true;
}

struct TWriteState {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    ~TWriteState() { png_destroy_write_struct(&Png, Info ? &Info : nullptr); }
};

bool WriteAll(TWriteState& s, const QImage& image, png_text* text, int count, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(s.Png)))
        return false;
    png_set_IHDR(s.Png, s.Info, png_uint_32(image.width()), png_uint_32(image.height()), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (count > 0)
        png_set_text(s.Png, s.Info, text, count);
    png_write_info(s.Png, s.Info);
    png_write_image(s.Png, rows);
    png_write_end(s.Png, nullptr);
    return true;
}

} // namespace

bool ReadPngHeader(const QByteArray& file, QSize& size, TPngText& text)
{
    TSource source{&file};
    TReadState s;
    if (!StartRead(s, source) || !ReadInfo(s))
        return false;
    size = QSize(int(png_get_image_width(s.Png, s.Info)), int(png_get_image_height(s.Png, s.Info)));
    png_textp chunks = nullptr;
    const int count = png_get_text(s.Png, s.Info, &chunks, nullptr);
    text.clear();
    for (int i = 0; i < count; ++i)
        if (chunks[i].key && chunks[i].text)
            text[chunks[i].key] = std::string(chunks[i].text, chunks[i].text_length);
    return true;
}

QImage ReadPngPixels(const QByteArray& file, int maxSide)
{
    TSource source{&file};
    TReadState s;
    if (!StartRead(s, source) || !ReadInfo(s))
        return QImage();
    const int width = int(png_get_image_width(s.Png, s.Info));
    const int height = int(png_get_image_height(s.Png, s.Info));
    if (width < 1 || height < 1 || width > maxSide || height > maxSide)
        return QImage();
    QImage image(width, height, QImage::Format_RGBA8888);
    if (image.isNull())
        return QImage();
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[size_t(y)] = image.scanLine(y);
    if (!ReadRows(s, rows.data()))
        return QImage();
    return image;
}

QByteArray WritePng(const QImage& image, const std::vector<std::pair<std::string, std::string>>& text)
{
    if (image.isNull())
        return QByteArray();
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    QByteArray out;
    TWriteState s;
    s.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, FailHere, Quiet);
    if (!s.Png)
        return QByteArray();
    s.Info = png_create_info_struct(s.Png);
    if (!s.Info)
        return QByteArray();
    png_set_write_fn(s.Png, &out, WriteToMemory, FlushNothing);
    std::vector<png_text> chunks(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        chunks[i].compression = PNG_TEXT_COMPRESSION_NONE;
        chunks[i].key = const_cast<char*>(text[i].first.c_str());
        chunks[i].text = const_cast<char*>(text[i].second.c_str());
        chunks[i].text_length = text[i].second.size();
    }
    std::vector<png_bytep> rows(static_cast<size_t>(rgba.height()));
    for (int y = 0; y < rgba.height(); ++y)
        rows[size_t(y)] = const_cast<png_bytep>(rgba.constScanLine(y));
    if (!WriteAll(s, rgba, chunks.data(), int(chunks.size()), rows.data()))
        return QByteArray();
    return out;
}

} // namespace tessaria
