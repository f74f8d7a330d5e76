#include "base/convert.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

#include "base/exceptions.h"
#include "base/format.h"

namespace tessaria {

bool TryStrToInt(const std::string& text, int& value)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return false;
    long long result = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        result = result * base + digit;
        if (result > (long long)std::numeric_limits<int>::max() + 1)
            return false;
    }
    if (negative)
        result = -result;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min())
        return false;
    value = int(result);
    return true;
}

int StrToInt(const std::string& text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(Format("'%s' is not a valid integer value", text.c_str()));
    return value;
}

bool TryStrToFloat(const std::string& text, double& value)
{
    size_t start = 0, end = text.size();
    while (start < end && text[start] == ' ')
        ++start;
    while (end > start && text[end - 1] == ' ')
        --end;
    if (start == end)
        return false;
    const std::string trimmed = text.substr(start, end - start);
    for (char c : trimmed)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
    char* stop = nullptr;
    errno = 0;
    const double result = std::strtod(trimmed.c_str(), &stop);
    if (errno != 0 || stop != trimmed.c_str() + trimmed.size())
        return false;
    value = result;
    return true;
}

double StrToFloat(const std::string& text)
{
    double value = 0;
    if (!TryStrToFloat(text, value))
        throw EConvertError(Format("'%s' is not a valid floating point value", text.c_str()));
    return value;
}

} // namespace tessaria
