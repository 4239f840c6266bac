// One phone's rules without a socket: the hello and its token, the rate, and what waits to
// be sent (newest frame of each kind only).

#include "JsonWriter.h"
#include "LanAddresses.h"
#include "PhoneSession.h"
#include "RemoteToken.h"

#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>

using namespace remote;

namespace
{
    const std::string token = "0123456789abcdef0123456789abcdef";

    PhoneSession connectedPhone (const Limits& limits = {})
    {
        PhoneSession phone (1, limits, 0);
        const auto reaction = phone.receive (helloText (token), token, true, 10);
        EXPECT_EQ (reaction.kind, PhoneSession::Reaction::welcome);
        return phone;
    }

    PhoneSession::Frame frame (const std::string& text)
    {
        return std::make_shared<const std::string> (text);
    }

    std::string next (PhoneSession& phone)
    {
        const auto f = phone.nextFrame();
        return f != nullptr ? *f : std::string ("(none)");
    }
}

TEST (RemoteToken, Has128RandomBitsAsHex)
{
    const auto a = RemoteToken::generate();
    const auto b = RemoteToken::generate();
    ASSERT_EQ (a.size(), 32u);
    EXPECT_EQ (a.find_first_not_of ("0123456789abcdef"), std::string::npos);
    EXPECT_NE (a, b);

    EXPECT_TRUE (RemoteToken::matches (a, a));
    EXPECT_FALSE (RemoteToken::matches (a, b));
    EXPECT_FALSE (RemoteToken::matches (a, a.substr (0, 31)));
    EXPECT_FALSE (RemoteToken::matches (a, a + "0"));
    EXPECT_FALSE (RemoteToken::matches ("", ""));
}

TEST (PhoneSession, OnlyAHelloWithTheTokenConnects)
{
    for (const std::string& first : { helloText ("ffffffffffffffffffffffffffffffff"), helloText (""),
                                      std::string (R"({"t":"gain","ch":0,"db":-6})"), std::string ("{bad json"),
                                      std::string (R"({"t":"hello"})") })
    {
        PhoneSession phone (1, {}, 0);
        const auto reaction = phone.receive (first, token, true, 5);
        EXPECT_EQ (reaction.kind, PhoneSession::Reaction::close) << first;
        EXPECT_EQ (reaction.reason, PhoneSession::CloseReason::wrongToken) << first;
        EXPECT_EQ (phone.getState(), PhoneSession::State::awaitingHello);
    }

    PhoneSession full (2, {}, 0);
    const auto refused = full.receive (helloText (token), token, false, 5);
    EXPECT_EQ (refused.kind, PhoneSession::Reaction::close);
    EXPECT_EQ (refused.reason, PhoneSession::CloseReason::full);

    PhoneSession phone (3, {}, 0);
    EXPECT_EQ (phone.receive (helloText (token), token, true, 5).kind, PhoneSession::Reaction::welcome);
    EXPECT_EQ (phone.getState(), PhoneSession::State::connected);
    // A second hello once connected is no command.
    EXPECT_EQ (phone.receive (helloText (token), token, true, 6).kind, PhoneSession::Reaction::nothing);
    EXPECT_EQ (phone.counters().unreadable, 1u);
}

TEST (PhoneSession, TheHelloIsDueInTime)
{
    Limits limits;
    limits.helloTimeoutMs = 5000;
    PhoneSession silent (1, limits, 1000);
    EXPECT_FALSE (silent.helloOverdue (5999));
    EXPECT_TRUE (silent.helloOverdue (6000));

    auto phone = connectedPhone (limits);
    EXPECT_FALSE (phone.helloOverdue (1000000));
}

TEST (PhoneSession, CommandsPassAtTheRateAndTheRestAreCounted)
{
    auto phone = connectedPhone();
    const std::string gain = R"({"t":"gain","ch":0,"db":-6})";
    int delivered = 0;
    for (int i = 0; i < 250; ++i)
        if (phone.receive (gain, token, true, 100).kind == PhoneSession::Reaction::deliver)
            ++delivered;
    EXPECT_EQ (delivered, 200);
    EXPECT_EQ (phone.counters().refusedRate, 50u);

    // Within the same second nothing more passes; a second after the first, room again.
    EXPECT_EQ (phone.receive (gain, token, true, 1099).kind, PhoneSession::Reaction::nothing);
    const auto later = phone.receive (gain, token, true, 1100);
    ASSERT_EQ (later.kind, PhoneSession::Reaction::deliver);
    EXPECT_EQ (later.command.kind, CommandKind::gain);
    EXPECT_EQ (later.command.value, -6.0);
}

TEST (RateLimiter, NeverMoreThanTheRateInAnySecond)
{
    RateLimiter limiter (200);
    std::vector<std::uint64_t> admitted;
    // Bursts at uneven times over three seconds.
    for (std::uint64_t t = 0; t < 3000; t += 7)
        for (int i = 0; i < 5; ++i)
            if (limiter.admit (t))
                admitted.push_back (t);
    for (std::size_t i = 200; i < admitted.size(); ++i)
        ASSERT_GE (admitted[i] - admitted[i - 200], 1000u) << "more than 200 within a second at " << admitted[i];
    EXPECT_GE (admitted.size(), 600u);
    EXPECT_EQ (limiter.refused() + admitted.size(), 5u * ((3000 + 6) / 7));

    RateLimiter none (0);
    EXPECT_FALSE (none.admit (0));
}

