#include "ModelTestSupport.h"
#include "MessageLoop.h"
#include "PacketRecorder.h"

#include <gtest/gtest.h>

namespace
{
    struct Listener : juce::ChangeListener
    {
        explicit Listener (Cnode& node)
            : node (node)
        {
            node.addChangeListener (this);
        }
        ~Listener() override { node.removeChangeListener (this); }

        void changeListenerCallback (juce::ChangeBroadcaster* source) override
        {
            ++calls;
            lastId = static_cast<Cnode*> (source)->id;
        }

        Cnode& node;
        int calls = 0;
        std::int32_t lastId = -1;
    };
}

TEST (Notification, DecodeNotifiesWithTheBlock)
{
    TestModel t;
    auto& filt = *t.root.channels[0]->deq->bands[1]->filt;
    Listener listener (filt);
    (Inbound ("/channel/1/deq/2/filt") << "BP" << 500.0f << 2.0f).deliverTo (t.root);

    EXPECT_TRUE (testloop::runUntil ([&] { return listener.calls > 0; }, 2000));
    EXPECT_EQ (listener.calls, 1);
    EXPECT_EQ (NodeId::bandIndex (listener.lastId), 1);
    EXPECT_EQ (NodeId::subBlock (listener.lastId), (int) NodeId::deqFilt);
}

TEST (Notification, FailedDecodeAndSetValueDoNotNotify)
{
    TestModel t;
    auto& band = *t.root.channels[0]->peq->bands[0];
    Listener listener (band);

    EXPECT_THROW ((Inbound ("/channel/1/peq/1") << "PEQ" << 1.0f).deliverTo (t.root), osc::MissingArgumentException);
    band.gain->setValue (3.0f);
    band.freq->setStep (100);
    EXPECT_EQ (band.fromText ("nothing"), -1);
    testloop::run (100);
    EXPECT_EQ (listener.calls, 0);

    EXPECT_EQ (band.fromText (" PEQ"), 0);
    EXPECT_TRUE (testloop::runUntil ([&] { return listener.calls > 0; }, 2000));
}

TEST (Notification, StandaloneBlockNotifies)
{
    Ciospeaker speaker;
    Listener listener (speaker);
    (Inbound ("/speaker") << (osc::int32) 4).decodeInto (speaker);
    EXPECT_TRUE (testloop::runUntil ([&] { return listener.calls > 0; }, 2000));
    EXPECT_EQ (listener.lastId, 0);
}

TEST (PacketHandOff, WithoutSinkThePacketIsFreed)
{
    ScopedGlobal<PacketSink*> noSink (globals::packetSink, nullptr);
    const int before = OutboundPacket::live();
    TestModel t;
    t.root.ampmode->send (t.root.ampmode->address);
    sendPacket (std::make_unique<OutboundPacket>());
    sendPacket (nullptr);
    EXPECT_EQ (OutboundPacket::live(), before);
}

TEST (PacketHandOff, RecorderTakesThePackets)
{
    TestModel t;
    PacketRecorder recorder;
    t.root.channels[1]->limiter->send (t.root.channels[1]->limiter->address);
    t.root.ampmode->send (t.root.ampmode->address);
    ASSERT_EQ (recorder.count(), 2u);
    EXPECT_EQ (recorder.address (0), "/channel/2/limiter");
    EXPECT_EQ (recorder.address (1), "/ampmode");
    EXPECT_EQ (std::string (recorder.message (0).TypeTags()), "fff");
    EXPECT_EQ (OutboundPacket::live(), 2);
}
