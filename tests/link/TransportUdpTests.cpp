// The UDP transport over real sockets on loopback.  Every test first moves the process into a network
// namespace of its own (only loopback, plus 0.0.0.1 so that a datagram to the placeholder
// would be seen, and a broadcast route onto loopback), so nothing can leave the machine
// and parallel tests cannot meet on a port.  Without the privilege for that, they skip.

#include "PostRecorder.h"
#include "PrivateNetwork.h"
#include "HostAddress.h"
#include "UdpConnection.h"
#include "UdpSocket.h"
#include "LinkMessage.h"
#include "MessageLoop.h"
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace
{
    constexpr int testTag = osc::messageTag;

    // Inside its own namespace the test can give loopback the placeholder address, so a
    // datagram sent there would really arrive and be seen, and a route for broadcasts.
    const char* const loopbackExtras = "ip addr add 0.0.0.1/32 dev lo && ip route add 255.255.255.255/32 dev lo";

    std::uint32_t addressOf (const char* dotted)
    {
        return hostaddress::parseDotted (dotted).value_or (0);
    }

    std::string ipv4 (const char* dotted)
    {
        const auto a = addressOf (dotted);
        return std::string (reinterpret_cast<const char*> (&a), 4);
    }

    /** A plain socket standing in for an amplifier (or a bystander). */
    struct Peer
    {
        Peer (const char* address, int port)
        {
            handle = ::socket (AF_INET, SOCK_DGRAM, 0);
            const int on = 1;
            setsockopt (handle, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
            setsockopt (handle, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
            sockaddr_in a = endpoint (address, port);
            bound = ::bind (handle, reinterpret_cast<sockaddr*> (&a), sizeof a) == 0;
        }
        ~Peer() { ::close (handle); }

        static sockaddr_in endpoint (const char* address, int port)
        {
            sockaddr_in a {};
            a.sin_family = AF_INET;
            a.sin_port = htons ((uint16_t) port);
            inet_pton (AF_INET, address, &a.sin_addr);
            return a;
        }

        bool send (const std::string& bytes, const char* address, int port) const
        {
            auto to = endpoint (address, port);
            return ::sendto (handle, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*> (&to), sizeof to)
                   == (ssize_t) bytes.size();
        }

        /** The next datagram within `timeoutMs`, or nothing. */
        bool receive (std::string& bytes, int timeoutMs = 300) const
        {
            timeval tv { timeoutMs / 1000, (timeoutMs % 1000) * 1000 };
            setsockopt (handle, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
            char buffer[2048];
            const auto n = ::recv (handle, buffer, sizeof buffer, 0);
            if (n < 0)
                return false;
            bytes.assign (buffer, (size_t) n);
            return true;
        }

        int handle = -1;
        bool bound = false;
    };

    /** Keeps what the transport posts; sorts packets by their sender. */
    struct Recorder : public PostRecorder
    {
        std::vector<Posted> from (const char* sender) const { return withPrefix (ipv4 (sender)); }
    };

    /** Sockets of this namespace bound to `port` on every address (/proc/net/udp). */
    int wildcardSocketsOnPort (int port)
    {
        std::ifstream table ("/proc/net/udp");
        std::string line;
        char wanted[32];
        std::snprintf (wanted, sizeof wanted, "00000000:%04X", port);
        int count = 0;

        while (std::getline (table, line))
        {
            std::istringstream fields (line);
            std::string slot, local;
            if (fields >> slot >> local && local == wanted)
                ++count;
        }
        return count;
    }

    std::string datagram (int size)
    {
        std::string s ((size_t) size, 'd');
        if (size > 0)
            s[0] = '/';
        for (int i = 0; i < size; ++i)
            s[(size_t) i] = (char) (i == 0 ? '/' : 'a' + i % 26);
        return s;
    }

    /** The hub's way of choosing an amplifier: stop, replace the socket, restart. */
    DatagramSocket* renew (UdpConnection& udp, int port)
    {
        udp.stopThread (4000);
        udp.setSocket (std::make_unique<UdpSocket> (port));
        udp.startThread();
        return udp.getSocket();
    }
}

TEST (UdpTransport, PostsWholeWordDatagramsUpTo128BytesWithTheSender)
{
    REQUIRE_PRIVATE_NETWORK (loopbackExtras);
    constexpr int port = 41001;
    Recorder hub;
    UdpConnection udp (hub, testTag, port);
    ASSERT_TRUE (renew (udp, port)->isOpen());

    Peer amp ("127.0.0.2", port);
    ASSERT_TRUE (amp.bound);
    for (int size : { 2, 130, 0, 6, 4, 132, 129, 128, 1, 8 })
        ASSERT_TRUE (amp.send (datagram (size), "127.0.0.1", port)) << size;

    ASSERT_TRUE (testloop::runUntil ([&] { return hub.posted.size() >= 3; }));
    testloop::run (100);

    ASSERT_EQ (hub.posted.size(), 3u);
    const int expectedSizes[] = { 4, 128, 8 };
    for (size_t i = 0; i < 3; ++i)
    {
        const auto& p = hub.posted[i];
        EXPECT_EQ (p.tag, testTag);
        EXPECT_TRUE (p.isPacket);
        EXPECT_EQ (p.source, osc::PacketSource::network);
        EXPECT_EQ (p.bytes, ipv4 ("127.0.0.2") + datagram (expectedSizes[i])) << "datagram " << i;
    }
    EXPECT_EQ (hub.posted[1].bytes.size(), 132u);
}

TEST (UdpTransport, ChoosingADeviceTwiceLeavesOneBoundSocketThatWorks)
{
    REQUIRE_PRIVATE_NETWORK (loopbackExtras);
    constexpr int port = 41002;
    Recorder hub;
    UdpConnection udp (hub, testTag, port);
    renew (udp, port);
    EXPECT_EQ (wildcardSocketsOnPort (port), 1);

    Peer first ("127.0.0.2", port), second ("127.0.0.3", port);
    ASSERT_TRUE (renew (udp, port)->isOpen());
    ASSERT_TRUE (renew (udp, port)->isOpen());
    EXPECT_EQ (wildcardSocketsOnPort (port), 1);

    const auto request = datagram (12);
    std::string received;
    ASSERT_TRUE (udp.send (addressOf ("127.0.0.3"), request.data(), (int) request.size()));
    ASSERT_TRUE (second.receive (received));
    EXPECT_EQ (received, request);
    EXPECT_FALSE (first.receive (received, 100));

    ASSERT_TRUE (second.send (datagram (16), "127.0.0.1", port));
    ASSERT_TRUE (testloop::runUntil ([&] { return ! hub.posted.empty(); }));
    EXPECT_EQ (hub.posted[0].bytes, ipv4 ("127.0.0.3") + datagram (16));

    udp.stopThread (4000);
    udp.setSocket (nullptr);
    EXPECT_EQ (wildcardSocketsOnPort (port), 0);
}

TEST (UdpTransport, NothingIsSentToThePlaceholder)
{
    REQUIRE_PRIVATE_NETWORK (loopbackExtras);
    constexpr int port = 41003;
    Recorder hub;
    UdpConnection udp (hub, testTag, port);
    auto* socket = renew (udp, port);
    ASSERT_TRUE (socket->isOpen());

    Peer placeholder ("0.0.0.1", port);
    ASSERT_TRUE (placeholder.bound);

    // Before an amplifier is chosen the hub's device address is 0.0.0.0.
    const auto message = datagram (8);
    EXPECT_FALSE (udp.send (0, message.data(), (int) message.size()));
    EXPECT_FALSE (socket->send (addressOf ("0.0.0.1"), port, message.data(), (int) message.size()));
    EXPECT_FALSE (socket->send (addressOf ("0.200.0.9"), port, message.data(), (int) message.size()));

    std::string received;
    EXPECT_FALSE (placeholder.receive (received, 200));

    // The namespace would have delivered it: an ordinary socket gets through.
    Peer bystander ("127.0.0.9", port);
    ASSERT_TRUE (bystander.send (message, "0.0.0.1", port));
    EXPECT_TRUE (placeholder.receive (received));
}

TEST (UdpTransport, BroadcastQueryIsAnsweredByEachAmplifierWithItsOwnAddress)
{
    REQUIRE_PRIVATE_NETWORK (loopbackExtras);
    constexpr int port = 41004;
    Recorder hub;
    UdpConnection udp (hub, testTag, port);
    auto* socket = renew (udp, port);

    // The amplifiers hear broadcasts on the broadcast address and answer from their own.
    Peer ears ("255.255.255.255", port);
    Peer ampA ("127.0.0.2", port), ampB ("127.0.0.3", port);
    ASSERT_TRUE (ears.bound && ampA.bound && ampB.bound);

    const std::string query ("/info\0\0\0,\0\0\0", 12);
    ASSERT_TRUE (socket->send (addressOf ("255.255.255.255"), port, query.data(), (int) query.size()));

    std::string heard;
    ASSERT_TRUE (ears.receive (heard));
    EXPECT_EQ (heard, query);

    ASSERT_TRUE (ampA.send (datagram (20), "127.0.0.1", port));
    ASSERT_TRUE (ampB.send (datagram (24), "127.0.0.1", port));
    ASSERT_TRUE (
        testloop::runUntil ([&] { return hub.from ("127.0.0.2").size() == 1 && hub.from ("127.0.0.3").size() == 1; }));
    EXPECT_EQ (hub.from ("127.0.0.2")[0].bytes.substr (4), datagram (20));
    EXPECT_EQ (hub.from ("127.0.0.3")[0].bytes.substr (4), datagram (24));

    // A target typed wrongly never becomes an address to send to.
    EXPECT_FALSE (hostaddress::resolve ("").has_value());
    EXPECT_FALSE (hostaddress::resolve ("no such host").has_value());
}

TEST (UdpTransport, ReceiveThreadGivesUpOnlyOnABrokenSocket)
{
    REQUIRE_PRIVATE_NETWORK (loopbackExtras);
    constexpr int port = 41005;
    Recorder hub;
    UdpConnection udp (hub, testTag, port);

    // (A socket that fails is given up: see UdpTransportSimulated, where one can be made to.)

    // Stopping the thread to replace the socket is no failure of the socket.
    auto* good = renew (udp, port);
    ASSERT_TRUE (good->isOpen());
    testloop::run (20);
    udp.stopThread (4000);
    EXPECT_TRUE (udp.isUsable());
    Peer amp ("127.0.0.2", port);
    std::string received;
    ASSERT_TRUE (udp.send (addressOf ("127.0.0.2"), "/abc", 4));
    EXPECT_TRUE (amp.receive (received));

    // No socket at all: the thread just ends.
    udp.setSocket (nullptr);
    udp.startThread();
    EXPECT_TRUE (testloop::runUntil ([&] { return ! udp.isThreadRunning(); }));
}

TEST (UdpTransport, AnotherHolderOfThePortOnEveryAddressKeepsItAndTheSocketSaysSo)
{
    REQUIRE_PRIVATE_NETWORK (loopbackExtras);
    constexpr int port = 41011;

    // Another program (with address reuse, as many OSC programs set it) holds every address.
    Peer other ("0.0.0.0", port);
    ASSERT_TRUE (other.bound);

    UdpSocket socket (port);
    ASSERT_TRUE (socket.isOpen());
    EXPECT_FALSE (socket.holdsPort());
    EXPECT_EQ (wildcardSocketsOnPort (port), 1);   // it did not take a share of the answers

    // Still sends, from a port of the system's choosing.
    const std::string bytes = "/abc";
    ASSERT_TRUE (socket.send (addressOf ("127.0.0.1"), port, bytes.data(), (int) bytes.size()));
    std::string got;
    ASSERT_TRUE (other.receive (got));
    EXPECT_EQ (got, bytes);
}

TEST (UdpTransport, OnlyOneOfTwoProgramSocketsHoldsThePortAndTheOtherGetsItOnceFree)
{
    REQUIRE_PRIVATE_NETWORK (loopbackExtras);
    constexpr int port = 41012;

    auto first = std::make_unique<UdpSocket> (port);
    UdpSocket second (port);
    EXPECT_TRUE (first->holdsPort());
    EXPECT_FALSE (second.holdsPort());

    first.reset();
    UdpSocket third (port);
    EXPECT_TRUE (third.holdsPort());
}

TEST (UdpTransport, SimulatorsOnLoopbackAddressesShareThePortInEitherOrder)
{
    REQUIRE_PRIVATE_NETWORK (loopbackExtras);
    constexpr int port = 41013;

    Peer before ("127.0.0.2", port);
    ASSERT_TRUE (before.bound);
    UdpSocket socket (port);
    EXPECT_TRUE (socket.holdsPort());

    Peer after ("127.0.0.3", port);
    EXPECT_TRUE (after.bound);

    // Answers from both reach the program's socket.
    ASSERT_TRUE (before.send ("/one", "127.0.0.1", port));
    ASSERT_TRUE (after.send ("/two", "127.0.0.1", port));
    std::uint32_t sender = 0;
    char buffer[16];
    int received = 0;
    for (int i = 0; i < 2; ++i)
        if (socket.waitForDatagram (1000) == DatagramSocket::WaitResult::ready
            && socket.receive (buffer, sizeof buffer, sender) == 4)
            ++received;
    EXPECT_EQ (received, 2);
}
