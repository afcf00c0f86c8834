#pragma once

#include <functional>

// The background checker's clock: one-shot calls on the main thread. Tests put a clock of their own
// in its place and move time by hand.
class BackgroundCheckTimers
{
public:
    using Cancel = std::function<void()>;
    virtual ~BackgroundCheckTimers() = default;
    // Calls fire on the main thread after the delay, unless the answer was called first.
    virtual Cancel after(double seconds, std::function<void()> fire);
};
