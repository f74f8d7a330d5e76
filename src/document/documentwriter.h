#pragma once
// Writing layout documents: always generation 3.

#include <cstdint>
#include <string>
#include <vector>

#include "document/document.h"

namespace tessaria {

// The file's bytes. Whatever generation the document was read from, the
// result is generation 3; the header's box count is the number of records.
std::vector<uint8_t> DocumentBytes(const TDocument& document);

// Writes the document to `path` without ever losing the file already there:
// see WriteFileSafely. Raises EInOutError naming the file.
void SaveDocument(const TDocument& document, const std::string& path);

} // namespace tessaria
