#pragma once

#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// A loopback server that accepts connections and never answers: a database that does not reply.
// The kernel completes the handshakes in the listen queue; nothing is ever read or written, the
// way a server that hangs looks to a driver. Real servers and closed ports answer at once.
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
            ::listen(fd_, 16) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &length) != 0)
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

    // Empty-handed ("0") when no loopback port could be opened.
    QString port() const { return QString::number(port_); }
    // A client has connected (and waits for an answer), or does so within the wait.
    bool hasPendingConnections(int waitMilliseconds = 0) const
    {
        pollfd poller{fd_, POLLIN, 0};
        return ::poll(&poller, 1, waitMilliseconds) == 1 && (poller.revents & POLLIN);
    }

private:
    int fd_ = -1;
    quint16 port_ = 0;
};
