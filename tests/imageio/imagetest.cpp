#include "imagetest.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "support/testfiles.h"

namespace tessaria::test {

TPixels ParseNetpbm(const std::vector<uint8_t>& file)
{
    size_t pos = 0;
    auto token = [&]() {
        while (pos < file.size()) {
            if (file[pos] == '#')
                while (pos < file.size() && file[pos] != '\n')
                    ++pos;
            else if (isspace(file[pos]))
                ++pos;
            else
                break;
        }
        std::string t;
        while (pos < file.size() && !isspace(file[pos]))
            t += char(file[pos++]);
        return t;
    };
    TPixels p;
    const std::string magic = token();
    int maxval = 255, depth = 3;
    if (magic == "P7") {
        for (std::string t = token(); t != "ENDHDR" && !t.empty(); t = token()) {
            if (t == "WIDTH") p.Width = std::stoi(token());
            else if (t == "HEIGHT") p.Height = std::stoi(token());
            else if (t == "DEPTH") depth = std::stoi(token());
            else if (t == "MAXVAL") maxval = std::stoi(token());
            else if (t == "TUPLTYPE") token();
        }
    } else if (magic == "P6" || magic == "P5") {
        p.Width = std::stoi(token());
        p.Height = std::stoi(token());
        maxval = std::stoi(token());
        depth = magic == "P6" ? 3 : 1;
    } else {
        throw std::runtime_error("not a binary netpbm file");
    }
    if (maxval != 255)
        throw std::runtime_error("netpbm maxval " + std::to_string(maxval));
    ++pos; // the single whitespace after the header
    const size_t n = size_t(p.Width) * size_t(p.Height);
    if (file.size() < pos + n * size_t(depth))
        throw std::runtime_error("netpbm file too short");
    p.Channels = depth == 4 || depth == 2 ? 4 : 3;
    p.Bytes.resize(n * size_t(p.Channels));
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* s = file.data() + pos + i * size_t(depth);
        uint8_t* d = p.Bytes.data() + i * size_t(p.Channels);
        if (depth >= 3) {
            d[0] = s[0], d[1] = s[1], d[2] = s[2];
            if (p.Channels == 4)
                d[3] = depth == 4 ? s[3] : 255;
        } else {
            d[0] = d[1] = d[2] = s[0];
            if (p.Channels == 4)
                d[3] = s[1];
        }
    }
    return p;
}

TPixels PixelsOf(const TBitmap& bitmap, bool withAlpha)
{
    TPixels p;
    p.Width = bitmap.Width();
    p.Height = bitmap.Height();
    const bool alpha = withAlpha && bitmap.PixelFormat() == TPixelFormat::pf32bit;
    p.Channels = alpha ? 4 : 3;
    p.Bytes.resize(size_t(p.Width) * size_t(p.Height) * size_t(p.Channels));
    std::vector<uint8_t> bgr(size_t(p.Width) * 3);
    for (int y = 0; y < p.Height; ++y) {
        bitmap.RowToBGR24(y, bgr.data());
        for (int x = 0; x < p.Width; ++x) {
            uint8_t* d = p.Bytes.data() + (size_t(y) * size_t(p.Width) + size_t(x)) * size_t(p.Channels);
            d[0] = bgr[3 * x + 2], d[1] = bgr[3 * x + 1], d[2] = bgr[3 * x];
            if (alpha)
                d[3] = bitmap.ScanLine(y)[4 * x + 3];
        }
    }
    return p;
}

int MaxDifference(const TPixels& a, const TPixels& b)
{
    if (a.Width != b.Width || a.Height != b.Height || a.Channels != b.Channels)
        return 256;
    int worst = 0;
    for (size_t i = 0; i < a.Bytes.size(); ++i)
        worst = std::max(worst, std::abs(int(a.Bytes[i]) - int(b.Bytes[i])));
    return worst;
}

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string WithPaths(std::string command, const std::string& in, const std::string& out)
{
    for (size_t at; (at = command.find("{in}")) != std::string::npos;)
        command.replace(at, 4, Quote(in));
    for (size_t at; (at = command.find("{out}")) != std::string::npos;)
        command.replace(at, 5, Quote(out));
    return command;
}

std::string CommandOutput(const std::string& command, bool* ok)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        if (ok)
            *ok = false;
        return out;
    }
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int status = pclose(pipe);
    const bool success = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (ok)
        *ok = success;
    return success ? out : std::string();
}

const std::string& PillowPython()
{
    static const std::string python = [] {
        for (const char* candidate : {"/usr/bin/python3", "python3"})
            if (RunCommand(std::string(candidate) + " -c 'import PIL' >/dev/null 2>&1") == 0)
                return std::string(candidate);
        return std::string();
    }();
    return python;
}

