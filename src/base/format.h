#pragma once
// printf-style formatting into std::string, for the program's message templates
// ("Cannot open file %s", "JPEG error #%d").

#include <string>

namespace tessaria {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace tessaria
