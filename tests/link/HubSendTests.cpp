// The hub's sending side over the network: sequences, stop-and-wait, retransmission and the
// lost-connection rule, and which packets are listened to.

#include "HubFixture.h"

using namespace hubtest;

namespace
{
    float floatArgument (const std::vector<char>& message, int index)
    {
        osc::ReceivedMessage m (osc::ReceivedPacket (message.data(), (osc::osc_bundle_element_size_t) message.size()));
        auto it = m.ArgumentsBegin();
        for (int i = 0; i < index; ++i)
            ++it;
        return it->AsFloat();
    }
}

class HubSend : public HubTest
{
};

TEST_F (HubSend, OfflineNothingIsQueued)
{
    hub->sendPacket (std::make_unique<OutboundPacket>());
    hub->sendQuery ("/gain");
    hub->sendGains (-1.0f, -2.0f, 0, 1);
    hub->sendMeterRequest (10.0f);
    EXPECT_TRUE (hub->queuedMessages().empty());

    // Not even after a connection is chosen: only the online sequence opens the queue.
    setup.selectDevice (1);
    hub->sendQuery ("/gain");
    EXPECT_TRUE (hub->queuedMessages().empty());
    EXPECT_TRUE (nextAtAmp (100).empty());
}

TEST_F (HubSend, OnlineSequenceQueuesGainEveryBlockThePresetNamesAndTheMeters)
{
    TestModel model { TestModel::publishRoot };
    auto& root = model.root;

    connectOverNetwork();

    EXPECT_EQ (addressOf (nextAtAmp()), "/online");

    std::vector<std::string> expected { "/gain" };
    forEachLeaf (&root, [&] (Cnode* block) { expected.push_back (block->address); });
    ASSERT_EQ (expected.size(), 40u);
    for (int slot = 1; slot <= 20; ++slot)
        expected.push_back ("/preset/name");
    expected.push_back ("/meter");

    EXPECT_EQ (queuedAddresses(), expected);

    // The block queries carry no arguments; the preset names carry their slot in order.
    const auto queued = hub->queuedMessages();
    EXPECT_EQ (queued[1].getSize(), 16u);   // "/ampmode" padded to 12, then "," padded to 4
    for (int slot = 1; slot <= 20; ++slot)
    {
        const auto& m = queued[(std::size_t) (39 + slot)];
        osc::ReceivedMessage message (
            osc::ReceivedPacket ((const char*) m.getData(), (osc::osc_bundle_element_size_t) m.getSize()));
        auto args = message.ArgumentStream();
        osc::int32 n, mode;
        const char* text;
        args >> n >> mode >> text >> osc::EndMessage;
        EXPECT_EQ (n, slot);
        EXPECT_EQ (mode, 0);
        EXPECT_STREQ (text, "DUMMY");
    }
    const auto* meter = static_cast<const char*> (queued.back().getData());
    EXPECT_EQ (floatArgument ({ meter, meter + queued.back().getSize() }, 0), 10.0f);

    // The first request goes out at once, and only that one.
    EXPECT_EQ (addressOf (nextAtAmp()), "/gain");
    EXPECT_TRUE (nextAtAmp (100).empty());
}

TEST_F (HubSend, AnAnswerRetiresTheHeadAndTheNextRequestGoesOut)
{
    connectOverNetwork();
    ASSERT_EQ (addressOf (nextAtAmp()), "/online");
    ASSERT_EQ (addressOf (nextAtAmp()), "/gain");

    // An answer with another address changes nothing.
    amp->send (answerTo ("/meter"));
    testloop::run (50);
    EXPECT_EQ (queuedAddresses().front(), "/gain");
    EXPECT_TRUE (nextAtAmp (50).empty());

    // The real answer, over the socket: the next request follows within a few milliseconds
    // (the clock is frozen, so it cannot be a retransmission).
    amp->send (answerTo ("/gain"));
    ASSERT_TRUE (testloop::runUntil ([this] { return queuedAddresses().front() == "/preset/name"; }));
    EXPECT_EQ (addressOf (nextAtAmp (200)), "/preset/name");
    EXPECT_EQ (panel.gains[0], -6.0f);
    EXPECT_EQ (hub->getPendingTransmissions(), 1);
}

