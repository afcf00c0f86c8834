#include "client/RowMemory.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

#include <sys/mman.h>

namespace
{
constexpr std::size_t hugePage = std::size_t(2) << 20;
constexpr std::size_t largestBlock = std::size_t(64) << 20;

// Blocks no result set holds any more, that the next result sets use.
constexpr std::size_t keptAtMost = std::size_t(128) << 20;

std::size_t roundedUp(std::size_t size, std::size_t unit)
{
    return (size + unit - 1) / unit * unit;
}

// The blocks of rows that have gone, kept up to a bound: a query run again writes its rows into memory
// the process has already, instead of faulting in fresh pages (on a virtual machine a fault costs
// microseconds, and a million rows need some twenty thousand). The system may take the pages back
// meanwhile (MADV_FREE): they are written before they are read.
class FreedBlocks
{
public:
    static FreedBlocks &shared()
    {
        static FreedBlocks blocks;
        return blocks;
    }

    // A kept block of size bytes up to twice that; its size, or 0 when there is none.
    std::size_t take(std::size_t size, std::byte **data)
    {
        std::lock_guard lock(mutex_);
        auto best = blocks_.end();
        for (auto it = blocks_.begin(); it != blocks_.end(); ++it) {
            if (it->second >= size && it->second <= 2 * size &&
                (best == blocks_.end() || it->second < best->second))
                best = it;
        }
        if (best == blocks_.end())
            return 0;
        const auto [taken, takenSize] = *best;
        blocks_.erase(best);
        kept_ -= takenSize;
        *data = taken;
        return takenSize;
    }

    // Keeps the block, or gives it back to the system beyond the bound.
    void give(std::byte *data, std::size_t size)
    {
        {
            std::lock_guard lock(mutex_);
            if (kept_ + size <= keptAtMost) {
                madvise(data, size, MADV_FREE);
                blocks_.emplace_back(data, size);
                kept_ += size;
                return;
            }
        }
        munmap(data, size);
    }

private:
    std::mutex mutex_;
    std::vector<std::pair<std::byte *, std::size_t>> blocks_;
    std::size_t kept_ = 0;
};
} // namespace

// One mapped block, kept for later result sets or given back to the system when the last portion in
// it goes.
class RowMemory::Block
{
public:
    explicit Block(std::size_t size) : size_(size)
    {
        if (const std::size_t kept = FreedBlocks::shared().take(size, &data_)) {
            size_ = kept;
            return;
        }
        // Huge pages cover only whole, aligned 2 MB ranges: a large block is placed on such a boundary.
        const std::size_t alignment = size >= hugePage ? hugePage : 0;
        void *mapped =
            mmap(nullptr, size + alignment, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED)
            return;
        auto *start = static_cast<std::byte *>(mapped);
        if (alignment) {
            const auto address = reinterpret_cast<std::uintptr_t>(mapped);
            const std::size_t head = roundedUp(address, alignment) - address;
            if (head)
                munmap(start, head);
            if (alignment - head)
                munmap(start + head + size, alignment - head);
            start += head;
            madvise(start, size, MADV_HUGEPAGE); // a hint: without huge pages the block works all the same
        }
        data_ = start;
    }
    ~Block()
    {
        if (data_)
            FreedBlocks::shared().give(data_, size_);
    }
    Block(const Block &) = delete;
    Block &operator=(const Block &) = delete;

    std::byte *data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    std::byte *data_ = nullptr;
    std::size_t size_;
};

RowMemory::Space RowMemory::allocate(std::size_t size)
{
    size = roundedUp(size == 0 ? 1 : size, 8);
    std::lock_guard lock(mutex_);
    if (!current_ || current_->size() - used_ < size) {
        const std::size_t wanted = std::max(size, nextBlockSize_);
        const std::size_t blockSize = roundedUp(wanted, wanted >= hugePage ? hugePage : hugePage / 8);
        auto block = std::make_shared<Block>(blockSize);
        if (!block->data())
            return {};
        current_ = std::move(block);
        used_ = 0;
        nextBlockSize_ = std::min(nextBlockSize_ * 2, largestBlock);
    }
    Space space{current_, current_->data() + used_};
    used_ += size;
    return space;
}
