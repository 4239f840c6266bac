// Searching on every network the computer is on, and the UDP port held by another program:
// the Setup page is told, and the hub takes the port and searches by itself once it is free.

#include "HubFixture.h"

using namespace hubtest;

namespace
{
    class HubSearch : public HubTest
    {
    protected:
        /** Where "/info" went, in order, as dotted addresses. */
        std::vector<std::string> infoDestinations() const
        {
            std::vector<std::string> destinations;
            for (const auto& d : net.sent())
                if (addressOf (d.bytes) == "/info")
                    destinations.push_back (hostaddress::dotted (d.to));
            return destinations;
        }

        /** Lets the hub's timer run once the fake clock says the retry is due. */
        void passRetryTime()
        {
            clock.advance (osc::OscCom::portRetryMs);
            testloop::run (400);
        }
    };
}

TEST_F (HubSearch, ABroadcastSearchAlsoGoesOnceToEachInterfacesBroadcastAndFollowsTheirChanges)
{
    net.setInterfaceBroadcasts ({ "192.0.2.255", "198.51.100.255" });
    hub->searchDevices (osc::OscCom::broadcastAddress);
    EXPECT_EQ (infoDestinations(), (std::vector<std::string> {
                                       "255.255.255.255",                                   // at start-up
                                       "255.255.255.255", "192.0.2.255", "198.51.100.255"   // the search
                                   }));

    // An interface went away and another came between two searches.
    net.setInterfaceBroadcasts ({ "198.51.100.255", "203.0.113.255" });
    hub->searchDevices (osc::OscCom::broadcastAddress);
    const auto all = infoDestinations();
    EXPECT_EQ (std::vector<std::string> (all.end() - 3, all.end()),
               (std::vector<std::string> { "255.255.255.255", "198.51.100.255", "203.0.113.255" }));

    // A search aimed at one amplifier goes there only.
    hub->searchDevices (std::string (ampAddress));
    EXPECT_EQ (infoDestinations().back(), ampAddress);
    EXPECT_EQ (infoDestinations().size(), all.size() + 1);
}

TEST_F (HubSearch, AnAmplifierHeardOnTwoPathsIsReportedPerAnswerAndEachAnswerNamesOneAddress)
{
    // The amplifier hears the limited and its subnet's directed broadcast: two answers from
    // one address, which the device list keeps as one row.
    net.setInterfaceBroadcasts ({ "127.0.0.255" });
    amp->hearBroadcasts (true);
    while (! amp->receive (20).empty())
    {
    }
    hub->searchDevices (osc::OscCom::broadcastAddress);

    int heard = 0;
    while (! amp->receive (100).empty())
    {
        ++heard;
        amp->send (info ("Amp", 1));
    }
    EXPECT_EQ (heard, 2);
    ASSERT_TRUE (testloop::runUntil ([this] { return setup.count ("addNetworkDevice") == 2; }));
    EXPECT_EQ (setup.calls,
               (std::vector<std::string> { "addNetworkDevice 1 Amp 127.0.0.2", "addNetworkDevice 1 Amp 127.0.0.2" }));
}

TEST_F (HubSearch, APortHeldByAnotherProgramIsReportedAndTakenOnceFreeWithASearchOfItsOwn)
{
    hub.reset();
    net.holdPortElsewhere (port, true);
    setup.calls.clear();
    makeHub();

    EXPECT_FALSE (hub->holdsUdpPort());
    EXPECT_EQ (setup.calls, (std::vector<std::string> { "showPortInUse true 3456" }));

    // Nothing reaches a socket without the port.
    amp->send (info ("Amp", 1));
    testloop::run (50);
    EXPECT_EQ (setup.count ("addNetworkDevice"), 0);

    // Still held at the next try: nothing new is said, and the try does not search.
    const auto infosBefore = infoDestinations().size();
    passRetryTime();
    EXPECT_EQ (setup.calls, (std::vector<std::string> { "showPortInUse true 3456" }));
    EXPECT_EQ (infoDestinations().size(), infosBefore);

    // Freed: the next try takes the port, says so and searches; the answer fills the list.
    net.holdPortElsewhere (port, false);
    passRetryTime();
    ASSERT_TRUE (hub->holdsUdpPort());
    EXPECT_EQ (setup.calls, (std::vector<std::string> { "showPortInUse true 3456", "showPortInUse false 3456" }));
    EXPECT_EQ (infoDestinations().size(), infosBefore + 1);
    EXPECT_EQ (net.openSockets (port), 1);

    amp->send (info ("Amp", 1));
    EXPECT_TRUE (testloop::runUntil ([this] { return setup.count ("addNetworkDevice") == 1; }));

    // Nothing more to try for.
    const auto socketsMade = net.mostOpenAtOnce (port);
    passRetryTime();
    EXPECT_EQ (setup.count ("showPortInUse"), 2);
    EXPECT_EQ (net.mostOpenAtOnce (port), socketsMade);
}

TEST_F (HubSearch, ASocketThatCannotBeMadeIsNoSignOfAnotherProgram)
{
    hub.reset();
    net.failNextSocket();
    setup.calls.clear();
    makeHub();
    EXPECT_TRUE (hub->holdsUdpPort());
    EXPECT_EQ (setup.count ("showPortInUse"), 0);
}

TEST_F (HubSearch, ChoosingAnAmplifierWhileThePortIsHeldElsewhereSaysSoToo)
{
    net.holdPortElsewhere (port, true);
    setup.selectDevice (1);
    EXPECT_EQ (setup.calls.back(), "showPortInUse true 3456");
    EXPECT_FALSE (hub->holdsUdpPort());
}
