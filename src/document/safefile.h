#pragma once
// Replacing a file so that a failure never loses the old one: the bytes go to
// a temporary file in the same folder, are flushed to the disk, and only then
// is the temporary file renamed over the target. On any failure the temporary
// file is removed, the target is as it was, and EInOutError says why
// ("Cannot write the file /x/y.tsd: No space left on device").
//
// A target that is a symbolic link stays one: the file it points to is
// replaced. A replaced file keeps its permission bits (and, where allowed, its
// owner); a new one gets the usual 0666 less the umask.

#include <cstddef>
#include <string>

namespace tessaria {

void WriteFileSafely(const std::string& path, const void* data, size_t size);

} // namespace tessaria
