#include "TcpProxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace
{

// How long one poll waits before the loop looks at its orders again.
constexpr int pollMilliseconds = 10;
// Bytes held per direction before the proxy stops reading from the sender.
constexpr size_t bufferLimit = 1 << 20;

// One client connection and its connection to the server, with the bytes on their way.
struct Link {
    int client = -1;
    int server = -1;
    std::string toServer;
    std::string toClient;
    bool closed = false;
};

void setNonBlocking(int fd)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

void reset(int fd)
{
    if (fd < 0)
        return;
    const linger abort{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    ::close(fd);
}

int connectTo(quint32 address, quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = address;
    target.sin_port = htons(port);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&target), sizeof target) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

// Reads what the socket has into the buffer; false once the peer has gone.
bool receive(int fd, std::string &buffer)
{
    char chunk[65536];
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n > 0) {
        buffer.append(chunk, size_t(n));
        return true;
    }
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
}

// Writes what the socket takes from the buffer; false once the peer has gone.
bool send(int fd, std::string &buffer)
{
    const ssize_t n = ::send(fd, buffer.data(), buffer.size(), MSG_NOSIGNAL);
    if (n >= 0) {
        buffer.erase(0, size_t(n));
        return true;
    }
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

short interest(const std::string &incoming, const std::string &outgoing)
{
    short events = 0;
    if (incoming.size() < bufferLimit)
        events |= POLLIN;
    if (!outgoing.empty())
        events |= POLLOUT;
    return events;
}

// Carries bytes on one side of a link as far as poll said it can.
bool serve(int fd, short revents, std::string &incoming, std::string &outgoing)
{
    if ((revents & POLLIN) && !receive(fd, incoming))
        return false;
    if ((revents & POLLOUT) && !send(fd, outgoing))
        return false;
    return !(revents & (POLLERR | POLLNVAL)) && !((revents & POLLHUP) && !(revents & POLLIN));
}

} // namespace

TcpProxy::TcpProxy(const QString &targetAddress, const QString &targetPort)
{
    ::inet_pton(AF_INET, targetAddress.toLatin1().constData(), &targetAddress_);
    targetPort_ = targetPort.toUShort();
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        ::listen(listener_, 64) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return;
    setNonBlocking(listener_);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

TcpProxy::~TcpProxy()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listener_ >= 0)
        ::close(listener_);
}

void TcpProxy::stall()
{
    stalled_ = true;
}

void TcpProxy::resume()
{
    stalled_ = false;
}

void TcpProxy::cut()
{
    std::unique_lock lock(mutex_);
    const int order = ++cutsAsked_;
    cutDone_.wait_for(lock, std::chrono::seconds(5), [&] { return cutsDone_ >= order; });
}

void TcpProxy::run()
{
    std::vector<Link> links;
    std::vector<pollfd> polled;
    while (!stop_) {
        {
            std::lock_guard lock(mutex_);
            if (cutsDone_ != cutsAsked_) {
                for (Link &link : links) {
                    reset(link.client);
                    reset(link.server);
                }
                links.clear();
                cutsDone_ = cutsAsked_;
                cutDone_.notify_all();
            }
        }
        open_ = int(links.size());

        const bool carrying = !stalled_;
        polled.assign(1, pollfd{listener_, POLLIN, 0});
        for (const Link &link : links) {
            polled.push_back({link.client, short(carrying ? interest(link.toServer, link.toClient) : 0), 0});
            polled.push_back({link.server, short(carrying ? interest(link.toClient, link.toServer) : 0), 0});
        }
        if (::poll(polled.data(), polled.size(), pollMilliseconds) <= 0)
            continue;

        for (size_t i = 0; i < links.size(); ++i) {
            Link &link = links[i];
            const short clientEvents = polled[1 + 2 * i].revents;
            const short serverEvents = polled[2 + 2 * i].revents;
            link.closed = !serve(link.client, clientEvents, link.toServer, link.toClient) ||
                          !serve(link.server, serverEvents, link.toClient, link.toServer);
            if (link.closed) {
                // What was on its way to the peer still goes, as far as the peer takes it at once.
                send(link.client, link.toClient);
                send(link.server, link.toServer);
                ::close(link.client);
                ::close(link.server);
            }
        }
        std::erase_if(links, [](const Link &link) { return link.closed; });

        if (polled[0].revents & POLLIN) {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client >= 0) {
                ++accepted_;
                const int server = connectTo(targetAddress_, targetPort_);
                if (server < 0) {
                    ::close(client);
                } else {
                    setNonBlocking(client);
                    setNonBlocking(server);
                    links.push_back({client, server, {}, {}, false});
                }
            }
        }
        open_ = int(links.size());
    }
    for (Link &link : links) {
        ::close(link.client);
        ::close(link.server);
    }
}
