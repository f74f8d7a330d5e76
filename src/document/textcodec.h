#pragma once
// Names and texts in documents are bytes. This program writes UTF-8; files
// from the older program hold Windows-1252. A string that is valid UTF-8 is
// taken as UTF-8, any other as Windows-1252, so accented names open either way.

#include <string>
#include <string_view>

namespace tessaria {

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Every byte mapped; the five bytes Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same value, as
// Unicode's best-fit table does.
std::string Windows1252ToUtf8(std::string_view bytes);

// The stored bytes as UTF-8, by the rule above.
std::string DecodeDocumentText(std::string_view bytes);

} // namespace tessaria
