// The remote's server over real sockets on loopback (in a network namespace of the test's
// own): the page, the token, and what a phone on a shared network might do to it.

#include "PhoneClient.h"
#include "PrivateNetwork.h"
#include "RemoteAssets.h"
#include "RemoteServer.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using namespace remote;

namespace
{
    const std::string token = "0123456789abcdef0123456789abcdef";

    /** What the program would be told, kept for the test to read. */
    class RecordingListener : public RemoteServer::Listener
    {
    public:
        void phoneCommand (int phone, const Command& command) override
        {
            std::lock_guard<std::mutex> lock (mutex);
            commands.push_back ({ phone, command });
            changed.notify_all();
        }

        void phonesChanged() override
        {
            std::lock_guard<std::mutex> lock (mutex);
            ++phoneChanges;
            changed.notify_all();
        }

        std::size_t commandCount()
        {
            std::lock_guard<std::mutex> lock (mutex);
            return commands.size();
        }

        bool waitForCommands (std::size_t count, int timeoutMs = 3000)
        {
            std::unique_lock<std::mutex> lock (mutex);
            return changed.wait_for (lock, std::chrono::milliseconds (timeoutMs),
                                     [&] { return commands.size() >= count; });
        }

        std::vector<std::pair<int, Command>> received()
        {
            std::lock_guard<std::mutex> lock (mutex);
            return commands;
        }

    private:
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<std::pair<int, Command>> commands;
        int phoneChanges = 0;
    };

    class RemoteServerTest : public ::testing::Test
    {
    protected:
        void SetUp() override { REQUIRE_PRIVATE_NETWORK(); }

        /** A server on a free loopback port with `limits`. */
        RemoteServer& startServer (Limits limits = {})
        {
            ServerOptions options;
            options.limits = limits;
            options.bindAddress = "127.0.0.1";
            server = std::make_unique<RemoteServer> (listener, options);
            const auto problem = server->start (0, token);
            EXPECT_EQ (problem, "");
            port = server->listeningPort();
            EXPECT_GT (port, 0);
            return *server;
        }

        template <typename Condition>
        static bool eventually (Condition condition, int timeoutMs = 3000)
        {
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds (timeoutMs);
            while (! condition())
            {
                if (std::chrono::steady_clock::now() > end)
                    return false;
                std::this_thread::sleep_for (std::chrono::milliseconds (5));
            }
            return true;
        }

        RecordingListener listener;
        std::unique_ptr<RemoteServer> server;
        int port = 0;
    };

    std::string headerBlock (const std::string& response)
    {
        return response.substr (0, response.find ("\r\n\r\n"));
    }

    std::string bodyOf (const std::string& response)
    {
        const auto end = response.find ("\r\n\r\n");
        return end == std::string::npos ? std::string() : response.substr (end + 4);
    }
}

TEST_F (RemoteServerTest, ServesThePageBuiltInAndNothingElse)
{
    startServer();
    const auto* page = findAsset ("/");
    ASSERT_NE (page, nullptr);

    PhoneClient get (port);
    const auto response = get.request ("GET", "/");
    EXPECT_EQ (response.rfind ("HTTP/1.1 200", 0), 0u) << headerBlock (response);
    EXPECT_NE (response.find ("Content-Type: text/html"), std::string::npos);
    EXPECT_NE (response.find ("Content-Security-Policy: default-src 'none'"), std::string::npos);
    EXPECT_NE (response.find ("X-Content-Type-Options: nosniff"), std::string::npos);
    EXPECT_EQ (bodyOf (response), std::string (reinterpret_cast<const char*> (page->data), page->size));

    PhoneClient script (port);
    EXPECT_EQ (script.request ("GET", "/remote.js?v=1").rfind ("HTTP/1.1 200", 0), 0u);
    PhoneClient missing (port);
    EXPECT_EQ (missing.request ("GET", "/../etc/passwd").rfind ("HTTP/1.1 404", 0), 0u);
    PhoneClient post (port);
    EXPECT_EQ (post.request ("POST", "/").rfind ("HTTP/1.1 405", 0), 0u);

    PhoneClient head (port);
    const auto headResponse = head.request ("HEAD", "/");
    EXPECT_EQ (headResponse.rfind ("HTTP/1.1 200", 0), 0u);
    EXPECT_NE (headResponse.find ("Content-Length: " + std::to_string (page->size)), std::string::npos);
    EXPECT_EQ (bodyOf (headResponse), "");
}

