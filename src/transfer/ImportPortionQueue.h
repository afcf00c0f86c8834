#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

// Hands portions of work from one thread to another, holding at most a few: the producer waits while
// the queue is full, the consumer while it is empty. Either side may close it; once closed, a waiting
// producer gives up and the consumer takes what is left, then nothing.
template <typename Portion> class ImportPortionQueue
{
public:
    explicit ImportPortionQueue(size_t capacity) : capacity_(capacity) {}

    // False when the queue was closed: the portion is dropped and the producer should stop.
    bool push(Portion portion)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return closed_ || waiting_.size() < capacity_; });
        if (closed_)
            return false;
        waiting_.push_back(std::move(portion));
        changed_.notify_all();
        return true;
    }

    // The next portion; nothing once the queue is closed and empty.
    std::optional<Portion> pop()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return closed_ || !waiting_.empty(); });
        if (waiting_.empty())
            return std::nullopt;
        Portion portion = std::move(waiting_.front());
        waiting_.pop_front();
        changed_.notify_all();
        return portion;
    }

    void close()
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }

private:
    const size_t capacity_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Portion> waiting_;
    bool closed_ = false;
};
