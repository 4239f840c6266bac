// Sessions of their own over the hub's one socket: each keeps its own queue and its own
// silence, answers count only for the session of their sender, and the acknowledgement is
// taken on the receive thread by the same rules the dispatch applies.

#include "HubFixture.h"
#include "AnsweringPeer.h"
#include "AnswerRules.h"
#include "DeviceCodec.h"

#include <atomic>
#include <limits>
#include <thread>

using namespace hubtest;
using peertest::Blocks;

namespace
{
    /** Plays an amplifier that answers every request reaching `peer`, until destroyed. */
    class Responder
    {
    public:
        Responder (SimulatedNetwork::Peer& peerToUse, Blocks& blocksToUse)
            : peer (peerToUse),
              blocks (blocksToUse)
        {
            thread = std::thread ([this] { loop(); });
        }

        ~Responder()
        {
            stop.store (true);
            thread.join();
        }

        std::atomic<int> answered { 0 };

    private:
        void loop()
        {
            while (! stop.load())
            {
                const auto request = peer.receive (5);
                const auto address = addressOf (request);
                if (request.empty() || address == "/online" || address == "/offline")
                    continue;
                peer.send (blocks.answerTo (address));
                ++answered;
            }
        }

        SimulatedNetwork::Peer& peer;
        Blocks& blocks;
        std::atomic<bool> stop { false };
        std::thread thread;
    };

    /** Everything one session's answers reach on the program's side. */
    struct Owner
    {
        osc::SessionTarget target (Blocks* blocks = nullptr)
        {
            osc::SessionTarget t;
            t.panel = &panel;
            t.setup = &setup;
            if (blocks != nullptr)
            {
                t.root = &blocks->root;
                t.speaker = &blocks->speaker;
                t.siggen = &blocks->siggen;
            }
            t.lost = [this] (const juce::String& why) { lost.push_back (why.toStdString()); };
            return t;
        }

        FakePanel panel;
        FakeSetupPage setup;
        std::vector<std::string> lost;
    };

    /** Online requests without a tree: the gains, the 20 slot names and the meters. */
    constexpr int requestsWithoutTree = 22;
}

class HubSessions : public HubTest
{
protected:
    osc::DeviceSession& open (Owner& owner, const char* address, Blocks* blocks = nullptr)
    {
        return hub->openSession (SimulatedNetwork::address (address), owner.target (blocks));
    }

    std::string head (const osc::DeviceSession& session) const
    {
        const auto queued = hub->queuedMessages (session);
        return queued.empty() ? std::string() : addressOf (queued.front());
    }

    static void drain (SimulatedNetwork::Peer& peer)
    {
        while (! peer.receive (20).empty())
        {
        }
    }
};

TEST_F (HubSessions, ASilentAmplifiersRetriesNeverDelayAnothersAnswers)
{
    SimulatedNetwork::Peer quietAmp (net, "127.0.0.5", port);
    SimulatedNetwork::Peer busyAmp (net, "127.0.0.6", port);
    Blocks blocks;
    Owner quiet, busy;
    auto& q = open (quiet, "127.0.0.5");
    auto& b = open (busy, "127.0.0.6");

    hub->goOnline (q);
    ASSERT_TRUE (testloop::runUntil ([&] { return q.awaitingReply.load(); }));
    {
        Responder responder (busyAmp, blocks);
        hub->goOnline (b);
        ASSERT_TRUE (testloop::runUntil ([&] { return hub->isSettled (b); }));
        EXPECT_EQ (responder.answered.load(), requestsWithoutTree);
    }
    EXPECT_EQ (busy.panel.gainCalls, 1);
    EXPECT_EQ (busy.setup.count ("setSlot"), 20);

    // Meanwhile the silent one's first request went out once and is still awaited.
    EXPECT_EQ (head (q), "/gain");
    EXPECT_EQ (q.pendingTransmissions.load(), 1);
    EXPECT_EQ (addressOf (quietAmp.receive (100)), "/online");
    EXPECT_EQ (addressOf (quietAmp.receive (100)), "/gain");

    // Its own retries: three more, each after its answer window, then the loss, told to
    // its owner alone.
    for (int transmission = 2; transmission <= 4; ++transmission)
    {
        clock.advance (501);
        ASSERT_EQ (addressOf (quietAmp.receive (1000)), "/gain") << "transmission " << transmission;
    }
    clock.advance (501);
    ASSERT_TRUE (testloop::runUntil ([&] { return ! quiet.lost.empty(); }));
    testloop::run (30);

    EXPECT_EQ (quiet.lost, (std::vector<std::string> { "Network connection error! Device will be disconnected" }));
    EXPECT_FALSE (q.online.load());
    EXPECT_TRUE (hub->isSettled (q));
    EXPECT_EQ (addressOf (quietAmp.receive (100)), "/offline");
    EXPECT_EQ (quiet.panel.meters, (std::array<float, 4> {}));

    // The other session and the program's own connection never noticed.
    EXPECT_TRUE (b.online.load());
    EXPECT_TRUE (busy.lost.empty());
    EXPECT_TRUE (dialogs.shown.empty());
    EXPECT_TRUE (setup.calls.empty());

    Responder responder (busyAmp, blocks);
    hub->sendPacket (b, osc::codec::gains (-3.0f, -4.0f, 0, 1));
    ASSERT_TRUE (testloop::runUntil ([&] { return hub->isSettled (b) && busy.panel.gainCalls == 2; }));
}

