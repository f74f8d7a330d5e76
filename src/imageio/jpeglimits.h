#pragma once
// What every JPEG decode in the program shares, whole files and the strips
// and tiles of TIFF files alike: libjpeg's errors turned into a jump back to
// the caller, its warnings silenced, and limits on scans, warnings, memory
// and the blocks a header may claim for the data behind it.

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace tessaria {

struct TJPEGErrors {
    jpeg_error_mgr Public;
    std::jmp_buf Jump;
    int Code = 0;
    bool TooManyScans = false;
    jpeg_progress_mgr Progress;
};

// Sets up info (not yet created) to report through errors: a library error
// longjmps to errors.Jump with errors.Code set. Call jpeg_create_decompress
// after it.
void UseJPEGErrors(jpeg_decompress_struct& info, TJPEGErrors& errors);

// After jpeg_create_decompress: the library's working memory within a few
// bytes per pixel of the largest picture allowed, and the scan limit.
void LimitJPEGDecoder(jpeg_decompress_struct& info, TJPEGErrors& errors);

// After jpeg_read_header: raises the picture limit's error, or the data
// supply's ("<format>: not enough data for a W x H picture") when the
// header claims more blocks than the bytes still in the source can code.
void CheckJPEGData(const jpeg_decompress_struct& info, const char* format);

} // namespace tessaria
