#pragma once
// The program's exception hierarchy. Messages are the exact texts the user sees.

#include <stdexcept>
#include <string>

namespace tessaria {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A picture could not be loaded or has no reader.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// Text that should have been a number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file could not be opened, read or written.
class EInOutError : public Exception {
public:
    using Exception::Exception;
};

// An exact read came up short.
class EReadError : public Exception {
public:
    EReadError() : Exception("Stream read error") {}
    using Exception::Exception;
};

class EAssertionFailed : public Exception {
public:
    using Exception::Exception;
};

// Builds the "%s (%s, line %d)" message of a failed assertion.
EAssertionFailed AssertionFailure(const std::string& message, const std::string& source, int line);

} // namespace tessaria
