// Fuzz target: the Photo-CD reader ("pcd"). A real image pack is at least
// 768 KB, most of it the large images the reader skips, which would keep the
// fuzzer to a few dozen inputs a second. The input is therefore a cut-down
// pack that the target lays out as a file:
//
//   byte 0      resolution the reader is set to (value mod 4; 3 is refused)
//   bytes 1-7   what stands at 2048, where "PCD_IPI" belongs
//   byte 8      the attribute byte at 194635 (orientation in its low bits)
//   the rest    the image data, at the offset of the chosen resolution
//
// Everything else in the file is zero. The file ends just after the image
// data, or after the attribute byte when that lies further, so a short input
// still ends the file early, as a truncated pack does.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/exceptions.h"
#include "fuzzreader.h"
#include "imageio/bitmap.h"
#include "imageio/pcdreader.h"
#include "imageio/stream.h"

namespace {

constexpr size_t SignatureAt = 2048, AttributeAt = 194635;
constexpr size_t ImageAt[3] = {8192, 47104, 196608};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tessaria;
    if (size < 9)
        return 0;
    const int resolution = data[0] % 4;
    const size_t imageAt = ImageAt[resolution < 3 ? resolution : 0];
    const uint8_t* image = data + 9;
    const size_t imageBytes = size - 9;
    std::vector<uint8_t> file(std::max(AttributeAt + 1, imageAt + imageBytes));
    std::memcpy(file.data() + SignatureAt, data + 1, 7);
    file[AttributeAt] = data[8];
    if (imageBytes)
        std::memcpy(file.data() + imageAt, image, imageBytes);

    TPCDGraphic graphic;
    graphic.SetResolution(resolution);
    TMemoryStream stream(file.data(), file.size());
    try {
        graphic.LoadFromStream(stream);
    } catch (const Exception&) {
        return 0;
    }
    for (int y = 0; y < graphic.Height(); ++y)
        fuzz::TouchBytes(graphic.ScanLine(y), graphic.RowBytes());
    return 0;
}
