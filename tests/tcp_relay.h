#pragma once
// A TCP relay between a client and a server on the loopback interface, for
// the tests of a network that goes away. It listens on a free port of
// 127.0.0.1 and forwards every connection made to it, both ways, to the
// server's port, counting the bytes it delivers. Armed with a number of
// bytes, it cuts: once that many more bytes have been delivered (both ways
// together), it shuts down and closes both sides of every connection it
// relays, and delivers nothing more of them. A connection made after a cut
// is relayed again, uncut.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace db::test {

class TcpRelay {
public:
    // Forwards to 127.0.0.1:serverPort. Raises std::runtime_error when it
    // cannot listen.
    explicit TcpRelay(int serverPort);
    ~TcpRelay();
    TcpRelay(const TcpRelay&) = delete;
    TcpRelay& operator=(const TcpRelay&) = delete;

    // The port the relay listens on.
    int port() const { return port_; }
    // Bytes delivered so far, both ways, since the relay started.
    std::uint64_t bytes() const;
    // Arms the cut: it strikes once `bytes` more bytes have been delivered,
    // and with 0 before the next byte, at the latest when a connection
    // comes. A byte of the cut connections beyond the count never arrives.
    void cutAfter(std::uint64_t bytes);
    // Takes back a cut that has not struck.
    void disarm();
    // How many cuts have struck.
    int cuts() const { return cuts_.load(); }

private:
    struct Links;
    void run();
    void wake() const;

    int serverPort_;
    int listener_ = -1;
    int port_ = 0;
    // The relay's thread polls the read end; a byte on the write end wakes it.
    int wakeRead_ = -1;
    int wakeWrite_ = -1;

    // Guards the count and the limit, which the relay's thread and the test
    // share.
    mutable std::mutex mutex_;
    std::uint64_t delivered_ = 0;
    bool armed_ = false;
    std::uint64_t limit_ = 0;

    std::atomic<int> cuts_{0};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace db::test
