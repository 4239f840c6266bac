// The signal generator's sweep thread: its steps and turning points, the rates' one-way
// times, starting and stopping, edits on the message thread while it runs (these tests
// also run under ThreadSanitizer), and its messages in the hub's queue.  The thread is paced
// by the test, never by the clock.

#include "hub_fixture.h"
#include "Ciosiggen.h"
#include "SiggenSweep.h"
#include "SweepTickGate.h"

#include <atomic>
#include <mutex>
#include <thread>

using namespace hubtest;

namespace
{
    /** A packet sink that two threads may send to at once. */
    class SharedRecorder : public PacketSink
    {
    public:
        SharedRecorder()
            : installed (globals::packetSink, this)
        {
        }

        void sendPacket (OutboundPacketPtr packet) override
        {
            const std::lock_guard<std::mutex> lock (mutex);
            packets.push_back (std::move (packet));
        }

        std::size_t count()
        {
            const std::lock_guard<std::mutex> lock (mutex);
            return packets.size();
        }

        /** input, gain, freq of message `i`; throws on anything that is not a "/siggen" ,iff. */
        std::tuple<int, float, float> siggen (std::size_t i)
        {
            const std::lock_guard<std::mutex> lock (mutex);
            const auto& p = *packets.at (i);
            osc::ReceivedMessage m (osc::ReceivedPacket (p.data(), (osc::osc_bundle_element_size_t) p.size()));
            if (std::string (m.AddressPattern()) != "/siggen")
                throw std::runtime_error ("not /siggen");
            osc::int32 input = 0;
            float gain = 0.0f, freq = 0.0f;
            auto args = m.ArgumentStream();
            args >> input >> gain >> freq >> osc::EndMessage;
            return { input, gain, freq };
        }

    private:
        std::mutex mutex;
        std::vector<OutboundPacketPtr> packets;
        ScopedGlobal<PacketSink*> installed;
    };

    /** Lets the thread tick as fast as it can, for edits made while it runs. */
    class FreeRunning : public SiggenSweep::Pacer
    {
    public:
        void waitForTick() override
        {
            ++ticks;
            std::this_thread::yield();
        }
        void wake() override {}
        void reset() override {}
        std::atomic<int> ticks { 0 };
    };

    /** The frequency steps a sweep passes through in `ticks` ticks from `from`. */
    std::vector<int> walk (Ciosiggen& generator, SiggenSweep& sweep, int from, int ticks)
    {
        sweep.moveTo (from);
        std::vector<int> steps;
        for (int i = 0; i < ticks; ++i)
        {
            sweep.tick();
            steps.push_back (generator.freq->getStep());
        }
        return steps;
    }

    void decodeSiggen (Ciosiggen& generator, int input, float gain, float freq)
    {
        const auto bytes = oscBytes (
            [&] (::osc::OutboundPacketStream& s)
            { s << ::osc::BeginMessage ("/siggen") << (::osc::int32) input << gain << freq << ::osc::EndMessage; });
        osc::ReceivedMessage m (osc::ReceivedPacket (bytes.data(), (osc::osc_bundle_element_size_t) bytes.size()));
        auto args = m.ArgumentStream();
        generator.decode (args);
    }
}

