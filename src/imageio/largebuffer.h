#pragma once
// Zero-filled memory for whole pictures and whole files. Large blocks are
// mapped on their own, aligned for huge pages and advised to use them: a
// 12-megapixel bitmap is some 9000 ordinary pages, and the first touch of
// each costs a page fault, which on virtual machines dominates decoding.

#include <cstddef>
#include <cstdint>

namespace tessaria {

class TLargeBuffer {
public:
    TLargeBuffer() = default;
    // Raises Exception "Out of memory" when the block cannot be had.
    explicit TLargeBuffer(size_t size);
    ~TLargeBuffer() { reset(); }
    TLargeBuffer(TLargeBuffer&& other) noexcept { *this = static_cast<TLargeBuffer&&>(other); }
    TLargeBuffer& operator=(TLargeBuffer&& other) noexcept;
    TLargeBuffer(const TLargeBuffer&) = delete;
    TLargeBuffer& operator=(const TLargeBuffer&) = delete;

    uint8_t* get() const { return Data_; }
    size_t size() const { return Size_; }
    explicit operator bool() const { return Data_ != nullptr; }
    void reset();

private:
    uint8_t* Data_ = nullptr;
    size_t Size_ = 0;
    void* Mapping_ = nullptr; // null for blocks from calloc
    size_t MappingSize_ = 0;
};

} // namespace tessaria