TEST_F (HubSessions, AnswersCountOnlyForTheSessionOfTheirSenderAndAThirdAddressChangesNothing)
{
    SimulatedNetwork::Peer ampA (net, "127.0.0.5", port);
    SimulatedNetwork::Peer ampB (net, "127.0.0.6", port);
    SimulatedNetwork::Peer stranger (net, "127.0.0.7", port);
    Owner ownerA, ownerB;
    auto& a = open (ownerA, "127.0.0.5");
    auto& b = open (ownerB, "127.0.0.6");
    hub->goOnline (a);
    hub->goOnline (b);
    ASSERT_TRUE (testloop::runUntil ([&] { return a.awaitingReply.load() && b.awaitingReply.load(); }));

    // Both wait for "/gain": an answer from a third address is nobody's.
    stranger.send (gains (-20.0f, -20.0f, 1, 1));
    stranger.send (answerTo ("/preset/name"));
    testloop::run (50);
    EXPECT_EQ (head (a), "/gain");
    EXPECT_EQ (head (b), "/gain");
    EXPECT_TRUE (a.awaitingReply.load() && b.awaitingReply.load());
    EXPECT_EQ (ownerA.panel.gainCalls + ownerB.panel.gainCalls + panel.gainCalls, 0);
    EXPECT_TRUE (ownerA.setup.calls.empty() && ownerB.setup.calls.empty() && setup.calls.empty());

    // B's answer is B's alone.
    ampB.send (gains (-1.0f, -2.0f, 0, 0));
    ASSERT_TRUE (testloop::runUntil ([&] { return ownerB.panel.gainCalls == 1; }));
    testloop::run (30);
    EXPECT_EQ (head (b), "/preset/name");
    EXPECT_EQ (head (a), "/gain");
    EXPECT_EQ (a.pendingTransmissions.load(), 1);
    EXPECT_EQ (ownerA.panel.gainCalls, 0);
    EXPECT_EQ (ownerB.panel.gains, (std::array<float, 2> { -1.0f, -2.0f }));

    // An answer of A's to B's request in flight ("/preset/name") does not retire it.
    ampA.send (answerTo ("/preset/name"));
    testloop::run (50);
    EXPECT_EQ (head (b), "/preset/name");
    EXPECT_EQ (head (a), "/gain");
    EXPECT_TRUE (ownerB.setup.calls.empty());

    ampA.send (gains (-5.0f, -6.0f, 0, 0));
    ASSERT_TRUE (testloop::runUntil ([&] { return head (a) == "/preset/name"; }));
    EXPECT_EQ (ownerA.panel.gains, (std::array<float, 2> { -5.0f, -6.0f }));
}

