#pragma once

#include "bridge/QoJavaBridge.h"
#include "platform/Bundle.h"

#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// The shared bridge with the backend of the build tree. Started once per test binary, on the main
// thread.
inline QoJavaBridge *startedBackend()
{
    static QoJavaBridge *bridge = [] {
        Bundle::setMainBundlePrefix(qEnvironmentVariable("VORN_BUILD_DIR"));
        return QoJavaBridge::javaBridge();
    }();
    return bridge;
}

// A loopback server that accepts connections and never answers: a database that does not reply.
// The kernel completes the handshakes; nothing is ever read or written.
class SilentServer
{
public:
    SilentServer()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
            ::listen(fd_, 8) != 0 || ::getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            return;
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SilentServer(const SilentServer &) = delete;
    SilentServer &operator=(const SilentServer &) = delete;

    QString port() const { return QString::number(port_); }
    // A client has connected (and waits for an answer).
    bool hasPendingConnections() const
    {
        pollfd poller{fd_, POLLIN, 0};
        return ::poll(&poller, 1, 0) == 1 && (poller.revents & POLLIN);
    }

private:
    int fd_ = -1;
    quint16 port_ = 0;
};
