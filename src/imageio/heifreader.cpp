// Parser of untrusted data: HEIF and AVIF files through libheif, which
// reports errors as values; what its codecs print is silenced. Its own size limit is set to
// the program's, the decoded size is checked again before rows are made, and
// every failure is one message naming the format.
#include "imageio/heifreader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include <libheif/heif.h>

#include "base/exceptions.h"
#include "base/format.h"
#include "imageio/alphaoverwhite.h"
#include "imageio/heifdecodesizes.h"
#include "imageio/largebuffer.h"
#include "imageio/limits.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

// AVIF files say so in their major brand; everything else is HEIF.
const char* FormatName(const uint8_t* data, size_t size)
{
    if (size >= 12 && std::memcmp(data + 4, "ftyp", 4) == 0 &&
        (std::memcmp(data + 8, "avif", 4) == 0 || std::memcmp(data + 8, "avis", 4) == 0))
        return "AVIF";
    return "HEIF";
}

// The codecs behind libheif report damage on the terminal: libde265 with
// plain fprintf, dav1d through a logger libheif leaves on. Neither can be
// told not to, so standard error goes to /dev/null while they decode.
// Thumbnail workers decode at once: the first one in saves the real standard
// error and the last one out puts it back, or a later one would "restore"
// /dev/null for good.
class TQuietStandardError {
public:
    TQuietStandardError()
    {
        const std::lock_guard<std::mutex> lock(Mutex_);
        if (Quiet_++ > 0)
            return;
        std::fflush(stderr);
        Saved_ = dup(STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (Saved_ >= 0 && null >= 0)
            dup2(null, STDERR_FILENO);
        if (null >= 0)
            close(null);
    }
    ~TQuietStandardError()
    {
        const std::lock_guard<std::mutex> lock(Mutex_);
        if (--Quiet_ > 0)
            return;
        std::fflush(stderr);
        if (Saved_ >= 0) {
            dup2(Saved_, STDERR_FILENO);
            close(Saved_);
            Saved_ = -1;
        }
    }
    TQuietStandardError(const TQuietStandardError&) = delete;
    TQuietStandardError& operator=(const TQuietStandardError&) = delete;

private:
    static inline std::mutex Mutex_;
    static inline int Quiet_ = 0;
    static inline int Saved_ = -1;
};

// libheif's messages may end in a line break.
std::string Trimmed(const char* message)
{
    std::string text = message ? message : "damaged file";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

struct THEIF {
    heif_context* Context = nullptr;
    heif_image_handle* Handle = nullptr;
    heif_decoding_options* Options = nullptr;
    heif_image* Image = nullptr;
    ~THEIF()
    {
        heif_image_release(Image);
        heif_decoding_options_free(Options);
        heif_image_handle_release(Handle);
        heif_context_free(Context);
    }
};

} // namespace

void THEIFGraphic::LoadFromStream(TStream& stream)
{
    TLargeBuffer bytes(size_t(stream.Remaining()));
    const size_t size = bytes ? stream.Read(bytes.get(), bytes.size()) : 0;
    const char* format = FormatName(bytes.get(), size);
    auto check = [format](const heif_error& error) {
        if (error.code != heif_error_Ok)
            throw Exception(Format("%s: %s", format, Trimmed(error.message).c_str()));
    };
    if (size < 12 || std::memcmp(bytes.get() + 4, "ftyp", 4) != 0)
        throw Exception(Format("%s: not a valid %s file", format, format));

    THEIF h;
    h.Context = heif_context_alloc();
    if (!h.Context)
        throw Exception("Out of memory");
    heif_context_set_maximum_image_size_limit(h.Context, int(PictureLimits().MaxSide));
    {
        const TQuietStandardError quiet;
        check(heif_context_read_from_memory_without_copy(h.Context, bytes.get(), size, nullptr));
    }
    check(heif_context_get_primary_image_handle(h.Context, &h.Handle));
    const int statedWidth = heif_image_handle_get_width(h.Handle);
    const int statedHeight = heif_image_handle_get_height(h.Handle);
    CheckPictureSize(statedWidth, statedHeight);
    // The decoders size their frames from the stream before reading it.
    CheckDataSupply(format, statedWidth, statedHeight, uint64_t(statedWidth) * uint64_t(statedHeight) * 4, size,
                    Expansion::BlockCoded);
    // ... and, before any comparison with the stated size, from the sizes
    // their own streams code, which a file may set far beyond it.
    const auto coded = HEIFDecodeSizes(bytes.get(), size);
    if (!coded)
        throw Exception(Format("%s: damaged file", format));
    for (const TCodedSize& c : *coded) {
        const uint64_t side = uint64_t(1) << 30; // far past any limit, and no overflow below
        CheckDataSupply(format, int64_t(c.Width), int64_t(c.Height),
                        std::min(c.Width, side) * std::min(c.Height, side) * 4, size, Expansion::BlockCoded);
        CheckPictureSize(int64_t(c.Width), int64_t(c.Height));
    }
    const bool alpha = heif_image_handle_has_alpha_channel(h.Handle) != 0;

    h.Options = heif_decoding_options_alloc();
    if (!h.Options)
        throw Exception("Out of memory");
    h.Options->convert_hdr_to_8bit = 1;
    {
        const TQuietStandardError quiet;
        check(heif_decode_image(h.Handle, &h.Image, heif_colorspace_RGB,
                                alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, h.Options));
    }
    const int width = heif_image_get_width(h.Image, heif_channel_interleaved);
    const int height = heif_image_get_height(h.Image, heif_channel_interleaved);
    CheckPictureSize(width, height);
    int stride = 0;
    const uint8_t* plane = heif_image_get_plane_readonly(h.Image, heif_channel_interleaved, &stride);
    const unsigned channels = alpha ? 4 : 3;
    if (!plane || width <= 0 || height <= 0 || stride < width * int(channels) ||
        heif_image_get_bits_per_pixel_range(h.Image, heif_channel_interleaved) != 8)
        throw Exception(Format("%s: unsupported picture layout", format));

    TBitmap result;
    result.SetPixelFormat(TPixelFormat::pf24bit);
    result.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = plane + size_t(y) * size_t(stride);
        uint8_t* out = result.ScanLine(y);
        for (int x = 0; x < width; ++x, in += channels, out += 3) {
            const unsigned a = alpha ? in[3] : 255;
            out[0] = OverWhite(in[2], a);
            out[1] = OverWhite(in[1], a);
            out[2] = OverWhite(in[0], a);
        }
    }
    static_cast<TBitmap&>(*this) = std::move(result);
}

} // namespace tessaria
