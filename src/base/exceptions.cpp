#include "base/exceptions.h"

#include "base/format.h"

namespace tessaria {

EAssertionFailed AssertionFailure(const std::string& message, const std::string& source, int line)
{
    return EAssertionFailed(Format("%s (%s, line %d)", message.c_str(), source.c_str(), line));
}

} // namespace tessaria
