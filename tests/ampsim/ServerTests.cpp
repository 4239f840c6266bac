// The simulator over real UDP sockets on loopback addresses.  These tests open sockets, so
// they skip themselves unless the only network interface is loopback (a private namespace).

#include "SimTestSupport.h"
#include "SimServer.h"
#include "TempFolder.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

using namespace simtest;

namespace
{
    bool onlyLoopback()
    {
        auto* interfaces = if_nameindex();
        if (interfaces == nullptr)
            return false;
        bool onlyLo = true;
        for (auto* i = interfaces; i->if_index != 0; ++i)
            onlyLo = onlyLo && std::string (i->if_name) == "lo";
        if_freenameindex (interfaces);
        return onlyLo;
    }

#define REQUIRE_ONLY_LOOPBACK()                                                                                        \
    if (! onlyLoopback())                                                                                              \
    GTEST_SKIP() << "needs a private network namespace with only loopback"

    using Clock = std::chrono::steady_clock;

    /** The program's side: a UDP socket on 127.0.0.1 with a port of its own. */
    class Client
    {
    public:
        struct Received
        {
            Endpoint from;
            std::string text;
        };

        explicit Client (bool broadcast = false)
        {
            fd = socket (AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            const int yes = 1;
            if (broadcast)
                setsockopt (fd, SOL_SOCKET, SO_BROADCAST, &yes, sizeof yes);
            // Bound to one address, so a broadcast leaves through loopback.
            const auto address = Endpoint { 0x7F000001, 0 }.toSockaddr();
            bind (fd, reinterpret_cast<const sockaddr*> (&address), sizeof address);
        }
        ~Client() { ::close (fd); }

        void send (const Endpoint& to, const Datagram& datagram) { sendRaw (to, datagram.data(), datagram.size); }

        void sendRaw (const Endpoint& to, const void* data, std::size_t size)
        {
            const auto address = to.toSockaddr();
            ASSERT_EQ (sendto (fd, data, size, 0, reinterpret_cast<const sockaddr*> (&address), sizeof address),
                       (ssize_t) size);
        }

        std::optional<Received> receive (int timeoutMs)
        {
            pollfd p { fd, POLLIN, 0 };
            if (poll (&p, 1, timeoutMs) <= 0)
                return std::nullopt;
            Datagram datagram;
            sockaddr_in sender {};
            socklen_t length = sizeof sender;
            const auto got = recvfrom (fd, datagram.bytes.data(), datagram.bytes.size(), 0,
                                       reinterpret_cast<sockaddr*> (&sender), &length);
            if (got < 0)
                return std::nullopt;
            datagram.size = (std::size_t) got;
            const auto from = Endpoint::fromSockaddr (sender);
            return Received { from, SimLog::describe (datagram) };
        }

        /** The next message whose text starts with `prefix`, skipping others. */
        std::optional<Received> receiveStartingWith (const std::string& prefix, int timeoutMs)
        {
            const auto end = Clock::now() + std::chrono::milliseconds (timeoutMs);
            while (Clock::now() < end)
            {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds> (end - Clock::now());
                auto got = receive ((int) std::max<long long> (1, left.count()));
                if (got && got->text.rfind (prefix, 0) == 0)
                    return got;
            }
            return std::nullopt;
        }

        int fd = -1;
    };

    /** A simulator serving on its own thread. */
    class RunningSim
    {
    public:
        explicit RunningSim (SimOptions opts)
            : options (std::move (opts))
        {
            options.readStdin = false;   // the test's standard input is not a control channel
            amp = std::make_unique<SimAmplifier> (options, log);
            server = std::make_unique<SimServer> (options, *amp, log);
            std::string error;
            opened = server->open (error);
            EXPECT_TRUE (opened) << error;
            if (opened)
                finished = std::async (std::launch::async, [this] { return server->run(); });
        }

        ~RunningSim()
        {
            if (server != nullptr)
                server->requestStop();
            if (finished.valid())
                finished.wait();
        }

