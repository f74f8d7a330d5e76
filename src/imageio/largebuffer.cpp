#include "imageio/largebuffer.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include <sys/mman.h>

#include "base/exceptions.h"

namespace tessaria {

namespace {

constexpr size_t HugePage = size_t(2) << 20;
// Below this, calloc's own pool is as good.
constexpr size_t MapThreshold = HugePage;
// What is kept for reuse: enough for a picture being decoded ahead, the one
// being resampled and the resampler's work rows, not more.
constexpr size_t MaxKeptBlocks = 4;
constexpr size_t MaxKeptBytes = size_t(320) << 20;

struct TBlock {
    void* Start;
    size_t Size;
};

// Freed mappings, the most recent last. Any thread may free or take one.
class TKeptBlocks {
public:
    // A block of at least `size` bytes and not wastefully more, or none.
    TBlock Take(size_t size)
    {
        std::lock_guard lock(Mutex_);
        for (size_t i = Blocks_.size(); i-- > 0;) {
            const TBlock b = Blocks_[i];
            if (b.Size >= size && b.Size - size <= size / 2) {
                Blocks_.erase(Blocks_.begin() + std::ptrdiff_t(i));
                Bytes_ -= b.Size;
                ++Reused_;
                return b;
            }
        }
        ++Mapped_;
        return {nullptr, 0};
    }

    // Keeps the block, or unmaps it (or older ones) to stay within the limits.
    void Give(TBlock block)
    {
        std::vector<TBlock> unmap;
        {
            std::lock_guard lock(Mutex_);
            if (!Keep_.load() || block.Size > MaxKeptBytes) {
                unmap.push_back(block);
            } else {
                Blocks_.push_back(block);
                Bytes_ += block.Size;
                while (Blocks_.size() > MaxKeptBlocks || Bytes_ > MaxKeptBytes) {
                    unmap.push_back(Blocks_.front());
                    Bytes_ -= Blocks_.front().Size;
                    Blocks_.erase(Blocks_.begin());
                }
            }
        }
        for (const TBlock& b : unmap)
            munmap(b.Start, b.Size);
    }

    void ReleaseAll()
    {
        std::vector<TBlock> unmap;
        {
            std::lock_guard lock(Mutex_);
            unmap.swap(Blocks_);
            Bytes_ = 0;
        }
        for (const TBlock& b : unmap)
            munmap(b.Start, b.Size);
    }

    TLargeBufferReuse Figures()
    {
        std::lock_guard lock(Mutex_);
        return {Bytes_, Reused_, Mapped_};
    }

    std::atomic<bool> Keep_{true};

private:
    std::mutex Mutex_;
    std::vector<TBlock> Blocks_;
    size_t Bytes_ = 0;
    uint64_t Reused_ = 0;
    uint64_t Mapped_ = 0;
};

std::atomic<bool> HugePageAdvice{true};

TKeptBlocks& Kept()
{
    // Never destroyed: buffers freed during exit still find it.
    static TKeptBlocks* kept = new TKeptBlocks;
    return *kept;
}

// A fresh mapping aligned to a huge page, advised to use them.
TBlock MapBlock(size_t rounded)
{
    // Room to align the start to a huge page; the rest is unmapped again.
    const size_t mapped = rounded + HugePage;
    if (mapped < rounded)
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
    if (HugePageAdvice.load())
        madvise(reinterpret_cast<void*>(start), rounded, MADV_HUGEPAGE);
    return {reinterpret_cast<void*>(start), rounded};
}

} // namespace

TLargeBuffer::TLargeBuffer(size_t size, TFill fill)
{
    if (size == 0)
        return;
    if (size < MapThreshold) {
        Data_ = static_cast<uint8_t*>(fill == TFill::Zeroed ? std::calloc(size, 1) : std::malloc(size));
        if (!Data_)
            throw Exception("Out of memory");
        Size_ = size;
        return;
    }
    if (size > SIZE_MAX - HugePage)
        throw Exception("Out of memory");
    const size_t rounded = (size + HugePage - 1) / HugePage * HugePage;
    TBlock block = Kept().Take(rounded);
    const bool reused = block.Start != nullptr;
    if (!reused)
        block = MapBlock(rounded); // fresh pages come zeroed
    Mapping_ = block.Start;
    MappingSize_ = block.Size;
    Data_ = static_cast<uint8_t*>(block.Start);
    Size_ = size;
    if (reused && fill == TFill::Zeroed)
        std::memset(Data_, 0, Size_);
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
        Kept().Give({Mapping_, MappingSize_});
    else
        std::free(Data_);
    Data_ = nullptr;
    Size_ = 0;
    Mapping_ = nullptr;
    MappingSize_ = 0;
}

TLargeBufferReuse LargeBufferReuse() { return Kept().Figures(); }

void ReleaseKeptLargeBuffers() { Kept().ReleaseAll(); }

void SetLargeBufferReuse(bool keep)
{
    Kept().Keep_.store(keep);
    if (!keep)
        ReleaseKeptLargeBuffers();
}

void SetLargeBufferHugePageAdvice(bool advise) { HugePageAdvice.store(advise); }

} // namespace tessaria
