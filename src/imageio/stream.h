#pragma once
// Byte streams that readers read from. Two reads: the exact read, which raises
// "Stream read error" when the stream ends early, and the plain read, which may
// come up short. Seeks outside the stream are errors, not silent clamps.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace tessaria {

class TStream {
public:
    virtual ~TStream() = default;

    // Plain read: returns how many bytes were read (may be fewer than count).
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Exact read: all count bytes or EReadError.
    void ReadBuffer(void* buffer, size_t count);

    virtual uint64_t Size() const = 0;
    virtual uint64_t Position() const = 0;
    // Moves to an absolute position; beyond the end raises EReadError.
    virtual void Seek(uint64_t position) = 0;

    uint64_t Remaining() const { return Position() <= Size() ? Size() - Position() : 0; }

    uint8_t ReadByte();
    uint16_t ReadWordLE();
    uint16_t ReadWordBE();
    uint32_t ReadLongLE();
    uint32_t ReadLongBE();
};

// A stream over bytes in memory, borrowed or owned.
class TMemoryStream final : public TStream {
public:
    TMemoryStream(const void* data, size_t size);
    explicit TMemoryStream(std::vector<uint8_t> bytes);

    size_t Read(void* buffer, size_t count) override;
    uint64_t Size() const override { return Size_; }
    uint64_t Position() const override { return Position_; }
    void Seek(uint64_t position) override;

    const uint8_t* Data() const { return Data_; }

private:
    std::vector<uint8_t> Owned_;
    const uint8_t* Data_;
    size_t Size_;
    size_t Position_ = 0;
};

// A read-only file. Opening a missing or unreadable file raises EInOutError
// with "Cannot open file %s".
class TFileStream final : public TStream {
public:
    explicit TFileStream(const std::string& fileName);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    size_t Read(void* buffer, size_t count) override;
    uint64_t Size() const override { return Size_; }
    uint64_t Position() const override { return Position_; }
    void Seek(uint64_t position) override;

private:
    std::FILE* File_ = nullptr;
    uint64_t Size_ = 0;
    uint64_t Position_ = 0;
};

// The rest of a stream from its position, as far as it can be read.
std::vector<uint8_t> ReadRemaining(TStream& stream);

// Reads a whole file into memory (same errors as TFileStream).
std::vector<uint8_t> ReadWholeFile(const std::string& fileName);

} // namespace tessaria
