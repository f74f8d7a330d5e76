#include "imageio/largebuffer.h"

#include <cstdlib>

#include <sys/mman.h>

#include "base/exceptions.h"

namespace tessaria {

namespace {
constexpr size_t HugePage = size_t(2) << 20;
// Below this, calloc's own pool is as good.
constexpr size_t MapThreshold = HugePage;
} // namespace

TLargeBuffer::TLargeBuffer(size_t size)
{
    if (size == 0)
        return;
    if (size < MapThreshold) {
        Data_ = static_cast<uint8_t*>(std::calloc(size, 1));
        if (!Data_)
            throw Exception("Out of memory");
        Size_ = size;
        return;
    }
    // Room to align the start to a huge page; the rest is unmapped again.
    const size_t rounded = (size + HugePage - 1) / HugePage * HugePage;
    const size_t mapped = rounded + HugePage;
    if (mapped < size)
        throw Exception("Out of memory");
    void* p = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw Exception("Out of memory");
    const uintptr_t start = (reinterpret_cast<uintptr_t>(p) + HugePage - 1) & ~(uintptr_t(HugePage) - 1);
    const size_t head = start - reinterpret_cast<uintptr_t>(p);
    if (head)
        munmap(p, head);
    const size_t tail = mapped - head - rounded;
    if (tail)
        munmap(reinterpret_cast<void*>(start + rounded), tail);
    // Advice only: without huge pages the block works the same, slower.
    madvise(reinterpret_cast<void*>(start), rounded, MADV_HUGEPAGE);
    Mapping_ = reinterpret_cast<void*>(start);
    MappingSize_ = rounded;
    Data_ = reinterpret_cast<uint8_t*>(start);
    Size_ = size;
}

TLargeBuffer& TLargeBuffer::operator=(TLargeBuffer&& other) noexcept
{
    if (this != &other) {
        reset();
        Data_ = other.Data_;
        Size_ = other.Size_;
        Mapping_ = other.Mapping_;
        MappingSize_ = other.MappingSize_;
        other.Data_ = nullptr;
        other.Size_ = 0;
        other.Mapping_ = nullptr;
        other.MappingSize_ = 0;
    }
    return *this;
}

void TLargeBuffer::reset()
{
    if (Mapping_)
        munmap(Mapping_, MappingSize_);
    else
        std::free(Data_);
    Data_ = nullptr;
    Size_ = 0;
    Mapping_ = nullptr;
    MappingSize_ = 0;
}

} // namespace tessaria