TEST_F (HubSend, FourUnansweredTransmissionsThenOneNetworkErrorBox)
{
    connectOverNetwork();
    ASSERT_EQ (addressOf (nextAtAmp()), "/online");

    for (int transmission = 1; transmission <= 4; ++transmission)
    {
        ASSERT_EQ (addressOf (nextAtAmp()), "/gain") << "transmission " << transmission;
        EXPECT_TRUE (nextAtAmp (30).empty());   // nothing more until the answer window closes
        clock.advance (400);
        EXPECT_TRUE (nextAtAmp (30).empty());
        clock.advance (101);
    }

    ASSERT_TRUE (testloop::runUntil ([this] { return ! dialogs.shown.empty(); }));
    testloop::run (50);
    clock.advance (2000);
    testloop::run (50);

    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0], "Network connection error!|Device will be disconnected|Ok||warning");
    EXPECT_FALSE (hub->isOnline());
    EXPECT_EQ (hub->getConnectionKind(), osc::ConnectionKind::none);
    EXPECT_TRUE (hub->queuedMessages().empty());
    EXPECT_EQ (setup.count ("disconnectDevice"), 1);
    EXPECT_EQ (setup.last(), "forgetActiveDevice");

    // Offline: "/offline" was the last thing sent, and nothing follows.
    EXPECT_EQ (addressOf (nextAtAmp()), "/offline");
    EXPECT_TRUE (nextAtAmp (50).empty());
}

TEST_F (HubSend, GoingOfflineFlushesAndResetsTheMetersAndLamps)
{
    connectOverNetwork();
    ASSERT_EQ (addressOf (nextAtAmp()), "/online");
    ASSERT_TRUE (waitUntilAwaiting());

    setup.disconnectDevice();

    EXPECT_FALSE (hub->isOnline());
    EXPECT_TRUE (hub->queuedMessages().empty());
    EXPECT_FALSE (hub->isAwaitingReply());
    EXPECT_EQ (hub->getPendingTransmissions(), 0);
    EXPECT_EQ (panel.meters, (std::array<float, 4> {}));
    EXPECT_EQ (panel.leds, (std::array<bool, 4> {}));
    // A network connection stays chosen.
    EXPECT_EQ (hub->getConnectionKind(), osc::ConnectionKind::network);

    EXPECT_EQ (addressOf (nextAtAmp()), "/gain");
    EXPECT_EQ (addressOf (nextAtAmp()), "/offline");
    clock.advance (600);
    EXPECT_TRUE (nextAtAmp (50).empty());
}

TEST_F (HubSend, ValuesSentWhileARequestIsInFlightAreNotLost)
{
    onlineAndIdle();
    hub->sendGains (-10.0f, -10.0f, 0, 0);
    ASSERT_TRUE (waitUntilAwaiting());
    hub->sendGains (-11.0f, -10.0f, 0, 0);
    hub->sendGains (-12.0f, -10.0f, 0, 0);

    ASSERT_EQ (queuedAddresses(), (std::vector<std::string> { "/gain", "/gain" }));
    auto first = nextAtAmp();
    EXPECT_EQ (floatArgument (first, 0), -10.0f);

    // The answer to the first carries its value; the newest value follows it.
    deliver (gains (-10.0f, -10.0f, 0, 0));
    auto second = nextAtAmp();
    ASSERT_EQ (addressOf (second), "/gain");
    EXPECT_EQ (floatArgument (second, 0), -12.0f);
}

TEST_F (HubSend, OnlyTheConnectedAmplifierIsListenedTo)
{
    onlineAndIdle();
    SimulatedNetwork::Peer other (net, "127.0.0.3", port);

    other.send (gains (-20.0f, -20.0f, 1, 1));
    other.send (info ("Other", 2));
    ASSERT_TRUE (testloop::runUntil ([this] { return setup.count ("addNetworkDevice") == 1; }));
    testloop::run (30);

    EXPECT_EQ (panel.gainCalls, 0);
    EXPECT_EQ (setup.calls, (std::vector<std::string> { "addNetworkDevice 2 Other 127.0.0.3" }));

    amp->send (gains (-1.0f, -2.0f, 1, 0));
    ASSERT_TRUE (testloop::runUntil ([this] { return panel.gainCalls == 1; }));
    EXPECT_EQ (panel.gains, (std::array<float, 2> { -1.0f, -2.0f }));
}

TEST_F (HubSend, WhileOnlineOverTheNetworkUsbPacketsAreNotDispatchedExceptInfo)
{
    onlineAndIdle();
    deliver (gains (-20.0f, -20.0f, 1, 1), osc::PacketSource::usb);
    deliver (meters (1.0f, 1.0f, 1.0f, 1.0f), osc::PacketSource::usb);
    EXPECT_EQ (panel.gainCalls, 0);
    EXPECT_EQ (panel.meterCalls, 0);

    dialogs.defaultAnswer = false;
    deliver (info ("UsbAmp", 1), osc::PacketSource::usb);
    EXPECT_EQ (setup.calls, (std::vector<std::string> { "updateUsbEntry 1 UsbAmp" }));
    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_TRUE (hub->isOnline());
}

