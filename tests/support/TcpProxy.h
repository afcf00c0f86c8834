#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// A loopback TCP proxy in front of a real server, for network faults: it carries bytes both ways
// until told to stall (the network goes silent: nothing is carried, on open connections or new
// ones, and nothing is closed) or to cut (every open connection is reset). One thread polls every
// socket in a loop that wakes at least every few milliseconds to check for orders and for its end;
// the destructor ends and joins it and closes every socket.
class TcpProxy
{
public:
    // Forwards to the IPv4 address and port (e.g. "127.0.0.1", "5432").
    TcpProxy(const QString &targetAddress, const QString &targetPort);
    ~TcpProxy();
    TcpProxy(const TcpProxy &) = delete;
    TcpProxy &operator=(const TcpProxy &) = delete;

    // Where clients connect; "0" when no loopback port could be opened.
    QString port() const { return QString::number(port_); }

    void stall();
    void resume();
    // Resets every open connection (the peers see a reset, as from a dropped network path); new
    // connections are carried again. Returns once done.
    void cut();

    // Connections accepted so far, and those still open.
    int acceptedConnections() const { return accepted_; }
    int openConnections() const { return open_; }

private:
    void run();

    int listener_ = -1;
    quint16 port_ = 0;
    quint32 targetAddress_ = 0;
    quint16 targetPort_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> stalled_{false};
    std::atomic<int> accepted_{0};
    std::atomic<int> open_{0};
    std::mutex mutex_;
    std::condition_variable cutDone_;
    int cutsAsked_ = 0; // under mutex_
    int cutsDone_ = 0;  // under mutex_
    std::thread thread_;
};
