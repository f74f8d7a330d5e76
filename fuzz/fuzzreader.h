#pragma once
// Shared by the fuzz targets: small picture limits, loading a buffer through
// the reader of an extension, and touching every output byte so that the
// sanitizers see uninitialised or out-of-bounds pixels.

#include <cstddef>
#include <cstdint>

namespace tessaria::fuzz {

// Loads data with the reader that the format table gives for `extension`.
// Our own exceptions are the expected outcome for bad input; anything else
// escapes and fails the run.
void LoadWithReader(const char* extension, const uint8_t* data, size_t size);

} // namespace tessaria::fuzz
