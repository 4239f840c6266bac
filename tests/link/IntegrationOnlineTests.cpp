// Going online against a simulated amplifier: what reaches the wire and in which order, the
// stop-and-wait pacing, what the answers do, and edits coalescing while the link is busy.

#include "IntegrationFixture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

using namespace linktest;

TEST_F (LinkIntegration, OnlineSequenceReachesTheAmplifierInOrderOneRequestAtATime)
{
    auto& sim = startSim ("amp", { "--model", "1" });
    ASSERT_FALSE (HasFailure());
    makeHub();
    ASSERT_TRUE (testloop::runUntil ([this] { return setup.count ("addNetworkDevice") == 1; }));

    // Values the amplifier's answers must overwrite.
    siggen.gain->setValue (-40.0f);
    siggen.freq->setValue (50.0f);

    connect ("amp", 1);
    ASSERT_TRUE (waitIdle());

    // "/online" first, then exactly the requests in order, each once.
    const auto expected = onlineRequests (root, true);
    ASSERT_EQ (expected.size(), 62u);   // "/gain", 39 blocks, 20 slots, "/meter", "/siggen"
    const auto all = sim.received();
    const auto online = std::find (all.begin(), all.end(), "/online ,");
    ASSERT_NE (online, all.end());
    const std::vector<std::string> sent (online + 1,
                                         online + 1 + std::min<std::ptrdiff_t> (62, all.end() - online - 1));
    EXPECT_EQ (sent, expected);

    // Stop-and-wait: every request after the first arrives only once the answer to the one
    // before it has left the amplifier.
    const auto log = sim.log();
    std::string awaited;
    bool answered = true;
    int checked = 0;
    for (const auto& line : log)
    {
        if (line.what == "send" && addressOf (line.text) == awaited)
            answered = true;
        if (line.what != "recv" || line.text == "/info ," || line.text == "/online ,")
            continue;
        EXPECT_TRUE (answered) << line.text << " arrived before the answer to " << awaited;
        awaited = addressOf (line.text);
        answered = false;
        ++checked;
    }
    EXPECT_GE (checked, 62);

    // The answers reached the panel, the Setup page and the signal generator.
    EXPECT_GE (panel.gainCalls, 1);
    EXPECT_EQ (setup.count ("setSlot"), 20);
    EXPECT_EQ (setup.count ("setSlot 1 "), 1);
    EXPECT_EQ (setup.count ("setSlot 20 "), 1);
    EXPECT_FLOAT_EQ (siggen.gain->getValue(), -20.0f);
    EXPECT_NEAR (siggen.freq->getValue(), 1000.0f, 20.0f);
    ASSERT_TRUE (testloop::runUntil ([this] { return panel.meterCalls > 0 && panel.meters[0] > 0.0f; }));
    EXPECT_TRUE (dialogs.shown.empty());
    EXPECT_EQ (hub->getPendingTransmissions(), 0);
}

TEST_F (LinkIntegration, EditsWhileTheLinkIsBusyAreCoalescedAndTheLastValueArrives)
{
    // A slow answer keeps the link busy while the control moves.
    auto& sim = startSim ("amp", { "--reply-delay", "10" });
    ASSERT_FALSE (HasFailure());
    makeHub();
    connectAndSettle ("amp");

    auto* delay = root.channels[0]->delay;
    const std::string address = delay->address;
    constexpr int edits = 100;
    const auto start = std::chrono::steady_clock::now();
    for (int step = 1; step <= edits; ++step)
    {
        delay->del->setStep (step);
        delay->send (delay->address);
        testloop::run (2);   // a drag delivers a new value every few milliseconds
        int waiting = 0;
        for (const auto& m : hub->queuedMessages())
            waiting += address == static_cast<const char*> (m.getData()) ? 1 : 0;
        ASSERT_LE (waiting, 2) << "one value in flight, and only the newest waiting";
    }
    const auto dragMs = std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE (waitIdle());

    std::vector<std::string> values;
    for (const auto& message : sim.received())
        if (addressOf (message) == address && message != address + " ,")   // not the online query
            values.push_back (message);

    // At most one transmission per answer time (10 ms) during the drag, plus the last.
    ASSERT_FALSE (values.empty());
    EXPECT_LE ((double) values.size(), dragMs / 10.0 + 2.0);
    EXPECT_LT (values.size(), (std::size_t) edits / 3);

    char last[64];
    std::snprintf (last, sizeof last, "%s ,fi %g 0", address.c_str(), 0.01 * edits);
    EXPECT_EQ (values.back(), last);

    // The amplifier's answer to the last value leaves the block at that value.
    EXPECT_EQ (delay->del->getStep(), edits);
    EXPECT_TRUE (dialogs.shown.empty());
}