TEST_F (HubSend, PostedMessagesWithAnotherTagAreIgnored)
{
    onlineAndIdle();
    juce::MemoryBlock block (4);
    const auto message = gains (-20.0f, -20.0f, 1, 1);
    block.append (message.data(), message.size());
    const auto address = SimulatedNetwork::address (ampAddress);
    block.copyFrom (&address, 0, 4);

    hub->postMessage (new osc::LinkMessage (osc::PacketSource::network, block, osc::messageTag + 1));
    hub->postMessage (
        new osc::LinkMessage (osc::LinkEvent::networkSilent, DeviceFamily::none, osc::messageTag ^ 0x10000));
    hub->postMessage (new osc::LinkMessage (osc::LinkEvent::usbOpened, DeviceFamily::zr, 0));
    testloop::run (100);

    EXPECT_EQ (panel.gainCalls, 0);
    EXPECT_TRUE (dialogs.shown.empty());
    EXPECT_TRUE (hub->isOnline());
    EXPECT_EQ (hub->getDeviceFamily(), DeviceFamily::none);

    // The same packet with the right tag does reach the panel.
    hub->postMessage (new osc::LinkMessage (osc::PacketSource::network, block));
    ASSERT_TRUE (testloop::runUntil ([this] { return panel.gainCalls == 1; }));
}

TEST_F (HubSend, StaleLinkEventsAreIgnored)
{
    onlineAndIdle();
    // A USB loss reported while the network is in use, and any loss while offline.
    hub->handleMessage (osc::LinkMessage (osc::LinkEvent::usbSilent));
    EXPECT_TRUE (hub->isOnline());
    setup.disconnectDevice();
    hub->handleMessage (osc::LinkMessage (osc::LinkEvent::networkSilent));
    EXPECT_TRUE (dialogs.shown.empty());
}

TEST_F (HubSend, ASilentAmplifierIsAskedForMetersAndThenReportedLost)
{
    onlineAndIdle();

    // Meters arriving keep the link quiet.
    clock.advance (600);
    deliver (meters (0.1f, 0.1f, 0.1f, 0.1f));
    clock.advance (600);
    testloop::run (300);
    EXPECT_TRUE (nextAtAmp (50).empty());

    // A second of silence: the meter stream is requested again...
    clock.advance (500);
    testloop::run (300);
    const auto request = nextAtAmp();
    ASSERT_EQ (addressOf (request), "/meter");
    EXPECT_EQ (floatArgument (request, 0), 10.0f);

    // ...and when that goes unanswered the connection counts as lost.
    for (int i = 0; i < 5 && dialogs.shown.empty(); ++i)
    {
        clock.advance (501);
        testloop::run (300);
    }
    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0], "Network connection error!|Device will be disconnected|Ok||warning");
}

TEST_F (HubSend, SearchSendsInfoToTheTargetAndReArmsTheUsbAnnouncement)
{
    // An announced amplifier disarms the announcement while it is held open.
    SimulatedHid::Device device;
    device.path = "sim-amp";
    bus.attach (device);
    ASSERT_TRUE (testloop::runUntil ([this] { return ! bus.written ("sim-amp").empty(); }));
    ASSERT_FALSE (hub->isUsbAnnouncementArmed());

    hub->searchDevices (SimulatedNetwork::address (ampAddress));

    EXPECT_EQ (hub->getQueryTarget(), SimulatedNetwork::address (ampAddress));
    EXPECT_EQ (nextAtAmp(), bare ("/info"));
    EXPECT_TRUE (hub->isUsbAnnouncementArmed());
}

TEST_F (HubSend, TheHubPublishesItselfWhileItExists)
{
    EXPECT_EQ (globals::hub, hub.get());
    EXPECT_EQ (globals::packetSink, hub.get());
    EXPECT_EQ (hub->getQueryTarget(), SimulatedNetwork::broadcast);

    hub.reset();
    EXPECT_EQ (globals::hub, nullptr);
    EXPECT_EQ (globals::packetSink, nullptr);
}

