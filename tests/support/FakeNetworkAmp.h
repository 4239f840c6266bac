#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

/** The network side of an amplifier for hub tests: one UDP socket on a loopback address
    (127.0.0.x only), sharing the hub's port the way a second host would.  It records what
    arrives and sends what the test tells it to; it answers nothing by itself. */
class FakeNetworkAmp
{
public:
    FakeNetworkAmp (const std::string& loopbackAddress, int portToUse)
        : port (portToUse)
    {
        if (loopbackAddress.rfind ("127.", 0) != 0)
            throw std::invalid_argument ("loopback addresses only");

        handle = ::socket (AF_INET, SOCK_DGRAM, 0);
        const int on = 1;
        ::setsockopt (handle, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in local = addressOf (loopbackAddress, port);
        if (::bind (handle, reinterpret_cast<sockaddr*> (&local), sizeof local) != 0)
            throw std::runtime_error ("cannot bind the fake amplifier");
    }

    ~FakeNetworkAmp() { ::close (handle); }

    FakeNetworkAmp (const FakeNetworkAmp&) = delete;
    FakeNetworkAmp& operator= (const FakeNetworkAmp&) = delete;

    /** The next datagram, waiting up to `timeoutMs`; empty when none came. */
    std::vector<char> receive (int timeoutMs)
    {
        pollfd p { handle, POLLIN, 0 };
        if (::poll (&p, 1, timeoutMs) <= 0)
            return {};
        std::vector<char> data (2048);
        const auto n = ::recv (handle, data.data(), data.size(), 0);
        data.resize (n > 0 ? (std::size_t) n : 0);
        return data;
    }

    /** Sends to the hub's port on a loopback address. */
    void send (const std::vector<char>& bytes, const std::string& to = "127.0.0.1")
    {
        sockaddr_in target = addressOf (to, port);
        ::sendto (handle, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*> (&target), sizeof target);
    }

    /** A UDP port free on loopback right now (each test takes its own: tests run in parallel). */
    static int freePort()
    {
        const int probe = ::socket (AF_INET, SOCK_DGRAM, 0);
        sockaddr_in any = addressOf ("127.0.0.1", 0);
        ::bind (probe, reinterpret_cast<sockaddr*> (&any), sizeof any);
        socklen_t length = sizeof any;
        ::getsockname (probe, reinterpret_cast<sockaddr*> (&any), &length);
        ::close (probe);
        return ntohs (any.sin_port);
    }

private:
    static sockaddr_in addressOf (const std::string& text, int portNumber)
    {
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_port = htons ((std::uint16_t) portNumber);
        ::inet_pton (AF_INET, text.c_str(), &a.sin_addr);
        return a;
    }

    int handle = -1;
    int port = 0;
};
