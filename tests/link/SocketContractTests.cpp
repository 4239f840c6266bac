// The promises of DatagramSocket, checked against the real socket (on loopback, in a private
// network namespace; skipped where none can be made) and against the simulated network the
// hub tests use, so that the stand-in cannot drift from what it stands in for.

#include "DatagramSocket.h"
#include "HostAddress.h"
#include "PrivateNetwork.h"
#include "SimulatedNetwork.h"
#include "UdpSocket.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <chrono>
#include <optional>
#include <string>
#include <thread>

namespace
{
    constexpr int programPort = 41020;
    constexpr const char* peerAddress = "127.0.0.2";

    std::uint32_t addressOf (const char* dotted)
    {
        return hostaddress::parseDotted (dotted).value_or (0);
    }

    /** The real socket, and a plain socket on 127.0.0.2 standing for another host. */
    struct RealNetwork
    {
        static bool available() { return testnet::enterPrivateNetwork(); }

        RealNetwork()
        {
            peer = ::socket (AF_INET, SOCK_DGRAM, 0);
            const int on = 1;   // shares the port with the program's socket, as a second host would
            ::setsockopt (peer, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
            sockaddr_in own = endpoint (peerAddress, programPort);
            ::bind (peer, reinterpret_cast<sockaddr*> (&own), sizeof own);
        }
        ~RealNetwork() { ::close (peer); }

        std::unique_ptr<DatagramSocket> makeSocket() { return std::make_unique<UdpSocket> (programPort); }

        void peerSends (const std::string& bytes)
        {
            sockaddr_in to = endpoint ("127.0.0.1", programPort);
            ::sendto (peer, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*> (&to), sizeof to);
        }

        std::optional<std::string> peerReceives (int timeoutMs)
        {
            pollfd p { peer, POLLIN, 0 };
            if (::poll (&p, 1, timeoutMs) <= 0)
                return std::nullopt;
            char buffer[2048];
            const auto n = ::recv (peer, buffer, sizeof buffer, 0);
            return n < 0 ? std::nullopt : std::optional<std::string> (std::string (buffer, (std::size_t) n));
        }

        static sockaddr_in endpoint (const char* dotted, int port)
        {
            sockaddr_in a {};
            a.sin_family = AF_INET;
            a.sin_port = htons ((std::uint16_t) port);
            a.sin_addr.s_addr = addressOf (dotted);
            return a;
        }

        int peer = -1;
    };

    /** The simulated network with a peer on 127.0.0.2. */
    struct Simulated
    {
        static bool available() { return true; }

        std::unique_ptr<DatagramSocket> makeSocket() { return network.makeSocket (programPort); }
        void peerSends (const std::string& bytes) { peer.send ({ bytes.begin(), bytes.end() }); }

        std::optional<std::string> peerReceives (int timeoutMs)
        {
            const auto bytes = peer.receive (timeoutMs);
            return bytes.empty() ? std::nullopt : std::optional<std::string> (std::string (bytes.begin(), bytes.end()));
        }

        SimulatedNetwork network;
        SimulatedNetwork::Peer peer { network, peerAddress, programPort };
    };

    template <typename Network>
    class SocketContract : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            if (! Network::available())
                GTEST_SKIP() << "needs a private network namespace (root or a user namespace)";
            network = std::make_unique<Network>();
            socket = network->makeSocket();
            ASSERT_TRUE (socket->isOpen());
        }

        /** Waits for the next datagram and takes it; its length, or -1. */
        int nextDatagram (char* buffer, int capacity, std::uint32_t& sender)
        {
            if (socket->waitForDatagram (2000) != DatagramSocket::WaitResult::ready)
                return -1;
            return socket->receive (buffer, capacity, sender);
        }

        std::unique_ptr<Network> network;
        std::unique_ptr<DatagramSocket> socket;
    };

    using Networks = ::testing::Types<RealNetwork, Simulated>;
    TYPED_TEST_SUITE (SocketContract, Networks);
}

TYPED_TEST (SocketContract, SendsWholeDatagramsToNumericAddressesButNeverToAPlaceholder)
{
    const std::string message ("/info\0\0\0,\0\0\0", 12);
    EXPECT_TRUE (this->socket->send (addressOf (peerAddress), programPort, message.data(), (int) message.size()));
    EXPECT_EQ (this->network->peerReceives (1000), message);

    EXPECT_FALSE (this->socket->send (addressOf ("0.0.0.1"), programPort, message.data(), (int) message.size()));
    EXPECT_FALSE (this->socket->send (0, programPort, message.data(), (int) message.size()));
    EXPECT_FALSE (this->socket->send (addressOf (peerAddress), programPort, message.data(), 0));
    EXPECT_FALSE (this->socket->send (addressOf (peerAddress), programPort, nullptr, 4));
    EXPECT_FALSE (this->network->peerReceives (100).has_value());
}

TYPED_TEST (SocketContract, ReceiveTellsTheSenderAndTheWholeLength)
{
    char buffer[128];
    std::uint32_t sender = 0;

    this->network->peerSends ("/abc");
    ASSERT_EQ (this->nextDatagram (buffer, sizeof buffer, sender), 4);
    EXPECT_EQ (std::string (buffer, 4), "/abc");
    EXPECT_EQ (sender, addressOf (peerAddress));

    // Longer than the buffer: its real length, so the receiver can refuse it.
    this->network->peerSends (std::string (200, 'x'));
    EXPECT_EQ (this->nextDatagram (buffer, sizeof buffer, sender), 200);

    this->network->peerSends ("");
    EXPECT_EQ (this->nextDatagram (buffer, sizeof buffer, sender), 0);

    EXPECT_EQ (this->socket->waitForDatagram (0), DatagramSocket::WaitResult::timedOut);
    EXPECT_EQ (this->socket->receive (buffer, sizeof buffer, sender), -1);
}

TYPED_TEST (SocketContract, AWakeUpEndsAWaitAndIsRememberedOnce)
{
    // Before the wait: remembered, and used up by it.
    this->socket->wake();
    this->socket->wake();
    EXPECT_EQ (this->socket->waitForDatagram (5000), DatagramSocket::WaitResult::woken);
    EXPECT_EQ (this->socket->waitForDatagram (0), DatagramSocket::WaitResult::timedOut);

    // During a wait without limit, from another thread.
    std::thread waker (
        [this]
        {
            std::this_thread::sleep_for (std::chrono::milliseconds (50));
            this->socket->wake();
        });
    EXPECT_EQ (this->socket->waitForDatagram (5000), DatagramSocket::WaitResult::woken);
    waker.join();
}