TEST_F (RemoteServerTest, APhoneWithTheTokenGetsTheNewestStateAndIsHeard)
{
    auto& remote = startServer();
    remote.publish (FrameKind::device, R"({"t":"device","name":"Stage Left"})");
    for (int n = 1; n <= 3; ++n)
        remote.publish (FrameKind::meters, R"({"t":"meters","n":)" + std::to_string (n) + "}");

    PhoneClient phone (port);
    ASSERT_EQ (phone.upgrade(), 101);
    ASSERT_TRUE (phone.sendText (PhoneClient::helloFor (token)));
    const auto welcome = phone.readUntil ("welcome");
    ASSERT_TRUE (welcome);
    EXPECT_NE (welcome->find ("\"v\":1"), std::string::npos);

    std::vector<std::string> state;
    while (auto frame = phone.readFrame (300))
        state.push_back (frame->payload);
    EXPECT_EQ (state,
               (std::vector<std::string> { R"({"t":"device","name":"Stage Left"})", R"({"t":"meters","n":3})" }));

    ASSERT_TRUE (eventually ([&] { return remote.phones().size() == 1; }));
    EXPECT_EQ (remote.phones()[0].address, "127.0.0.1");

    phone.sendText (R"({"t":"gain","ch":1,"db":-12.5})");
    ASSERT_TRUE (listener.waitForCommands (1));
    const auto [who, command] = listener.received()[0];
    EXPECT_EQ (who, remote.phones()[0].id);
    EXPECT_EQ (command.kind, CommandKind::gain);
    EXPECT_EQ (command.value, -12.5);

    remote.publish (FrameKind::panel, R"({"t":"panel"})");
    EXPECT_TRUE (phone.readUntil ("panel"));
}

TEST_F (RemoteServerTest, WithoutTheTokenAPhoneGetsNoAmplifierData)
{
    auto& remote = startServer();
    remote.publish (FrameKind::device, R"({"t":"device","name":"Stage Left"})");

    for (const std::string& first : { PhoneClient::helloFor ("ffffffffffffffffffffffffffffffff"),
                                      std::string (R"({"t":"gain","ch":0,"db":0})"), std::string ("hello") })
    {
        PhoneClient stranger (port);
        ASSERT_EQ (stranger.upgrade(), 101);
        stranger.sendText (first);
        std::vector<std::string> seen;
        while (auto frame = stranger.readFrame (1000))
            if (frame->opcode == 1)
                seen.push_back (frame->payload);
        EXPECT_EQ (seen, (std::vector<std::string> { R"({"t":"bye","why":"token"})" })) << first;
        EXPECT_TRUE (stranger.closedWithin (1000));
    }
    EXPECT_EQ (listener.commandCount(), 0u);
    EXPECT_EQ (remote.totals().wrongToken, 3u);
    EXPECT_TRUE (remote.phones().empty());
}

TEST_F (RemoteServerTest, AWebSocketFromAnotherSiteIsRefused)
{
    startServer();
    PhoneClient foreign (port);
    EXPECT_EQ (foreign.upgrade ("/ws", "http://attacker.example"), 403);
    PhoneClient ownPage (port);
    EXPECT_EQ (ownPage.upgrade ("/ws", "http://127.0.0.1:" + std::to_string (port)), 101);
    PhoneClient elsewhere (port);
    EXPECT_EQ (elsewhere.upgrade ("/other"), 403);
}

TEST_F (RemoteServerTest, SilentConnectionsAreClosedAfterTheirTimeOut)
{
    Limits limits;
    limits.requestTimeoutMs = 300;
    limits.helloTimeoutMs = 300;
    auto& remote = startServer (limits);

    PhoneClient silent (port);
    PhoneClient halfRequest (port);
    halfRequest.sendRaw ("GET / HTTP/1.1\r\nHost: 127.0");
    PhoneClient noHello (port);
    ASSERT_EQ (noHello.upgrade(), 101);

    EXPECT_TRUE (silent.closedWithin (3000));
    EXPECT_TRUE (halfRequest.closedWithin (3000));
    EXPECT_EQ (noHello.readUntil ("bye"), std::optional<std::string> (R"({"t":"bye","why":"time"})"));
    EXPECT_TRUE (noHello.closedWithin (3000));
    EXPECT_EQ (remote.totals().requestTimeouts, 2u);
    EXPECT_EQ (remote.totals().noHello, 1u);
}

