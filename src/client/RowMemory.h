#pragma once

#include <cstddef>
#include <memory>
#include <mutex>

// Memory for the rows of one result set, handed out from large blocks that grow as rows arrive. A million
// rows touch some eighty megabytes: in blocks of a few megabytes the kernel may back them with huge pages,
// which spares it a page fault for every four kilobytes, and the blocks of result sets that have gone are
// kept (up to 128 MB) for the next ones. Any thread may allocate.
class RowMemory
{
public:
    // Room for size bytes, aligned to 8; the owner keeps its block alive. No data without memory.
    struct Space {
        std::shared_ptr<const void> owner;
        std::byte *data = nullptr;
    };

    RowMemory() = default;
    RowMemory(const RowMemory &) = delete;
    RowMemory &operator=(const RowMemory &) = delete;

    Space allocate(std::size_t size);

private:
    class Block;

    std::mutex mutex_;
    std::shared_ptr<Block> current_;
    std::size_t used_ = 0;
    std::size_t nextBlockSize_ = std::size_t(1) << 18;
};
