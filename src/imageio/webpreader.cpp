// Parser of untrusted data: WebP files through libwebp, which reports
// errors as status codes and prints nothing. The picture's size passes the
// limit before rows are made; libwebp writes straight into the bitmap's
// rows and stops at the first damaged or missing byte.
#include "imageio/webpreader.h"

#include <cstring>
#include <memory>

#include <webp/decode.h>
#include <webp/demux.h>

#include "base/exceptions.h"
#include "imageio/alphaoverwhite.h"
#include "imageio/largebuffer.h"
#include "imageio/limits.h"
#include "imageio/orientation.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

[[noreturn]] void Raise(VP8StatusCode status)
{
    switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY: throw Exception("Out of memory");
    case VP8_STATUS_NOT_ENOUGH_DATA: throw Exception("WebP: file cut short");
    case VP8_STATUS_UNSUPPORTED_FEATURE: throw Exception("WebP: unsupported feature");
    default: throw Exception("WebP: damaged data");
    }
}

int ExifChunkOrientation(const WebPData& data)
{
    struct TDemux {
        WebPDemuxer* D;
        ~TDemux() { WebPDemuxDelete(D); }
    } demux{WebPDemux(&data)};
    if (!demux.D || !(WebPDemuxGetI(demux.D, WEBP_FF_FORMAT_FLAGS) & EXIF_FLAG))
        return OrientationNormal;
    WebPChunkIterator chunk;
    if (!WebPDemuxGetChunk(demux.D, "EXIF", 1, &chunk))
        return OrientationNormal;
    const int orientation = ExifOrientation(chunk.chunk.bytes, chunk.chunk.size);
    WebPDemuxReleaseChunkIterator(&chunk);
    return orientation;
}

// An animation's first frame, composed on its canvas by libwebp.
void DecodeFirstFrame(const WebPData& data, TBitmap& bitmap)
{
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        throw Exception("WebP: unsupported feature");
    options.color_mode = MODE_BGRA;
    options.use_threads = 0;
    struct TDecoder {
        WebPAnimDecoder* D;
        ~TDecoder() { WebPAnimDecoderDelete(D); }
    } decoder{WebPAnimDecoderNew(&data, &options)};
    if (!decoder.D)
        throw Exception("WebP: damaged data");
    WebPAnimInfo info;
    if (!WebPAnimDecoderGetInfo(decoder.D, &info))
        throw Exception("WebP: damaged data");
    CheckPictureSize(info.canvas_width, info.canvas_height);
    uint8_t* canvas = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.D, &canvas, &timestamp) || !canvas)
        throw Exception("WebP: damaged data");
    bitmap.SetPixelFormat(TPixelFormat::pf32bit);
    bitmap.SetSize(int(info.canvas_width), int(info.canvas_height));
    for (int y = 0; y < bitmap.Height(); ++y)
        std::memcpy(bitmap.ScanLine(y), canvas + size_t(y) * info.canvas_width * 4, size_t(info.canvas_width) * 4);
}

} // namespace

void TWebPGraphic::LoadFromStream(TStream& stream)
{
    TLargeBuffer bytes(size_t(stream.Remaining()));
    const size_t size = bytes ? stream.Read(bytes.get(), bytes.size()) : 0;
    static const uint8_t empty = 0;
    const WebPData data{size ? bytes.get() : &empty, size};

    if (size < 12 || std::memcmp(data.bytes, "RIFF", 4) != 0 || std::memcmp(data.bytes + 8, "WEBP", 4) != 0)
        throw Exception("WebP: not a valid WebP file");
    WebPBitstreamFeatures features;
    const VP8StatusCode status = WebPGetFeatures(data.bytes, data.size, &features);
    if (status != VP8_STATUS_OK)
        Raise(status);
    CheckPictureSize(features.width, features.height);
    // libwebp sizes its buffers from the header before it reads any pixel.
    CheckDataSupply("WebP", features.width, features.height, uint64_t(features.width) * uint64_t(features.height) * 4,
                    data.size, Expansion::BlockCoded);

    TBitmap result;
    if (features.has_animation) {
        DecodeFirstFrame(data, result);
    } else {
        result.SetPixelFormat(features.has_alpha ? TPixelFormat::pf32bit : TPixelFormat::pf24bit);
        result.SetSize(features.width, features.height);
        WebPDecoderConfig config;
        if (!WebPInitDecoderConfig(&config))
            throw Exception("WebP: unsupported feature");
        config.output.colorspace = features.has_alpha ? MODE_BGRA : MODE_BGR;
        config.output.is_external_memory = 1;
        config.output.u.RGBA.rgba = result.Bits();
        config.output.u.RGBA.stride = int(result.RowBytes());
        config.output.u.RGBA.size = result.RowBytes() * size_t(result.Height());
        const VP8StatusCode decoded = WebPDecode(data.bytes, data.size, &config);
        WebPFreeDecBuffer(&config.output);
        if (decoded != VP8_STATUS_OK)
            Raise(decoded);
    }
    CompositeOverWhite(result);
    static_cast<TBitmap&>(*this) = std::move(result);
    SetOrientation(ExifChunkOrientation(data));
}

} // namespace tessaria
