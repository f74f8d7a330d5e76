#include "imageio/stream.h"

#include <cstring>

#include <sys/stat.h>

#include "base/exceptions.h"
#include "base/format.h"

namespace tessaria {

void TStream::ReadBuffer(void* buffer, size_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError();
}

uint8_t TStream::ReadByte()
{
    uint8_t b;
    ReadBuffer(&b, 1);
    return b;
}

uint16_t TStream::ReadWordLE()
{
    uint8_t b[2];
    ReadBuffer(b, 2);
    return uint16_t(b[0] | b[1] << 8);
}

uint16_t TStream::ReadWordBE()
{
    uint8_t b[2];
    ReadBuffer(b, 2);
    return uint16_t(b[0] << 8 | b[1]);
}

uint32_t TStream::ReadLongLE()
{
    uint8_t b[4];
    ReadBuffer(b, 4);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

uint32_t TStream::ReadLongBE()
{
    uint8_t b[4];
    ReadBuffer(b, 4);
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]);
}

TMemoryStream::TMemoryStream(const void* data, size_t size)
    : Data_(static_cast<const uint8_t*>(data)), Size_(size)
{
}

TMemoryStream::TMemoryStream(std::vector<uint8_t> bytes)
    : Owned_(std::move(bytes)), Data_(Owned_.data()), Size_(Owned_.size())
{
}

size_t TMemoryStream::Read(void* buffer, size_t count)
{
    const size_t available = Position_ < Size_ ? Size_ - Position_ : 0;
    const size_t n = count < available ? count : available;
    if (n) {
        std::memcpy(buffer, Data_ + Position_, n);
        Position_ += n;
    }
    return n;
}

void TMemoryStream::Seek(uint64_t position)
{
    if (position > Size_)
        throw EReadError();
    Position_ = size_t(position);
}

TFileStream::TFileStream(const std::string& fileName)
{
    File_ = std::fopen(fileName.c_str(), "rb");
    struct stat info;
    // Folders and devices open on this platform; they are no picture files.
    if (!File_ || fstat(fileno(File_), &info) != 0 || !S_ISREG(info.st_mode)) {
        if (File_)
            std::fclose(File_);
        File_ = nullptr;
        throw EInOutError(Format("Cannot open file %s", fileName.c_str()));
    }
    Size_ = uint64_t(info.st_size);
}

TFileStream::~TFileStream()
{
    if (File_)
        std::fclose(File_);
}

size_t TFileStream::Read(void* buffer, size_t count)
{
    const size_t n = std::fread(buffer, 1, count, File_);
    Position_ += n;
    return n;
}

void TFileStream::Seek(uint64_t position)
{
    if (position > Size_ || std::fseek(File_, long(position), SEEK_SET) != 0)
        throw EReadError();
    Position_ = position;
}

std::vector<uint8_t> ReadRemaining(TStream& stream)
{
    std::vector<uint8_t> bytes(size_t(stream.Remaining()));
    bytes.resize(stream.Read(bytes.data(), bytes.size()));
    return bytes;
}

std::vector<uint8_t> ReadWholeFile(const std::string& fileName)
{
    TFileStream stream(fileName);
    std::vector<uint8_t> bytes(size_t(stream.Size()));
    stream.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

} // namespace tessaria
