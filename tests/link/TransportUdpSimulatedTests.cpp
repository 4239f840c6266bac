// The UDP transport over the simulated network: what it posts and drops, when it gives a
// socket up, and that its thread sleeps until a datagram or a stop arrives.  No real socket.

#include "LinkMessage.h"
#include "MessageLoop.h"
#include "PostRecorder.h"
#include "SimulatedNetwork.h"
#include "UdpConnection.h"

#include <gtest/gtest.h>
#include <string>

namespace
{
    constexpr int port = 3456;

    std::string datagram (int size)
    {
        std::string s ((std::size_t) size, '/');
        for (int i = 1; i < size; ++i)
            s[(std::size_t) i] = (char) ('a' + i % 26);
        return s;
    }

    std::string prefixOf (std::uint32_t address)
    {
        return std::string (reinterpret_cast<const char*> (&address), 4);
    }

    struct UdpTransportSimulated : public ::testing::Test
    {
        void start()
        {
            udp.setSocket (net.makeSocket (port));
            udp.startThread();
        }

        SimulatedNetwork net;
        PostRecorder hub;
        UdpConnection udp { hub, osc::messageTag, port };
    };
}

TEST_F (UdpTransportSimulated, PostsWholeWordDatagramsOf4To128BytesWithTheirSender)
{
    start();
    const auto amp = SimulatedNetwork::address ("192.0.2.11");
    for (int size : { 0, 2, 4, 6, 128, 129, 132, 4096, 8 })
    {
        const auto bytes = datagram (size);
        net.inject (amp, port, { bytes.begin(), bytes.end() });
    }

    ASSERT_TRUE (testloop::runUntil ([&] { return hub.posted.size() >= 3; }));
    testloop::run (50);

    ASSERT_EQ (hub.posted.size(), 3u);
    const int expected[] = { 4, 128, 8 };
    for (std::size_t i = 0; i < 3; ++i)
    {
        EXPECT_TRUE (hub.posted[i].isPacket);
        EXPECT_EQ (hub.posted[i].source, osc::PacketSource::network);
        EXPECT_EQ (hub.posted[i].bytes, prefixOf (amp) + datagram (expected[i])) << "datagram " << i;
    }
}

TEST_F (UdpTransportSimulated, ASocketThatFailsIsGivenUpAndNotSentOn)
{
    // One that could not be opened: the thread ends at once.
    net.failNextSocket();
    start();
    ASSERT_TRUE (testloop::runUntil ([&] { return ! udp.isThreadRunning(); }));
    EXPECT_FALSE (udp.isUsable());
    EXPECT_FALSE (udp.send (SimulatedNetwork::address ("192.0.2.11"), "/abc", 4));

    // One that fails while in use: the same, and a fresh one works again.
    udp.stopThread (4000);
    start();
    EXPECT_TRUE (udp.isUsable());
    net.breakOpenSockets();
    ASSERT_TRUE (testloop::runUntil ([&] { return ! udp.isThreadRunning(); }));
    EXPECT_FALSE (udp.isUsable());
    EXPECT_FALSE (udp.send (SimulatedNetwork::address ("192.0.2.11"), "/abc", 4));

    start();
    EXPECT_TRUE (udp.send (SimulatedNetwork::address ("192.0.2.11"), "/abc", 4));
    ASSERT_EQ (net.sent().size(), 1u);
    EXPECT_EQ (net.sent()[0].port, port);
}

TEST_F (UdpTransportSimulated, TheThreadSleepsUntilADatagramOrAStopArrives)
{
    start();
    testloop::run (300);
    EXPECT_EQ (net.waitsEnded(), 0);   // no polling: still in its first wait

    net.inject (SimulatedNetwork::address ("192.0.2.11"), port, { 'a', 'b', 'c', 'd' });
    ASSERT_TRUE (testloop::runUntil ([&] { return hub.posted.size() == 1; }));
    EXPECT_EQ (net.waitsEnded(), 1);

    EXPECT_TRUE (udp.stopThread (4000));
    EXPECT_EQ (net.waitsEnded(), 2);   // woken once, to leave
    EXPECT_TRUE (udp.isUsable());      // a stop is no failure of the socket
}