bool RunPillow(const std::string& code)
{
    if (PillowPython().empty())
        return false;
    return RunCommand(PillowPython() + " -c " + Quote("from PIL import Image\n" + code)) == 0;
}

bool ConvertWithPeer(const std::string& source, const std::string& target, bool pillow, const std::string& command)
{
    if (pillow)
        return RunPillow("im = Image.open('" + source + "')\nout = '" + target + "'\n" + command);
    return RunCommand(ImageMagick() + " " + Quote(source) + " " + command + " " + Quote(target)) == 0;
}

const std::string& ImageMagick()
{
    // Prefer the packaged program: the one earlier on PATH may be a wrapper.
    static const std::string convert = [] {
        if (RunCommand("/usr/bin/convert -version >/dev/null 2>&1") == 0)
            return std::string("/usr/bin/convert");
        if (RunCommand("convert -version 2>/dev/null | grep -q ImageMagick") == 0)
            return std::string("convert");
        return std::string();
    }();
    return convert;
}

TPixels DecodeWithImageMagick(const std::string& file)
{
    bool ok = false;
    const std::string out = CommandOutput(ImageMagick() + " " + Quote(file) + " -depth 8 ppm:-", &ok);
    if (!ok)
        throw std::runtime_error("ImageMagick could not decode " + file);
    return ParseNetpbm(std::vector<uint8_t>(out.begin(), out.end()));
}

TPixels DecodeWithPillow(const std::string& file)
{
    const std::string out = file + ".pillow.ppm";
    if (!RunPillow("Image.open('" + file + "').convert('RGB').save('" + out + "')"))
        throw std::runtime_error("Pillow could not decode " + file);
    const std::vector<uint8_t> bytes = ReadFile(out);
    std::remove(out.c_str());
    return ParseNetpbm(bytes);
}

TBytes& TBytes::U8(unsigned v)
{
    Data.push_back(uint8_t(v));
    return *this;
}
TBytes& TBytes::U16(unsigned v) { return U8(v & 0xFF).U8(v >> 8 & 0xFF); }
TBytes& TBytes::U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
TBytes& TBytes::Raw(const std::vector<uint8_t>& bytes)
{
    Data.insert(Data.end(), bytes.begin(), bytes.end());
    return *this;
}
TBytes& TBytes::Fill(uint8_t v, size_t n)
{
    Data.insert(Data.end(), n, v);
    return *this;
}
void TBytes::Put32(size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        Data[at + size_t(i)] = uint8_t(v >> (8 * i));
}

std::vector<uint8_t> SolidBmp(int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    const size_t row = (size_t(w) * 3 + 3) / 4 * 4;
    TBytes f;
    f.U8('B').U8('M').U32(uint32_t(54 + row * size_t(h))).U32(0).U32(54);
    f.U32(40).U32(uint32_t(w)).U32(uint32_t(h)).U16(1).U16(24).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            f.U8(b).U8(g).U8(r);
        f.Fill(0, row - size_t(w) * 3);
    }
    return f.Data;
}

TEndianBytes& TEndianBytes::U8(unsigned v)
{
    Data.push_back(uint8_t(v));
    return *this;
}
TEndianBytes& TEndianBytes::U16(unsigned v)
{
    return BigEndian ? U8(v >> 8 & 0xFF).U8(v & 0xFF) : U8(v & 0xFF).U8(v >> 8 & 0xFF);
}
TEndianBytes& TEndianBytes::U32(uint32_t v)
{
    return BigEndian ? U16(v >> 16).U16(v & 0xFFFF) : U16(v & 0xFFFF).U16(v >> 16);
}
TEndianBytes& TEndianBytes::Raw(const std::vector<uint8_t>& bytes)
{
    Data.insert(Data.end(), bytes.begin(), bytes.end());
    return *this;
}
TEndianBytes& TEndianBytes::Fill(uint8_t v, size_t n)
{
    Data.insert(Data.end(), n, v);
    return *this;
}
TEndianBytes& TEndianBytes::Text(const std::string& text)
{
    Data.insert(Data.end(), text.begin(), text.end());
    return *this;
}

TPixels TestPattern(int w, int h)
{
    TPixels p{w, h, 3, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            p.Bytes.push_back(uint8_t(x * 7));
            p.Bytes.push_back(uint8_t(y * 11));
            p.Bytes.push_back((x / 5 + y / 4) % 2 ? 230 : 20);
        }
    return p;
}

std::string TestPatternPPM(int w, int h)
{
    const TPixels p = TestPattern(w, h);
    return "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n" + std::string(p.Bytes.begin(), p.Bytes.end());
}

} // namespace tessaria::test
