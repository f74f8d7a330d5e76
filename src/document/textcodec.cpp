#include "document/textcodec.h"

#include <cstdint>

namespace tessaria {

namespace {

// Windows-1252 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr char16_t High1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const uint8_t b = uint8_t(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t length;
        uint8_t low = 0x80, high = 0xBF; // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0)
                low = 0xA0;      // overlong
            else if (b == 0xED)
                high = 0x9F;     // surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0)
                low = 0x90;      // overlong
            else if (b == 0xF4)
                high = 0x8F;     // above U+10FFFF
        } else {
            return false;
        }
        if (n - i < length)
            return false;
        const uint8_t second = uint8_t(bytes[i + 1]);
        if (second < low || second > high)
            return false;
        for (size_t k = 2; k < length; ++k)
            if ((uint8_t(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const uint8_t b = uint8_t(ch);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? char32_t(High1252[b - 0x80]) : char32_t(b));
    }
    return out;
}

std::string DecodeDocumentText(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return Windows1252ToUtf8(bytes);
}

} // namespace tessaria
