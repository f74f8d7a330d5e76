// Parser of untrusted data: the limits every JPEG decode runs under.
#include "imageio/jpeglimits.h"

#include <cstdint>

#include "base/checked.h"
#include "imageio/limits.h"

namespace tessaria {

namespace {

// Progressive files can hold any number of scans, each re-reading the whole
// coefficient buffer: a small file could keep the decoder busy for hours.
constexpr int MaxScans = 1000;
// Corrupt data makes libjpeg warn and go on, which shows what can be shown
// of a damaged file; endless streams of warnings are an attack.
constexpr long MaxWarnings = 10000;

extern "C" {

void ErrorExit(j_common_ptr info)
{
    auto* errors = reinterpret_cast<TJPEGErrors*>(info->err);
    errors->Code = errors->Public.msg_code;
    std::longjmp(errors->Jump, 1);
}

void EmitMessage(j_common_ptr info, int level)
{
    auto* errors = reinterpret_cast<TJPEGErrors*>(info->err);
    if (level < 0 && ++errors->Public.num_warnings > MaxWarnings) {
        errors->Code = errors->Public.msg_code;
        std::longjmp(errors->Jump, 1);
    }
}

void OutputMessage(j_common_ptr) {}

void ProgressMonitor(j_common_ptr info)
{
    if (!info->is_decompressor)
        return;
    auto* d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number > MaxScans) {
        auto* errors = reinterpret_cast<TJPEGErrors*>(info->err);
        errors->TooManyScans = true;
        std::longjmp(errors->Jump, 1);
    }
}

} // extern "C"

} // namespace

void UseJPEGErrors(jpeg_decompress_struct& info, TJPEGErrors& errors)
{
    info.err = jpeg_std_error(&errors.Public);
    errors.Public.error_exit = ErrorExit;
    errors.Public.emit_message = EmitMessage;
    errors.Public.output_message = OutputMessage;
}

void LimitJPEGDecoder(jpeg_decompress_struct& info, TJPEGErrors& errors)
{
    info.mem->max_memory_to_use = long(PictureLimits().MaxPixels * 4 + (16 << 20));
    errors.Progress.progress_monitor = ProgressMonitor;
    info.progress = &errors.Progress;
}

// Every block of every component costs at least a bit of Huffman-coded
// data; arithmetic coding can code a flat block in a small fraction of a
// bit, so it is asked for a bit per 64 blocks, which pictures of any content
// reach.
void CheckJPEGData(const jpeg_decompress_struct& info, const char* format)
{
    CheckPictureSize(info.image_width, info.image_height);
    uint64_t blocks = 0;
    for (int i = 0; i < info.num_components; ++i)
        blocks += uint64_t(info.comp_info[i].width_in_blocks) * info.comp_info[i].height_in_blocks;
    const uint64_t remaining = info.src ? info.src->bytes_in_buffer : 0;
    CheckDataSupply(format, info.image_width, info.image_height, CheckedMul(blocks, 64), remaining,
                    info.arith_code ? Expansion::JPEG * 64 : Expansion::JPEG);
}

} // namespace tessaria
