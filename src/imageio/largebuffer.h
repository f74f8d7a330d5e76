#pragma once
// Memory for whole pictures and whole files. Large blocks are mapped on
// their own, aligned for huge pages and advised to use them: a 12-megapixel
// bitmap is some 9000 ordinary pages, and the first touch of each costs a
// page fault and the kernel's zeroing, which on virtual machines dominates
// decoding. A few freed blocks are kept for the next picture, so that
// decoding one photo after another maps memory once.

#include <cstddef>
#include <cstdint>

namespace tessaria {

class TLargeBuffer {
public:
    // Zeroed unless the caller will write every byte itself.
    enum class TFill { Zeroed, Unfilled };

    TLargeBuffer() = default;
    // Raises Exception "Out of memory" when the block cannot be had.
    explicit TLargeBuffer(size_t size, TFill fill = TFill::Zeroed);
    ~TLargeBuffer() { reset(); }
    TLargeBuffer(TLargeBuffer&& other) noexcept { *this = static_cast<TLargeBuffer&&>(other); }
    TLargeBuffer& operator=(TLargeBuffer&& other) noexcept;
    TLargeBuffer(const TLargeBuffer&) = delete;
    TLargeBuffer& operator=(const TLargeBuffer&) = delete;

    uint8_t* get() const { return Data_; }
    size_t size() const { return Size_; }
    explicit operator bool() const { return Data_ != nullptr; }
    // Gives the block back; a mapped one may be kept for reuse.
    void reset();

private:
    uint8_t* Data_ = nullptr;
    size_t Size_ = 0;
    void* Mapping_ = nullptr; // null for blocks from calloc
    size_t MappingSize_ = 0;
};

// The freed blocks kept for reuse: how many bytes, and how many times a block
// was taken from them instead of being mapped (for tests and benchmarks).
struct TLargeBufferReuse {
    size_t KeptBytes = 0;
    uint64_t Reused = 0;
    uint64_t Mapped = 0;
};
TLargeBufferReuse LargeBufferReuse();
// Unmaps the kept blocks (at the end of a long job, or in tests).
void ReleaseKeptLargeBuffers();
// Whether freed blocks are kept at all, and whether new mappings are advised
// to use huge pages (both on by default; benchmarks compare).
void SetLargeBufferReuse(bool keep);
void SetLargeBufferHugePageAdvice(bool advise);

} // namespace tessaria