TEST_F (HubSessions, AnAnswerReleasesTheNextRequestWithoutWaitingForTheMessageThread)
{
    connectOverNetwork();
    ASSERT_EQ (addressOf (nextAtAmp()), "/online");
    ASSERT_EQ (addressOf (nextAtAmp()), "/gain");

    // No message is dispatched from here on: the receive thread alone lets the next go.
    amp->send (gains (-6.0f, -3.0f, 0, 0));
    EXPECT_EQ (addressOf (nextAtAmp()), "/preset/name");

    // Until the answer's values are taken in, its request is not done.
    EXPECT_EQ (queuedAddresses().front(), "/gain");
    EXPECT_EQ (panel.gainCalls, 0);
    EXPECT_EQ (hub->getPendingTransmissions(), 1);

    ASSERT_TRUE (testloop::runUntil ([this] { return panel.gainCalls == 1; }));
    EXPECT_EQ (queuedAddresses().front(), "/preset/name");
    EXPECT_EQ (panel.gains, (std::array<float, 2> { -6.0f, -3.0f }));

    // An answer that does not fit retires nothing there either (clock frozen: no
    // retransmission), and is dropped by the dispatch too.
    amp->send (oneInt ("/preset/name", 1));
    EXPECT_TRUE (nextAtAmp (100).empty());
    testloop::run (30);
    EXPECT_EQ (queuedAddresses().front(), "/preset/name");
    EXPECT_EQ (setup.count ("setSlot"), 0);
}

TEST_F (HubSessions, WithTheSendThreadStoppedRequestsStillLeaveAndASequenceCompletes)
{
    // While answers come, nothing waits for the send thread: a request queued for an idle
    // session leaves from the thread that queued it, every next one from the receive
    // thread's acknowledgement.  (The send thread only keeps the answer windows.)
    ASSERT_TRUE (hub->stopPromptly (1000));

    SimulatedNetwork::Peer ampPeer (net, "127.0.0.6", port);
    Blocks blocks;
    Owner owner;
    auto& session = open (owner, "127.0.0.6");
    Responder responder (ampPeer, blocks);

    hub->goOnline (session);
    ASSERT_TRUE (testloop::runUntil ([&] { return hub->isSettled (session); }));
    EXPECT_EQ (responder.answered.load(), requestsWithoutTree);
    EXPECT_EQ (owner.setup.count ("setSlot"), 20);

    hub->sendPacket (session, osc::codec::gains (-3.0f, -4.0f, 0, 1));
    ASSERT_TRUE (testloop::runUntil ([&] { return hub->isSettled (session); }));
    EXPECT_EQ (responder.answered.load(), requestsWithoutTree + 1);
    EXPECT_TRUE (owner.lost.empty());
}

