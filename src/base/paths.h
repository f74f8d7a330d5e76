#pragma once
// Joining folders and file names. The name is kept from the desktop the program
// came from; the separator is this platform's "/".

#include <string>

namespace tessaria {

constexpr char PathDelimiter = '/';

std::string WithTrailingBackslash(const std::string& path);

// The text after the last "." of the file name part, without the dot; empty when none.
std::string ExtractFileExt(const std::string& path);
std::string ExtractFileName(const std::string& path);
std::string ExtractFilePath(const std::string& path); // with trailing separator

} // namespace tessaria