TEST_F (RemoteServerTest, AFrameOverFourKibCloses)
{
    auto& remote = startServer();
    PhoneClient phone (port);
    ASSERT_TRUE (phone.join (token));

    // Exactly at the limit still counts: a command padded with spaces to 4096 bytes.
    std::string atLimit = R"({"t":"link","on":true})";
    atLimit.insert (1, 4096 - atLimit.size(), ' ');
    ASSERT_EQ (atLimit.size(), 4096u);
    phone.sendText (atLimit);
    ASSERT_TRUE (listener.waitForCommands (1));

    std::string over = R"({"t":"link","on":false})";
    over.insert (1, 4097 - over.size(), ' ');
    phone.sendText (over);
    EXPECT_TRUE (phone.closedWithin (3000));
    EXPECT_EQ (listener.commandCount(), 1u);
    EXPECT_TRUE (eventually ([&] { return remote.totals().tooLarge == 1; }));
    EXPECT_TRUE (eventually ([&] { return remote.phones().empty(); }));
}

TEST_F (RemoteServerTest, AFloodIsCutToTheRateAndCounted)
{
    auto& remote = startServer();
    PhoneClient phone (port);
    ASSERT_TRUE (phone.join (token));

    const auto started = std::chrono::steady_clock::now();
    std::string burst;
    for (int i = 0; i < 1000; ++i)
        burst += PhoneClient::frameBytes (1, R"({"t":"gain","ch":0,"db":-6})");
    phone.sendRaw (burst);
    ASSERT_TRUE (eventually ([&] { return remote.totals().refusedRate + listener.commandCount() >= 1000; }));
    const auto seconds = std::chrono::duration<double> (std::chrono::steady_clock::now() - started).count();

    const auto delivered = listener.commandCount();
    EXPECT_GE (delivered, 200u);
    EXPECT_LE (delivered, 200u * (std::size_t) (1 + seconds)) << "in " << seconds << " s";
    EXPECT_EQ (remote.totals().refusedRate, 1000u - delivered);
    ASSERT_TRUE (eventually ([&] { return ! remote.phones().empty() && remote.phones()[0].refusedRate > 0; }));

    // The phone is still served.
    remote.publish (FrameKind::panel, R"({"t":"panel"})");
    EXPECT_TRUE (phone.readUntil ("panel"));
}

TEST_F (RemoteServerTest, UnreadableMessagesAreDroppedAndBinaryCloses)
{
    auto& remote = startServer();
    PhoneClient phone (port);
    ASSERT_TRUE (phone.join (token));
    for (const char* bad : { "{\"t\":", "[1,2]", R"({"t":"gain","ch":5,"db":0})", R"({"t":"gain","ch":0,"db":"x"})",
                             R"({"t":"siggen","on":true})", R"({"t":"hello","k":"x"})" })
        phone.sendText (bad);
    phone.sendText (R"({"t":"mute","ch":1,"on":true})");
    ASSERT_TRUE (listener.waitForCommands (1));
    EXPECT_EQ (listener.received()[0].second.kind, CommandKind::mute);
    EXPECT_TRUE (eventually ([&] { return remote.totals().unreadable == 6; }));

    phone.sendFrame (2, "binary");
    EXPECT_EQ (phone.readUntil ("bye"), std::optional<std::string> (R"({"t":"bye","why":"not text"})"));
    EXPECT_TRUE (phone.closedWithin (3000));
}

TEST_F (RemoteServerTest, EightPhonesAtMost)
{
    auto& remote = startServer();
    std::vector<std::unique_ptr<PhoneClient>> phones;
    for (int i = 0; i < 8; ++i)
    {
        phones.push_back (std::make_unique<PhoneClient> (port));
        ASSERT_TRUE (phones.back()->join (token)) << "phone " << i + 1;
    }
    PhoneClient ninth (port);
    ASSERT_EQ (ninth.upgrade(), 101);
    ninth.sendText (PhoneClient::helloFor (token));
    EXPECT_EQ (ninth.readUntil ("bye"), std::optional<std::string> (R"({"t":"bye","why":"full"})"));
    EXPECT_TRUE (ninth.closedWithin (3000));
    EXPECT_EQ (remote.phones().size(), 8u);

    // Every one of the eight gets what is published.
    remote.publish (FrameKind::slots, R"({"t":"slots"})");
    for (auto& phone : phones)
        EXPECT_TRUE (phone->readUntil ("slots"));

    phones.pop_back();
    ASSERT_TRUE (eventually ([&] { return remote.phones().size() == 7; }));
    PhoneClient next (port);
    EXPECT_TRUE (next.join (token));
}

