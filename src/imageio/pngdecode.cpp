// Parser of untrusted data: PNG through libpng. libpng reports errors by a
// callback that must not return; it jumps back with longjmp into the small
// functions below that armed setjmp, which hold nothing with a destructor.
// Warnings are dropped, never printed; sizes are held to the program's
// limits and to what the compressed data can hold before rows are made.
#include "imageio/pngdecode.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <png.h>

#include "base/exceptions.h"
#include "base/format.h"
#include "imageio/alphaoverwhite.h"
#include "imageio/limits.h"
#include "imageio/orientation.h"

namespace tessaria {

namespace {

// Ancillary chunks are small; a file that asks for more is only asking
// for memory.
constexpr png_alloc_size_t MaxChunkBytes = 8 << 20;
constexpr png_uint_32 MaxCachedChunks = 1000;

struct TPNGRead {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    const uint8_t* Data = nullptr;
    size_t Size = 0;
    size_t Pos = 0;
    bool DataEnded = false; // the read that failed asked for bytes past the end
    char Message[128] = {};
    int RowsRead = 0;
    ~TPNGRead() { png_destroy_read_struct(&Png, Info ? &Info : nullptr, nullptr); }
};

extern "C" {

void PNGError(png_structp png, png_const_charp message)
{
    auto* r = static_cast<TPNGRead*>(png_get_error_ptr(png));
    std::snprintf(r->Message, sizeof r->Message, "%s", message ? message : "error");
    png_longjmp(png, 1);
}

void PNGWarning(png_structp, png_const_charp) {}

// libpng sizes some chunks' buffers straight from the length the file states
// (eXIf, for one), past png_set_chunk_malloc_max; nothing it needs for a
// picture within the limits (a row is at most 65535 x 8 bytes) comes near
// MaxChunkBytes, so a bigger request is the file asking for memory.
png_voidp PNGMalloc(png_structp, png_alloc_size_t size)
{
    return size <= MaxChunkBytes ? std::malloc(size) : nullptr;
}

void PNGFree(png_structp, png_voidp p) { std::free(p); }

void PNGReadData(png_structp png, png_bytep out, size_t count)
{
    auto* r = static_cast<TPNGRead*>(png_get_io_ptr(png));
    if (count > r->Size - r->Pos) {
        r->DataEnded = true;
        png_error(png, "file cut short");
    }
    std::memcpy(out, r->Data + r->Pos, count);
    r->Pos += count;
}

} // extern "C"

bool ReadInfo(TPNGRead& r)
{
    if (setjmp(png_jmpbuf(r.Png)))
        return false;
    png_set_read_fn(r.Png, &r, PNGReadData);
    png_set_user_limits(r.Png, png_uint_32(PictureLimits().MaxSide), png_uint_32(PictureLimits().MaxSide));
    png_set_chunk_malloc_max(r.Png, MaxChunkBytes);
    png_set_chunk_cache_max(r.Png, MaxCachedChunks);
    png_read_info(r.Png, r.Info);
    return true;
}

// Grey stays grey, palettes and low depths become bytes, 16-bit samples keep
// their high byte, colour comes as blue, green, red; with keepAlpha every
// picture gains an alpha byte.
bool SetTransforms(TPNGRead& r, bool keepAlpha, int& passes)
{
    if (setjmp(png_jmpbuf(r.Png)))
        return false;
    const int colourType = png_get_color_type(r.Png, r.Info);
    png_set_expand(r.Png);
    png_set_strip_16(r.Png);
    const bool alpha = (colourType & PNG_COLOR_MASK_ALPHA) || png_get_valid(r.Png, r.Info, PNG_INFO_tRNS);
    if (!(colourType & PNG_COLOR_MASK_COLOR) && (alpha || keepAlpha))
        png_set_gray_to_rgb(r.Png);
    if (keepAlpha && !alpha)
        png_set_add_alpha(r.Png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(r.Png);
    passes = png_set_interlace_handling(r.Png);
    png_read_update_info(r.Png, r.Info);
    return true;
}

// Rows straight into the bitmap; an interlaced picture's passes each add to
// the rows the one before left.
bool ReadRows(TPNGRead& r, TBitmap& bitmap, int passes)
{
    if (setjmp(png_jmpbuf(r.Png)))
        return false;
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < bitmap.Height(); ++y) {
            png_read_row(r.Png, bitmap.ScanLine(y), nullptr);
            ++r.RowsRead;
        }
    return true;
}

[[noreturn]] void Raise(const TPNGRead& r) { throw Exception(Format("PNG: %s", r.Message)); }

} // namespace

bool IsPNG(const uint8_t* data, size_t size)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= 8 && std::memcmp(data, signature, 8) == 0;
}

int DecodePNG(const uint8_t* data, size_t size, TBitmap& bitmap, TPNGAlpha alpha)
{
    TPNGRead r;
    r.Data = data;
    r.Size = size;
    r.Png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &r, PNGError, PNGWarning, nullptr, PNGMalloc, PNGFree);
    if (!r.Png)
        throw Exception("Out of memory");
    r.Info = png_create_info_struct(r.Png);
    if (!r.Info)
        throw Exception("Out of memory");
    if (!ReadInfo(r))
        Raise(r);

    const png_uint_32 width = png_get_image_width(r.Png, r.Info), height = png_get_image_height(r.Png, r.Info);
    CheckPictureSize(width, height);
    // The filtered rows that the compressed data must hold: a filter byte and
    // the samples of every row.
    const uint64_t bits = uint64_t(png_get_channels(r.Png, r.Info)) * png_get_bit_depth(r.Png, r.Info);
    const uint64_t needed = uint64_t(height) * (1 + (uint64_t(width) * bits + 7) / 8);
    CheckDataSupply("PNG", width, height, needed, size - r.Pos, Expansion::Deflate);

    int orientation = OrientationNormal;
#ifdef PNG_eXIf_SUPPORTED
    png_bytep exif = nullptr;
    png_uint_32 exifSize = 0;
    if (png_get_eXIf_1(r.Png, r.Info, &exifSize, &exif) && exif)
        orientation = ExifOrientation(exif, exifSize);
#endif

    int passes = 1;
    if (!SetTransforms(r, alpha == TPNGAlpha::Keep, passes))
        Raise(r);
    const int channels = png_get_channels(r.Png, r.Info);
    TBitmap result;
    if (channels == 1) {
        result.SetPixelFormat(TPixelFormat::pf8bit);
        TPalette ramp(256);
        for (unsigned i = 0; i < 256; ++i)
            ramp[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
        result.SetPalette(std::move(ramp));
    } else {
        result.SetPixelFormat(channels == 3 ? TPixelFormat::pf24bit : TPixelFormat::pf32bit);
    }
    result.SetSize(int(width), int(height));
    if (png_get_rowbytes(r.Png, r.Info) > result.RowBytes())
        throw Exception("PNG: unexpected row size");
    if (!ReadRows(r, result, passes)) {
        // Data that ends after some rows shows what it holds, as other
        // formats do; anything else is damage.
        if (!r.DataEnded || r.RowsRead == 0)
            Raise(r);
    }
    if (alpha == TPNGAlpha::OverWhite && channels == 4)
        CompositeOverWhite(result);
    bitmap = std::move(result);
    return orientation;
}

} // namespace tessaria
