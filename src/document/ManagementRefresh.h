#pragma once

#include <QTimer>

class VornDocument;

// The auto-refresh of management views: while the browser shows a management view whose options ask
// for "autorefresh", its rows are read again 5 seconds after each load or refresh. Main thread.
class ManagementRefresh
{
public:
    static constexpr int intervalMs = 5000;

    explicit ManagementRefresh(VornDocument &document);

    // After a view was loaded or refreshed: arms the timer again, or stops it for a view without
    // auto-refresh. Outside management mode a running timer is left to fire once.
    void checkManagementTimer();
    // The timer's work: the shown view refreshes while the browser is still in management mode.
    void managementAutoUpdate();
    void stop() { timer_.stop(); }

    const QTimer &timer() const { return timer_; }
    // Tests shorten the wait.
    void setInterval(int ms) { timer_.setInterval(ms); }

private:
    VornDocument &document_;
    QTimer timer_;
};