TEST_F (RemoteServerTest, ANewCodeSendsEveryPhoneAway)
{
    auto& remote = startServer();
    PhoneClient first (port);
    PhoneClient second (port);
    ASSERT_TRUE (first.join (token));
    ASSERT_TRUE (second.join (token));

    const std::string newToken = "fedcba9876543210fedcba9876543210";
    remote.replaceToken (newToken);
    for (auto* phone : { &first, &second })
    {
        EXPECT_EQ (phone->readUntil ("bye"), std::optional<std::string> (R"({"t":"bye","why":"new code"})"));
        EXPECT_TRUE (phone->closedWithin (3000));
    }
    EXPECT_TRUE (eventually ([&] { return remote.phones().empty(); }));

    PhoneClient oldCode (port);
    EXPECT_FALSE (oldCode.join (token));
    PhoneClient newCode (port);
    EXPECT_TRUE (newCode.join (newToken));
}

TEST_F (RemoteServerTest, StoppingTellsThePhonesAndListensNoMore)
{
    auto& remote = startServer();
    PhoneClient phone (port);
    ASSERT_TRUE (phone.join (token));
    remote.stop();
    EXPECT_FALSE (remote.isListening());
    EXPECT_EQ (phone.readUntil ("bye"), std::optional<std::string> (R"({"t":"bye","why":"off"})"));
    EXPECT_TRUE (phone.closedWithin (3000));
    EXPECT_TRUE (eventually ([&] { return ! PhoneClient (port).isConnected(); }));

    // And it starts again, on the same port.
    EXPECT_EQ (remote.start (port, token), "");
    PhoneClient again (port);
    EXPECT_TRUE (again.join (token));
}

TEST_F (RemoteServerTest, APhoneThatNeverReadsIsClosedWithoutHoldingMore)
{
    Limits limits;
    limits.writeTimeoutMs = 300;
    auto& remote = startServer (limits);
    PhoneClient stuck (port, 4096);
    ASSERT_TRUE (stuck.join (token));
    ASSERT_EQ (remote.phones().size(), 1u);

    // Frames keep coming, far more than the socket can hold; the phone reads none.
    const std::string big (60000, 'x');
    for (int i = 0; i < 200 && ! remote.phones().empty(); ++i)
    {
        remote.publish (FrameKind::peqA, R"({"t":"peq","pad":")" + big + std::to_string (i) + "\"}");
        remote.publish (FrameKind::meters, R"({"t":"meters","n":)" + std::to_string (i) + "}");
        std::this_thread::sleep_for (std::chrono::milliseconds (10));
    }
    EXPECT_TRUE (eventually ([&] { return remote.totals().slow == 1; }, 5000));
    EXPECT_TRUE (eventually ([&] { return remote.phones().empty(); }));

    // Others are still served.
    PhoneClient other (port);
    EXPECT_TRUE (other.join (token));
}

TEST_F (RemoteServerTest, ConnectionsBeyondTheLimitAreRefused)
{
    Limits limits;
    limits.maxConnections = 3;
    auto& remote = startServer (limits);
    std::vector<std::unique_ptr<PhoneClient>> open;
    for (int i = 0; i < 3; ++i)
    {
        open.push_back (std::make_unique<PhoneClient> (port));
        ASSERT_TRUE (open.back()->isConnected());
    }
    ASSERT_TRUE (eventually ([&] { return remote.totals().refusedConnections == 0; }));
    PhoneClient fourth (port);
    EXPECT_TRUE (fourth.closedWithin (3000));
    EXPECT_EQ (remote.totals().refusedConnections, 1u);
}

TEST_F (RemoteServerTest, APortInUseIsSaidInWords)
{
    startServer();
    RecordingListener other;
    ServerOptions options;
    options.bindAddress = "127.0.0.1";
    RemoteServer second (other, options);
    EXPECT_EQ (second.start (port, token), "Port " + std::to_string (port) + " is in use by another program.");
    EXPECT_FALSE (second.isListening());
}
