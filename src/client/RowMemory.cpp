#include "client/RowMemory.h"

#include <algorithm>
#include <cstdint>

#include <sys/mman.h>

namespace
{
constexpr std::size_t hugePage = std::size_t(2) << 20;
constexpr std::size_t largestBlock = std::size_t(64) << 20;

std::size_t roundedUp(std::size_t size, std::size_t unit)
{
    return (size + unit - 1) / unit * unit;
}
} // namespace

// One mapped block, given back to the system when the last portion in it goes.
class RowMemory::Block
{
public:
    explicit Block(std::size_t size) : size_(size)
    {
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
            munmap(data_, size_);
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