        Endpoint endpoint() const { return server->localEndpoint(); }

        bool logHas (const std::string& text)
        {
            const std::lock_guard<std::mutex> lock (logMutex);
            for (const auto& line : lines)
                if (line.find (text) != std::string::npos)
                    return true;
            return false;
        }

        bool waitForLog (const std::string& text, int timeoutMs = 5000)
        {
            const auto end = Clock::now() + std::chrono::milliseconds (timeoutMs);
            while (! logHas (text))
            {
                if (Clock::now() > end)
                    return false;
                std::this_thread::sleep_for (std::chrono::milliseconds (2));
            }
            return true;
        }

        SimOptions options;
        std::mutex logMutex;
        std::vector<std::string> lines;
        SimLog log { [this] (const std::string& line)
                     {
                         const std::lock_guard<std::mutex> lock (logMutex);
                         lines.push_back (line);
                     } };
        std::unique_ptr<SimAmplifier> amp;
        std::unique_ptr<SimServer> server;
        bool opened = false;
        std::future<int> finished;
    };

    SimOptions on (std::uint32_t address, int port, const std::string& name)
    {
        SimOptions options;
        options.bindAddress = address;
        options.port = port;
        options.name = name;
        return options;
    }

    void writeFifo (const std::string& path, const std::string& text)
    {
        const int fd = ::open (path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE (fd, 0);
        ASSERT_EQ (write (fd, text.data(), text.size()), (ssize_t) text.size());
        ::close (fd);
    }
}

//==============================================================================
TEST (SimServerNetwork, AnswersFromItsOwnAddressToTheSendersPort)
{
    REQUIRE_ONLY_LOOPBACK();
    RunningSim sim (on (0x7F000002, 0, "NET ONE"));
    ASSERT_TRUE (sim.opened);
    Client client;
    client.send (sim.endpoint(), msg ("/info"));
    const auto answer = client.receive (3000);
    ASSERT_TRUE (answer);
    EXPECT_EQ (answer->text, "/info ,ssi \"NET ONE\" \"V1.4\" 1");
    EXPECT_EQ (answer->from, sim.endpoint());
    EXPECT_EQ (sim.endpoint().address, 0x7F000002u);

    client.send (sim.endpoint(), msg ("/channel/1/delay", 12.345f, 270));
    const auto echo = client.receive (3000);
    ASSERT_TRUE (echo);
    EXPECT_EQ (echo->text, "/channel/1/delay ,fi 12.35 180");
    EXPECT_TRUE (sim.waitForLog ("send 127.0.0.1:"));
}

TEST (SimServerNetwork, BroadcastsReachEverySimulatorOnThePort)
{
    REQUIRE_ONLY_LOOPBACK();
    RunningSim first (on (0x7F000002, 0, "FIRST"));
    ASSERT_TRUE (first.opened);
    const auto port = first.endpoint().port;
    RunningSim second (on (0x7F000003, port, "SECOND"));
    ASSERT_TRUE (second.opened);

    Client client (true);
    client.send ({ 0xFFFFFFFF, port }, msg ("/info"));
    std::vector<std::string> heard;
    for (int i = 0; i < 2; ++i)
        if (auto answer = client.receive (3000))
            heard.push_back (answer->from.toString() + " " + answer->text);
    std::sort (heard.begin(), heard.end());
    EXPECT_EQ (heard, (std::vector<std::string> {
                          "127.0.0.2:" + std::to_string (port) + " /info ,ssi \"FIRST\" \"V1.4\" 1",
                          "127.0.0.3:" + std::to_string (port) + " /info ,ssi \"SECOND\" \"V1.4\" 1" }));

    // A directed request reaches only the simulator it was sent to.
    client.send (second.endpoint(), msg ("/ampname"));
    const auto answer = client.receive (3000);
    ASSERT_TRUE (answer);
    EXPECT_EQ (answer->text, "/ampname ,s \"SECOND\"");
    EXPECT_FALSE (client.receive (200));
}

TEST (SimServerNetwork, StreamsMetersUntilOffline)
{
    REQUIRE_ONLY_LOOPBACK();
    RunningSim sim (on (0x7F000002, 0, "METERS"));
    ASSERT_TRUE (sim.opened);
    Client client;
    client.send (sim.endpoint(), msg ("/online"));
    client.send (sim.endpoint(), msg ("/meter", 10.0f));

    const auto first = client.receiveStartingWith ("/meter ,ffff", 3000);
    ASSERT_TRUE (first);
    const auto start = Clock::now();
    int count = 1;
    while (count < 51 && client.receiveStartingWith ("/meter ,ffff", 3000))
        ++count;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds> (Clock::now() - start).count();
    EXPECT_EQ (count, 51);
    // 50 periods of 1/30 s: never faster than the configured rate.
    EXPECT_GE (elapsed, 1500);

    client.send (sim.endpoint(), msg ("/offline"));
    ASSERT_TRUE (sim.waitForLog ("note offline"));
    while (client.receive (100))
    {
    }   // what was already on its way
    EXPECT_FALSE (client.receive (300));
}

TEST (SimServerNetwork, OddDatagramsGetNoAnswer)
{
    REQUIRE_ONLY_LOOPBACK();
    RunningSim sim (on (0x7F000002, 0, "ODD"));
    ASSERT_TRUE (sim.opened);
    Client client;
    const std::string big (132, '/');
    client.sendRaw (sim.endpoint(), big.data(), big.size());
    client.sendRaw (sim.endpoint(), "/info\0\0\0,\0\0\0", 6);
    client.sendRaw (sim.endpoint(), "/info\0\0\0,\0\0", 11);
    client.send (sim.endpoint(), msg ("/lock"));
    const auto answer = client.receive (3000);
    ASSERT_TRUE (answer);
    EXPECT_EQ (answer->text, "/lock ,i 0");
    EXPECT_FALSE (client.receive (200));
    EXPECT_TRUE (sim.logHas ("datagram of 132 bytes ignored"));
}

TEST (SimServerNetwork, ControlFifoSilencesPowersOffAndQuits)
{
    REQUIRE_ONLY_LOOPBACK();
    TempFolder folder { "zr-ampsim-test" };
    auto options = on (0x7F000002, 0, "FIFO");
    options.controlPath = folder.file ("control").getFullPathName().toStdString();
    RunningSim sim (options);
    ASSERT_TRUE (sim.opened);
    Client client;

    writeFifo (options.controlPath, "silent on\n");
    ASSERT_TRUE (sim.waitForLog ("silent: hearing"));
    client.send (sim.endpoint(), msg ("/info"));
    EXPECT_FALSE (client.receive (300));

    writeFifo (options.controlPath, "silent off\n");
    ASSERT_TRUE (sim.waitForLog ("answering again"));
    client.send (sim.endpoint(), msg ("/online"));
    client.send (sim.endpoint(), msg ("/info"));
    ASSERT_TRUE (client.receiveStartingWith ("/info", 3000));

    writeFifo (options.controlPath, "clip 1 0 0 0\n");
    const auto lamps = client.receiveStartingWith ("/peaklimit", 3000);
    ASSERT_TRUE (lamps);
    EXPECT_EQ (lamps->text, "/peaklimit ,iiii 1 0 0 0");

    writeFifo (options.controlPath, "power off\n");
    const auto off = client.receiveStartingWith ("/power", 3000);
    ASSERT_TRUE (off);
    EXPECT_EQ (off->text, "/power ,s \"OFF\"");
    client.send (sim.endpoint(), msg ("/info"));
    EXPECT_FALSE (client.receive (300));

    writeFifo (options.controlPath, "quit\n");
    ASSERT_EQ (sim.finished.wait_for (std::chrono::seconds (5)), std::future_status::ready);
    EXPECT_EQ (sim.finished.get(), 0);
    sim.server.reset();   // closes and removes the FIFO it made
    struct stat info
    {
    };
    EXPECT_NE (stat (options.controlPath.c_str(), &info), 0);
}

TEST (SimServerNetwork, RefusesABindItCannotServe)
{
    REQUIRE_ONLY_LOOPBACK();
    SimOptions options = on (0xFFFFFFFF, 0, "BAD");
    SimLog log;
    SimAmplifier amp (options, log);
    SimServer server (options, amp, log);
    std::string error;
    EXPECT_FALSE (server.open (error));
    EXPECT_FALSE (error.empty());

    options.controlPath = "/";   // exists and is no FIFO
    options.bindAddress = 0x7F000001;
    SimServer second (options, amp, log);
    EXPECT_FALSE (second.open (error));
    EXPECT_NE (error.find ("not a FIFO"), std::string::npos);
}

TEST (SimServerNetwork, ARackAnswersFromEachOfItsAddressesAndOneOfItCanBeSilenced)
{
    REQUIRE_ONLY_LOOPBACK();
    TempFolder folder { "zr-ampsim-test" };
    auto options = on (0x7F000015, 0, "RACK");   // 127.0.0.21, .22, .23
    options.controlPath = folder.file ("control").getFullPathName().toStdString();
    options.readStdin = false;

    SimLog log;
    std::vector<std::unique_ptr<SimAmplifier>> amps;
    std::vector<SimAmplifier*> served;
    for (int i = 1; i <= 3; ++i)
    {
        auto own = options;
        own.name = "RACK-" + std::to_string (i);
        amps.push_back (std::make_unique<SimAmplifier> (own, log));
        served.push_back (amps.back().get());
    }
    SimServer server (options, served, log);
    std::string error;
    ASSERT_TRUE (server.open (error)) << error;
    auto finished = std::async (std::launch::async, [&server] { return server.run(); });
    const auto port = server.localEndpoint().port;
    const auto at = [port] (int host) { return Endpoint { 0x7F000000u + (std::uint32_t) host, port }; };

    // Each address answers as an amplifier of its own, from that address.
    Client client (true);
    for (int host = 21; host <= 23; ++host)
    {
        client.send (at (host), msg ("/info"));
        const auto answer = client.receive (3000);
        ASSERT_TRUE (answer);
        EXPECT_EQ (answer->from, at (host));
        EXPECT_EQ (answer->text, "/info ,ssi \"RACK-" + std::to_string (host - 20) + "\" \"V1.4\" 1");
    }
    client.send (at (21), msg ("/channel/1/delay", 12.0f, 180));
    ASSERT_TRUE (client.receiveStartingWith ("/channel/1/delay", 3000));
    client.send (at (23), msg ("/channel/1/delay"));
    const auto untouched = client.receiveStartingWith ("/channel/1/delay", 3000);
    ASSERT_TRUE (untouched);
    EXPECT_EQ (untouched->text, "/channel/1/delay ,fi 0 0");

    // A broadcast reaches all three.
    client.send ({ 0xFFFFFFFF, port }, msg ("/info"));
    std::vector<std::string> heard;
    for (int i = 0; i < 3; ++i)
        if (auto answer = client.receive (3000))
            heard.push_back (answer->from.toString());
    std::sort (heard.begin(), heard.end());
    EXPECT_EQ (heard, (std::vector<std::string> { at (21).toString(), at (22).toString(), at (23).toString() }));

    // A control line with an address is for that amplifier alone.
    writeFifo (options.controlPath, "127.0.0.22 silent on\n");
    std::this_thread::sleep_for (std::chrono::milliseconds (100));
    client.send (at (22), msg ("/info"));
    EXPECT_FALSE (client.receive (300));
    client.send (at (23), msg ("/info"));
    EXPECT_TRUE (client.receiveStartingWith ("/info", 3000));
    server.requestStop();
    EXPECT_EQ (finished.get(), 0);

    // Read once the server's thread has ended: it is the one that writes them.
    EXPECT_TRUE (amps[1]->isSilent());
    EXPECT_FALSE (amps[0]->isSilent() || amps[2]->isSilent());
}