TEST (SiggenSweep, StepsTurnAt599AndAt0AndOneWayTakesTheTimesOfTheRateTable)
{
    SharedRecorder sent;
    Ciosiggen generator;
    SiggenSweep sweep (generator);

    // Rate 5: six steps a tick, and every tick sends the block with its new frequency.
    EXPECT_EQ (walk (generator, sweep, 580, 5), (std::vector<int> { 586, 592, 598, 599, 593 }));
    EXPECT_EQ (walk (generator, sweep, 14, 5), (std::vector<int> { 8, 2, 0, 6, 12 }));
    EXPECT_FALSE (sweep.isSweepingDown());
    ASSERT_EQ (sent.count(), 10u);
    generator.freq->setStep (599);
    EXPECT_EQ (std::get<2> (sent.siggen (3)), generator.freq->getValue());

    // Seconds from step 0 to the turn at the top, per rate.
    const auto expectedSeconds = [] (int rate)
    {
        if (rate <= 6)
            return (double) rate;
        if (rate == 7)
            return 7.5;
        return rate <= 10 ? 10.0 : rate <= 15 ? 15.0 : 30.0;
    };
    for (int rate = SiggenSweep::lowestRate; rate <= SiggenSweep::highestRate; ++rate)
    {
        generator.scan->setStep (rate);
        sweep.moveTo (0);
        sweep.setSweepingDown (false);
        int ticks = 0;
        while (! sweep.isSweepingDown() && ticks < 10000)
        {
            sweep.tick();
            ++ticks;
        }
        EXPECT_EQ (generator.freq->getStep(), SiggenSweep::topStep) << rate;
        EXPECT_DOUBLE_EQ (ticks * SiggenSweep::tickMs / 1000.0, expectedSeconds (rate)) << rate;
    }

    // A rate from outside 5..30 never reaches the division as it is.
    for (int rate : { 0, -1, 4, INT32_MIN })
        EXPECT_EQ (SiggenSweep::stepsPerTick (rate), 6) << rate;
    for (int rate : { 31, INT32_MAX })
        EXPECT_EQ (SiggenSweep::stepsPerTick (rate), 1) << rate;
}

TEST (SiggenSweep, RunsOnlyWithTheSineOnAndStopsWithoutAnotherTick)
{
    SharedRecorder sent;
    SweepTickGate gate;
    Ciosiggen generator;
    generator.freq->setStep (300);
    SiggenSweep sweep (generator, &gate);

    // Off, then noise: the sweep is wanted, but nothing runs.
    for (int input : { 0, 2, 3 })
    {
        generator.input->setStep (input);
        sweep.setSweeping (true);
        EXPECT_TRUE (sweep.isSweeping());
        EXPECT_FALSE (sweep.isRunning()) << input;
        sweep.setSweeping (false);
    }
    EXPECT_EQ (sent.count(), 0u);

    generator.input->setStep (1);
    sweep.setSweeping (true);
    ASSERT_TRUE (sweep.isRunning());
    sweep.setSweeping (true);   // already running: no second thread, no extra tick
    ASSERT_TRUE (gate.waitForArrivals (1));
    ASSERT_TRUE (gate.step (3));
    EXPECT_EQ (gate.arrivalCount(), 4);
    EXPECT_EQ (generator.freq->getStep(), 300 + 4 * 6);

    sweep.setSweeping (false);
    EXPECT_FALSE (sweep.isRunning());
    EXPECT_EQ (sent.count(), 4u);
    EXPECT_EQ (generator.freq->getStep(), 324);

    // The direction is kept from one sweep to the next.
    generator.freq->setStep (596);
    sweep.setSweeping (true);
    ASSERT_TRUE (gate.waitForArrivals (5));
    ASSERT_TRUE (gate.step (1));
    EXPECT_EQ (generator.freq->getStep(), 593);
    sweep.setSweeping (false);
    EXPECT_TRUE (sweep.isSweepingDown());
    generator.freq->setStep (100);
    sweep.setSweeping (true);
    ASSERT_TRUE (gate.waitForArrivals (7));
    EXPECT_EQ (generator.freq->getStep(), 94);
}

