#pragma once
// A picture of the layout that could not be read while recording: the
// reader's message as the error box shows it, and the file it was about, for
// a caller that must name it (the command line).

#include <string>

#include "base/exceptions.h"

namespace tessaria {

class EPictureError : public Exception {
public:
    EPictureError(const std::string& fileName, const std::string& message) : Exception(message), FileName(fileName) {}
    std::string FileName;
};

} // namespace tessaria
