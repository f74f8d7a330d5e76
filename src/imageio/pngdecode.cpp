// Parser of untrusted data: PNG through libpng's simplified API, which
// reports failures as return values, never by jumping out.
#include "imageio/pngdecode.h"

#include <cstring>

#include <png.h>

#include "base/exceptions.h"
#include "base/format.h"
#include "imageio/limits.h"

namespace tessaria {

bool IsPNG(const uint8_t* data, size_t size)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= 8 && std::memcmp(data, signature, 8) == 0;
}

void DecodePNG(const uint8_t* data, size_t size, TBitmap& bitmap)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    struct TFreeGuard {
        png_image* Image;
        ~TFreeGuard() { png_image_free(Image); }
    } guard{&image};

    if (!png_image_begin_read_from_memory(&image, data, size))
        throw Exception(Format("PNG: %s", image.message));
    CheckPictureSize(image.width, image.height);
    image.format = PNG_FORMAT_BGRA;
    TBitmap result;
    result.SetPixelFormat(TPixelFormat::pf32bit);
    result.SetSize(int(image.width), int(image.height));
    // 8-bit components: the stride in components is the row in bytes.
    if (!png_image_finish_read(&image, nullptr, result.Bits(), png_int_32(result.RowBytes()), nullptr))
        throw Exception(Format("PNG: %s", image.message));
    bitmap = std::move(result);
}

} // namespace tessaria
