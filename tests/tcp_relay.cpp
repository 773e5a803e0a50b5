#include "tests/tcp_relay.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace db::test {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error("tcp relay: " + what + ": " + std::strerror(errno));
}

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// Non-blocking, and each piece passed on at once: the relay must not hold
// back the small packets of a request and its answer.
void prepare(int socket) {
    ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK);
    const int on = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void cutSocket(int socket) {
    ::shutdown(socket, SHUT_RDWR);
    ::close(socket);
}

// One way of a relayed connection: what was read from `from` waits in
// `pending` until it is written to `to`.
struct Direction {
    int from = -1;
    int to = -1;
    std::vector<char> pending;
    std::size_t written = 0;
    // `from` sent all it had.
    bool ended = false;
    // `to` was told so.
    bool shut = false;

    bool waiting() const { return written < pending.size(); }
    bool done() const { return ended && shut; }
};

struct Link {
    Link(int client, int server) {
        up.from = client;
        up.to = server;
        down.from = server;
        down.to = client;
    }
    ~Link() {
        cutSocket(up.from);
        cutSocket(down.from);
    }
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    Direction up;
    Direction down;
    bool broken = false;
};

} // namespace

struct TcpRelay::Links {
    std::vector<std::unique_ptr<Link>> all;
};

TcpRelay::TcpRelay(int serverPort) : serverPort_(serverPort) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0)
        fail("socket");
    const int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(listener_);
        fail("listen");
    }
    port_ = ntohs(address.sin_port);
    ::fcntl(listener_, F_SETFL, ::fcntl(listener_, F_GETFL) | O_NONBLOCK);
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        ::close(listener_);
        fail("pipe");
    }
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    thread_ = std::thread([this] { run(); });
}

TcpRelay::~TcpRelay() {
    stopping_ = true;
    wake();
    thread_.join();
    ::close(listener_);
    ::close(wakeRead_);
    ::close(wakeWrite_);
}

std::uint64_t TcpRelay::bytes() const {
    const std::lock_guard lock(mutex_);
    return delivered_;
}

void TcpRelay::cutAfter(std::uint64_t bytes) {
    {
        const std::lock_guard lock(mutex_);
        armed_ = true;
        limit_ = delivered_ + bytes;
    }
    wake();
}

void TcpRelay::disarm() {
    const std::lock_guard lock(mutex_);
    armed_ = false;
}

void TcpRelay::wake() const {
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &byte, 1);
}

void TcpRelay::run() {
    Links links;

    // Takes a connection waiting to be accepted and opens its twin to the
    // server; a server that refuses it closes the client's at once.
    const auto accept = [&] {
        for (;;) {
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                return;
            const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const sockaddr_in address = loopback(serverPort_);
            if (server < 0 || ::connect(server, reinterpret_cast<const sockaddr*>(&address),
                                        sizeof address) != 0) {
                if (server >= 0)
                    ::close(server);
                cutSocket(client);
                continue;
            }
            prepare(client);
            prepare(server);
            links.all.push_back(std::make_unique<Link>(client, server));
        }
    };

    // Reads what `from` has, when the bytes read before are passed on.
    const auto read = [](Link& link, Direction& direction) {
        if (direction.ended || direction.waiting())
            return;
        direction.pending.resize(kBufferSize);
        direction.written = 0;
        const ssize_t got = ::recv(direction.from, direction.pending.data(), kBufferSize, 0);
        if (got > 0) {
            direction.pending.resize(static_cast<std::size_t>(got));
            return;
        }
        direction.pending.clear();
        if (got == 0) {
            direction.ended = true;
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            link.broken = true;
        }
    };

    // Writes what waits, as far as an armed cut lets it; an end of `from`
    // goes on to `to` once everything before it is written.
    const auto write = [this](Link& link, Direction& direction) {
        while (direction.waiting()) {
            const std::lock_guard lock(mutex_);
            std::size_t size = direction.pending.size() - direction.written;
            if (armed_)
                size = std::min<std::uint64_t>(size, limit_ - delivered_);
            if (size == 0)
                return;
            const ssize_t sent = ::send(direction.to, direction.pending.data() + direction.written,
                                        size, MSG_NOSIGNAL);
            if (sent < 0) {
                if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                    link.broken = true;
                return;
            }
            direction.written += static_cast<std::size_t>(sent);
            delivered_ += static_cast<std::uint64_t>(sent);
        }
        if (direction.ended && !direction.shut) {
            ::shutdown(direction.to, SHUT_WR);
            direction.shut = true;
        }
    };

    const auto cutDue = [this] {
        const std::lock_guard lock(mutex_);
        return armed_ && delivered_ >= limit_;
    };

    std::vector<pollfd> polled;
    while (!stopping_) {
        // A cut strikes every connection there is, and waits for one when
        // there is none yet. It is counted before the sockets close, so that
        // a client that sees its connection go also sees the cut.
        if (cutDue() && !links.all.empty()) {
            {
                const std::lock_guard lock(mutex_);
                armed_ = false;
                ++cuts_;
            }
            links.all.clear();
        }
        polled.clear();
        polled.push_back({wakeRead_, POLLIN, 0});
        polled.push_back({listener_, POLLIN, 0});
        for (const auto& link : links.all) {
            for (const Direction* direction : {&link->up, &link->down}) {
                const Direction& other = direction == &link->up ? link->down : link->up;
                short events = 0;
                if (!direction->ended && !direction->waiting())
                    events |= POLLIN;
                if (other.waiting())
                    events |= POLLOUT;
                polled.push_back({direction->from, events, 0});
            }
        }
        if (::poll(polled.data(), polled.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if ((polled[0].revents & POLLIN) != 0) {
            char drained[64];
            while (::read(wakeRead_, drained, sizeof drained) > 0) {
            }
        }
        std::size_t next = 2;
        for (const auto& link : links.all) {
            for (Direction* direction : {&link->up, &link->down}) {
                const short revents = polled[next++].revents;
                if ((revents & (POLLIN | POLLHUP)) != 0)
                    read(*link, *direction);
                if ((revents & POLLERR) != 0)
                    link->broken = true;
            }
            write(*link, link->up);
            write(*link, link->down);
        }
        std::erase_if(links.all, [](const std::unique_ptr<Link>& link) {
            return link->broken || (link->up.done() && link->down.done());
        });
        if ((polled[1].revents & POLLIN) != 0)
            accept();
    }
}

} // namespace db::test
