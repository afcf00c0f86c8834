#pragma once

#include <QTimer>

#include <functional>
#include <memory>

// The one-shot timer that ends the browser search's folding of favourites and recent items. Tests
// put in one they fire themselves.
class BrowserFoldTimer
{
public:
    virtual ~BrowserFoldTimer() = default;
    // Starts, or moves a running timer's end to ms from now.
    virtual void start(int ms, std::function<void()> fire) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// The main thread's run loop does the timing.
class BrowserQtFoldTimer : public BrowserFoldTimer
{
public:
    BrowserQtFoldTimer() { timer_.setSingleShot(true); }
    void start(int ms, std::function<void()> fire) override
    {
        timer_.disconnect();
        QObject::connect(&timer_, &QTimer::timeout, std::move(fire));
        timer_.start(ms);
    }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};