TEST_F (HubSessions, TheReceiveThreadJudgesEveryAnswerAsTheDispatchDoes)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const auto delay = [] (auto... values)
    {
        return oscBytes ([&] (::osc::OutboundPacketStream& s)
                         { ((s << ::osc::BeginMessage ("/channel/1/delay")) << ... << values) << ::osc::EndMessage; });
    };

    struct Case
    {
        const char* request;
        std::vector<char> answer;
    };
    const std::vector<Case> cases {
        { "/gain", gains (-1.0f, -2.0f, 0, 1) },
        { "/gain", oneInt ("/gain", 1) },
        { "/meter", meters (0.5f, 0.5f, 0.5f, 0.5f) },
        { "/meter", meters (nan, 0.5f, 0.5f, 0.5f) },
        { "/meter", bare ("/meter") },
        { "/lock", oneInt ("/lock", 0) },
        { "/unlock", oneInt ("/lock", 0x41424344) },
        { "/lock", oneString ("/lock", "ABCD") },
        { "/ampname", oneString ("/ampname", "Amp") },
        { "/ampname", oneInt ("/ampname", 3) },
        { "/preset/name", presetAnswer ("/preset/name", 4, 1, "Club") },
        { "/preset/load", presetAnswer ("/preset/load", 4, 1, "Club") },
        { "/preset/bogus", presetAnswer ("/preset/bogus", 4, 1, "Club") },
        { "/preset/name", oneInt ("/preset/name", 4) },
        { "/speaker", oneInt ("/speaker", 8) },
        { "/speaker", oneString ("/speaker", "8") },
        { "/speaker", bare ("/speaker") },
        { "/siggen", oscBytes (
                         [] (::osc::OutboundPacketStream& s) {
                             s << ::osc::BeginMessage ("/siggen") << (::osc::int32) 1 << -6.0f << 1000.0f
                               << ::osc::EndMessage;
                         }) },
        { "/siggen", bare ("/siggen") },
        { "/channel/1/delay", delay (2.5f, (::osc::int32) 1) },
        { "/channel/1/delay", delay (2.5f, 1.0f) },
        { "/channel/1/delay", delay (2.5f, (::osc::int32) 1, (::osc::int32) 1) },
        { "/channel/1/delay", bare ("/channel/1/delay") },
        { "/power", oneString ("/power", "ON") },
        { "/peaklimit", oscBytes (
                            [] (::osc::OutboundPacketStream& s)
                            {
                                s << ::osc::BeginMessage ("/peaklimit") << (::osc::int32) 1 << (::osc::int32) 0
                                  << (::osc::int32) 0 << (::osc::int32) 0 << ::osc::EndMessage;
                            }) },
    };

    Blocks blocks;
    SimulatedNetwork::Peer ampA (net, "127.0.0.5", port);
    SimulatedNetwork::Peer ampB (net, "127.0.0.6", port);
    for (const auto& c : cases)
    {
        SCOPED_TRACE (std::string (c.request) + " answered by " + addressOf (c.answer));

        // A: answered over the socket, judged on the receive thread.  B: the same answer
        // handed straight to the dispatch, which judges it on the message thread.
        Owner ownerA, ownerB;
        auto& a = open (ownerA, "127.0.0.5", &blocks);
        auto& b = open (ownerB, "127.0.0.6", &blocks);
        {
            Responder responderA (ampA, blocks);
            Responder responderB (ampB, blocks);
            hub->goOnline (a);
            hub->goOnline (b);
            ASSERT_TRUE (testloop::runUntil ([&] { return hub->isSettled (a) && hub->isSettled (b); }));
        }
        drain (ampA);
        drain (ampB);
        ownerA.setup.calls.clear();
        ownerB.setup.calls.clear();

        hub->sendQuery (a, c.request);
        hub->sendQuery (b, c.request);
        ASSERT_TRUE (testloop::runUntil ([&] { return a.awaitingReply.load() && b.awaitingReply.load(); }));

        ampA.send (c.answer);
        deliver (c.answer, osc::PacketSource::network, "127.0.0.6");
        testloop::run (30);

        EXPECT_EQ (hub->isSettled (a), hub->isSettled (b));
        EXPECT_EQ (ownerA.setup.calls, ownerB.setup.calls);
        EXPECT_EQ (ownerA.panel.gainCalls, ownerB.panel.gainCalls);

        hub->closeSession (a);
        hub->closeSession (b);
        drain (ampA);
        drain (ampB);
    }
}

TEST (AnswerRules, BlocksAreJudgedByTheirWireTagsAndUnknownAddressesAreLeftToTheDispatch)
{
    TestModel model;
    auto& root = model.root;
    auto& siggen = model.siggen;
    const auto rules = osc::AnswerRules::fromBlocks (&root, nullptr, &siggen);

    // The signal generator's message carries three of its four parameters.
    EXPECT_EQ (osc::AnswerRules::wireTags (siggen, "/siggen"), "iff");
    EXPECT_EQ (osc::AnswerRules::wireTags (root, "/"), "");

    // What an answer acknowledges, copied out while its message still exists.
    struct Judged
    {
        bool known;
        std::vector<std::string> addresses;
    };
    const auto judge = [&rules] (const std::vector<char>& bytes)
    {
        const osc::codec::InboundMessage message (bytes.data(), bytes.size());
        const auto verdict = rules->judge (message.get());
        return Judged { verdict.known, { verdict.addresses, verdict.addresses + verdict.count } };
    };

    EXPECT_FALSE (judge (bare ("/channel/9/delay")).known);
    EXPECT_EQ (judge (bare ("/channel/1/delay")).addresses, std::vector<std::string>());
    EXPECT_TRUE (judge (bare ("/channel/1/delay")).known);

    // Without its block, a speaker answer with one argument is taken as the dispatch takes it.
    EXPECT_EQ (judge (oneString ("/speaker", "x")).addresses, (std::vector<std::string> { "/speaker" }));

    // "/lock" answers "/lock", and failing that "/unlock".
    EXPECT_EQ (judge (oneInt ("/lock", 0)).addresses, (std::vector<std::string> { "/lock", "/unlock" }));

    EXPECT_TRUE (judge (oneString ("/power", "OFF")).known);
    EXPECT_TRUE (judge (oneString ("/power", "OFF")).addresses.empty());
}