TEST_F (HubSend, ChoosingANetworkDeviceTwiceLeavesOneSocketOnThePort)
{
    setup.selectDevice (1);
    setup.selectDevice (1);
    connectOverNetwork();
    EXPECT_EQ (addressOf (nextAtAmp()), "/online");
    EXPECT_EQ (net.openSockets (port), 1);
    EXPECT_EQ (net.mostOpenAtOnce (port), 1);   // the old socket went before the new one came

    // Answers reach the hub through the one socket holding the port.
    amp->send (answerTo ("/gain"));
    ASSERT_TRUE (testloop::runUntil ([this] { return panel.gainCalls == 1; }));
}

TEST_F (HubSend, ThreadsSleepAtRestAndTheMeterWatchRunsOnlyOnline)
{
    // Offline: nothing polls the clock or the socket.
    testloop::run (100);
    auto reads = clock.reads();
    const auto waits = net.waitsEnded();
    testloop::run (300);
    EXPECT_EQ (clock.reads(), reads);
    EXPECT_EQ (net.waitsEnded(), waits);

    // Online with nothing queued: only the 250 ms meter watch looks at the clock.
    onlineAndIdle();
    reads = clock.reads();
    testloop::run (600);
    EXPECT_LE (clock.reads() - reads, 4);

    setup.disconnectDevice();
    testloop::run (50);
    reads = clock.reads();
    testloop::run (300);
    EXPECT_EQ (clock.reads(), reads);
}

TEST_F (HubSend, SearchesGoToTheAddressGivenAndNeverToAPlaceholder)
{
    const auto first = net.sent();
    ASSERT_EQ (first.size(), 1u);
    EXPECT_EQ (first[0].to, SimulatedNetwork::broadcast);
    EXPECT_EQ (first[0].port, port);
    EXPECT_EQ (first[0].bytes, bare ("/info"));

    hub->searchDevices (SimulatedNetwork::address ("192.0.2.12"));
    hub->searchDevices (juce::String ("192.0.2.13"));
    const auto searches = net.sent();
    ASSERT_EQ (searches.size(), 3u);
    EXPECT_EQ (searches[1].to, SimulatedNetwork::address ("192.0.2.12"));
    EXPECT_EQ (searches[2].to, SimulatedNetwork::address ("192.0.2.13"));
    EXPECT_EQ (searches[2].bytes, bare ("/info"));

    // A target that is no address sends nothing (and asks no name server: it cannot be a name).
    hub->searchDevices (juce::String ("no such host"));
    EXPECT_EQ (hub->getQueryTarget(), 0u);
    hub->searchDevices (SimulatedNetwork::address ("0.0.0.1"));
    EXPECT_EQ (net.sent().size(), 3u);
}

TEST_F (HubSend, ASocketThatFailsEndsInANetworkErrorAndChoosingTheAmplifierAgainRecovers)
{
    onlineAndIdle();
    net.breakOpenSockets();
    hub->sendQuery ("/gain");

    for (int i = 0; i < 8 && dialogs.shown.empty(); ++i)
    {
        clock.advance (501);
        testloop::run (100);
    }
    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0], "Network connection error!|Device will be disconnected|Ok||warning");
    EXPECT_TRUE (nextAtAmp (50).empty());

    // Choosing it again (here by its typed address) makes a fresh socket.
    hub->connectNetwork (juce::String (ampAddress));
    setup.connectDevice();
    EXPECT_EQ (addressOf (nextAtAmp()), "/online");
    amp->send (answerTo ("/gain"));
    ASSERT_TRUE (testloop::runUntil ([this] { return panel.gainCalls == 1; }));
}

TEST_F (HubSend, MessagesTooLongForTheirBufferAreDroppedWhereTheyAreBuilt)
{
    onlineAndIdle();
    const auto longText = juce::String::repeatedString ("x", 60);

    EXPECT_NO_THROW (hub->sendAmpName (longText));
    EXPECT_NO_THROW (hub->sendPresetCommand ("/preset/save", 2, 0, longText));
    EXPECT_NO_THROW (hub->sendQuery (("/" + longText).toRawUTF8()));
    EXPECT_NO_THROW (hub->sendNow (("/" + longText).toRawUTF8(), osc::Route::device));
    EXPECT_TRUE (hub->queuedMessages().empty());

    // On the network the whole 64-byte buffer may be used.
    hub->sendAmpName (juce::String::repeatedString ("x", 44));
    EXPECT_EQ (queuedAddresses(), (std::vector<std::string> { "/ampname" }));
    EXPECT_EQ (hub->queuedMessages()[0].getSize(), 64u);
    EXPECT_EQ (nextAtAmp().size(), 64u);
}
