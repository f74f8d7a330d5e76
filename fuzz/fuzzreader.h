#pragma once
// Shared by the fuzz targets: loading a buffer through the reader of an
// extension, and touching every output byte so that the sanitizers see
// uninitialised or out-of-bounds pixels. The readers run at the program's own
// picture limit, so that memory a tiny file makes them take is what a user's
// program would take; the fuzzer's memory ceiling (see campaign) turns a
// reader that allocates from its header alone into a finding.

#include <cstddef>
#include <cstdint>

namespace tessaria::fuzz {

// Loads data with the reader that the format table gives for `extension`.
// Our own exceptions are the expected outcome for bad input; anything else
// escapes and fails the run.
void LoadWithReader(const char* extension, const uint8_t* data, size_t size);

// Reads every byte, so that the sanitizers check them all. Not traced for
// coverage: it has no branches worth finding, and tracing its compares would
// cost more than the reader being tested.
void TouchBytes(const uint8_t* bytes, size_t size);

} // namespace tessaria::fuzz