TEST (SiggenSweep, MessageThreadEditsWhileTheSweepRunsAreSafeAndEveryMessageIsWhole)
{
    SharedRecorder sent;
    FreeRunning pacer;
    Ciosiggen generator;
    generator.input->setStep (1);
    SiggenSweep sweep (generator, &pacer);

    sweep.setSweeping (true);
    ASSERT_TRUE (sweep.isRunning());

    // What the page and the hub do meanwhile: rate and level edits, sends of their own,
    // amplifier answers decoded into the block, and reading the frequency to show it.
    int shown = 0;
    for (int i = 0; i < 200000 && (i < 2000 || pacer.ticks.load() < 200); ++i)
    {
        generator.scan->setStep (5 + i % 26);
        generator.gain->setStep (i % 81);
        if (i % 7 == 0)
            generator.send ("/siggen");
        if (i % 50 == 0)
            decodeSiggen (generator, 1, -20.0f, 1000.0f);
        shown += generator.freq->getStep() >= 0 ? 1 : 0;
    }
    sweep.setSweeping (false);
    EXPECT_FALSE (sweep.isRunning());
    EXPECT_GT (pacer.ticks.load(), 0);
    EXPECT_GT (shown, 0);

    const auto total = sent.count();
    ASSERT_GT (total, 0u);
    for (std::size_t i = 0; i < total; ++i)
    {
        const auto [input, gain, freq] = sent.siggen (i);
        EXPECT_EQ (input, 1);
        EXPECT_TRUE (gain >= -40.0f && gain <= 0.0f) << i;
        EXPECT_TRUE (freq >= 20.0f && freq <= 20000.0f) << i;
    }
    EXPECT_GE (generator.freq->getStep(), 0);
    EXPECT_LE (generator.freq->getStep(), SiggenSweep::topStep);
}

class SweepThroughHub : public HubTest
{
};

TEST_F (SweepThroughHub, SweepMessagesCoalesceInTheQueueWhileOneIsInFlight)
{
    onlineAndIdle();
    Ciosiggen generator;
    generator.input->setStep (1);
    generator.freq->setStep (100);
    SweepTickGate gate;
    SiggenSweep sweep (generator, &gate);

    sweep.setSweeping (true);
    ASSERT_TRUE (gate.waitForArrivals (1));
    ASSERT_TRUE (waitUntilAwaiting());   // the first step's message is on its way, unanswered
    const auto first = nextAtAmp();
    ASSERT_EQ (addressOf (first), "/siggen");

    ASSERT_TRUE (gate.step (5));
    sweep.setSweeping (false);

    // One in flight, and one behind it with the newest frequency in place of the other four.
    ASSERT_EQ (queuedAddresses(), (std::vector<std::string> { "/siggen", "/siggen" }));
    deliver (first);
    const auto next = nextAtAmp();
    ASSERT_EQ (addressOf (next), "/siggen");
    osc::ReceivedMessage m (osc::ReceivedPacket (next.data(), (osc::osc_bundle_element_size_t) next.size()));
    auto it = m.ArgumentsBegin();
    ++it;
    ++it;
    EXPECT_EQ (it->AsFloat(), generator.freq->getValue());
    EXPECT_EQ (generator.freq->getStep(), 100 + 6 * 6);
}

TEST_F (SweepThroughHub, EchoesOfOlderFrequenciesFromASlowAmplifierDoNotMoveTheSweepBack)
{
    onlineAndIdle();
    Ciosiggen generator;
    const ScopedGlobal<Ciosiggen*> published (globals::siggen, &generator);
    generator.input->setStep (1);
    generator.freq->setStep (100);
    SweepTickGate gate;
    SiggenSweep sweep (generator, &gate);

    // The first step is on its way; two more ticks pass before the amplifier answers it.
    sweep.setSweeping (true);
    ASSERT_TRUE (gate.waitForArrivals (1));
    ASSERT_TRUE (waitUntilAwaiting());
    const auto first = nextAtAmp();
    ASSERT_TRUE (gate.step (2));
    ASSERT_EQ (generator.freq->getStep(), 118);

    // Its echo reaches the block (what the page shows), but the sweep goes on from its own
    // position, not from the echo's.
    deliver (first);
    EXPECT_EQ (generator.freq->getStep(), 106);
    ASSERT_TRUE (gate.step (1));
    EXPECT_EQ (generator.freq->getStep(), 124);
    sweep.setSweeping (false);
}
