// Finding amplifiers on the LAN: the hub's broadcast reaches every simulator on its own host,
// and a search aimed at one address reaches only that one.

#include "IntegrationFixture.h"

#include <algorithm>

using namespace linktest;

namespace
{
    int countOf (const std::vector<std::string>& lines, const std::string& line)
    {
        return (int) std::count (lines.begin(), lines.end(), line);
    }
}

TEST_F (LinkIntegration, BroadcastFindsTwoAmplifiersEachWithItsOwnAddressNameAndModel)
{
    auto& left = startSim ("left", { "--name", "Stage Left", "--model", "1" });
    auto& right = startSim ("right", { "--name", "Monitors", "--model", "5" });
    ASSERT_FALSE (HasFailure());

    makeHub();   // broadcasts "/info" as the program does at start-up

    ASSERT_TRUE (testloop::runUntil ([this] { return setup.count ("addNetworkDevice") >= 2; }));
    testloop::run (100);   // anything more would arrive now

    EXPECT_EQ (countOf (setup.calls, "addNetworkDevice 1 Stage Left " + addresses["left"]), 1);
    EXPECT_EQ (countOf (setup.calls, "addNetworkDevice 5 Monitors " + addresses["right"]), 1);
    EXPECT_EQ (setup.count ("addNetworkDevice"), 2);

    // Each heard one query, broadcast from the hub's own port on the bridge.
    for (auto* sim : { &left, &right })
    {
        const auto log = sim->log();
        const auto queries = std::count_if (log.begin(), log.end(),
                                            [] (const AmpSimProcess::LogLine& l)
                                            { return l.what == "recv" && l.text == "/info ,"; });
        EXPECT_EQ (queries, 1);
        EXPECT_TRUE (std::any_of (log.begin(), log.end(),
                                  [] (const AmpSimProcess::LogLine& l)
                                  { return l.what == "recv" && l.peer == hubPeer(); }));
    }

    // Finding is not connecting.
    EXPECT_FALSE (hub->isOnline());
    EXPECT_TRUE (dialogs.shown.empty());
}

TEST_F (LinkIntegration, SearchAimedAtOneAddressReachesOnlyThatAmplifier)
{
    auto& left = startSim ("left", { "--name", "Stage Left" });
    auto& right = startSim ("right", { "--name", "Monitors" });
    ASSERT_FALSE (HasFailure());
    makeHub();
    ASSERT_TRUE (testloop::runUntil ([this] { return setup.count ("addNetworkDevice") >= 2; }));
    setup.calls.clear();

    hub->searchDevices (addresses["right"]);

    ASSERT_TRUE (testloop::runUntil ([this] { return setup.count ("addNetworkDevice") >= 1; }));
    testloop::run (150);
    EXPECT_EQ (setup.calls, (std::vector<std::string> { "addNetworkDevice 1 Monitors " + addresses["right"] }));
    EXPECT_EQ (countOf (right.received(), "/info ,"), 2);
    EXPECT_EQ (countOf (left.received(), "/info ,"), 1);
}