TEST (PhoneSession, UnreadableCommandsAreDroppedNotFatal)
{
    auto phone = connectedPhone();
    for (const char* bad : { "{", R"({"t":"band","ch":0,"b":99,"gain":1})", R"({"t":"gain","ch":0,"db":"loud"})" })
        EXPECT_EQ (phone.receive (bad, token, true, 20).kind, PhoneSession::Reaction::nothing);
    EXPECT_EQ (phone.counters().unreadable, 3u);
    EXPECT_EQ (phone.getState(), PhoneSession::State::connected);
    EXPECT_EQ (phone.receive (R"({"t":"link","on":true})", token, true, 21).kind, PhoneSession::Reaction::deliver);
}

TEST (PhoneSession, TheWelcomeOffersExactlyTheKindsAPhoneMaySend)
{
    // One message of each kind a phone may send, with the fields it needs.
    const std::map<std::string, std::string> examples = {
        { "gain", R"("ch":0,"db":-6)" },
        { "mute", R"("ch":1,"on":true)" },
        { "link", R"("on":true)" },
        { "band", R"("ch":0,"b":1,"gain":1)" },
        { "bypass", R"("ch":0,"on":true)" },
        { "recall", R"("slot":2)" },
        { "undo", "" },
        { "redo", "" },
        { "compare", "" },
        { "copy", "" },
    };

    const auto welcome = connectedPhone().welcomeText();
    const std::regex canList (R"re("can":\[([^\]]*)\])re");
    std::smatch found;
    ASSERT_TRUE (std::regex_search (welcome, found, canList)) << welcome;
    std::set<std::string> offered;
    const std::string list = found[1];
    const std::regex item (R"re("([a-z]+)")re");
    for (auto it = std::sregex_iterator (list.begin(), list.end(), item); it != std::sregex_iterator(); ++it)
        offered.insert ((*it)[1]);

    std::set<std::string> known;
    for (const auto& [kind, fields] : examples)
    {
        known.insert (kind);
        auto phone = connectedPhone();
        const auto text = R"({"t":")" + kind + "\"" + (fields.empty() ? "" : "," + fields) + "}";
        EXPECT_EQ (phone.receive (text, token, true, 20).kind, PhoneSession::Reaction::deliver) << text;
    }
    EXPECT_EQ (offered, known) << welcome;
}

TEST (PhoneSession, OnlyTheNewestFrameOfAKindWaits)
{
    PhoneSession waiting (1, {}, 0);
    waiting.offer (FrameKind::meters, frame ("early"));
    EXPECT_EQ (waiting.nextFrame(), nullptr) << "nothing is offered before the hello";

    auto phone = connectedPhone();
    phone.say (phone.welcomeText());
    for (int i = 0; i < 1000; ++i)
        phone.offer (FrameKind::meters, frame ("meters " + std::to_string (i)));
    phone.offer (FrameKind::peqA, frame ("peq A"));
    phone.offer (FrameKind::device, frame ("device"));

    EXPECT_NE (next (phone).find ("\"t\":\"welcome\""), std::string::npos) << "the welcome first";
    std::set<std::string> rest;
    for (int i = 0; i < 3; ++i)
        rest.insert (next (phone));
    EXPECT_EQ (rest, (std::set<std::string> { "device", "peq A", "meters 999" }));
    EXPECT_EQ (next (phone), "(none)");
    EXPECT_EQ (phone.counters().superseded, 999u);
}

TEST (PhoneSession, KindsTakeTurns)
{
    auto phone = connectedPhone();
    phone.offer (FrameKind::slots, frame ("slots"));
    // The device and panel frames come again after every frame sent (a drag on the
    // desktop); the slots still go out.
    bool slotsSent = false;
    for (int i = 0; i < 4 && ! slotsSent; ++i)
    {
        phone.offer (FrameKind::device, frame ("device"));
        phone.offer (FrameKind::panel, frame ("panel"));
        slotsSent = next (phone) == "slots";
    }
    EXPECT_TRUE (slotsSent);
}

TEST (PhoneSession, ClosingSaysByeFirstAndDropsTheRest)
{
    auto phone = connectedPhone();
    phone.offer (FrameKind::panel, frame ("panel"));
    phone.beginClose (PhoneSession::CloseReason::newCode);
    EXPECT_EQ (next (phone), R"({"t":"bye","why":"new code"})");
    EXPECT_EQ (next (phone), "(none)");
    phone.offer (FrameKind::panel, frame ("late"));
    EXPECT_EQ (next (phone), "(none)");
    EXPECT_EQ (phone.receive (R"({"t":"link","on":true})", token, true, 30).kind, PhoneSession::Reaction::nothing);
}

TEST (LanAddresses, PeersOnTheComputersNetworksAreLocal)
{
    const std::vector<LanAddresses::Network> networks = { { "eth0", 0xC0000201u, 0xFFFFFF00u },      // 192.0.2.1/24
                                                          { "wlan0", 0xC6336401u, 0xFFFF0000u } };   // 198.51.100.1/16
    EXPECT_TRUE (LanAddresses::isLocalPeer (0xC00002FEu, networks));
    EXPECT_TRUE (LanAddresses::isLocalPeer (0xC633FF01u, networks));
    EXPECT_TRUE (LanAddresses::isLocalPeer (0x7F000001u, networks));
    EXPECT_FALSE (LanAddresses::isLocalPeer (0xC0000301u, networks));
    EXPECT_FALSE (LanAddresses::isLocalPeer (0x08080808u, {}));

    EXPECT_EQ (LanAddresses::urls (networks, 8080, "ab"),
               (std::vector<std::string> { "http://192.0.2.1:8080/#k=ab", "http://198.51.100.1:8080/#k=ab" }));
    EXPECT_EQ (LanAddresses::urls ({}, 9000, "cd"), (std::vector<std::string> { "http://127.0.0.1:9000/#k=cd" }));
}
