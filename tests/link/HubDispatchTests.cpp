// Every row of the received-message table: what each answer does, what it acknowledges, and
// that a wrong argument count or type does nothing and leaves the request to be sent again.

#include "HubFixture.h"
#include "LockCode.h"

#include <cmath>
#include <limits>

using namespace hubtest;

class HubDispatch : public HubTest
{
protected:
    void SetUp() override
    {
        HubTest::SetUp();
        onlineAndIdle();
    }

    /** The request at the head is still queued and goes out again after the answer window. */
    void expectSentAgain (const std::string& address)
    {
        ASSERT_FALSE (queuedAddresses().empty());
        EXPECT_EQ (queuedAddresses().front(), address);
        while (! amp->receive (20).empty())
        {
        }
        clock.advance (501);
        EXPECT_EQ (addressOf (nextAtAmp()), address);
    }

    bool acknowledged() const { return hub->queuedMessages().empty(); }
};

TEST_F (HubDispatch, MeterShowsTheFourLevelsAndAnswersTheMeterRequest)
{
    hub->sendMeterRequest (10.0f);
    ASSERT_TRUE (waitUntilAwaiting());

    deliver (meters (1.0f, 0.5f, 0.25f, 0.0f));

    EXPECT_EQ (panel.meters, (std::array<float, 4> { 1.0f, 0.5f, 0.25f, 0.0f }));
    EXPECT_TRUE (acknowledged());
}

TEST_F (HubDispatch, MeterWithWrongCountOrTypesChangesNothing)
{
    hub->sendMeterRequest (10.0f);
    ASSERT_TRUE (waitUntilAwaiting());

    deliver (oscBytes ([] (::osc::OutboundPacketStream& s)
                       { s << ::osc::BeginMessage ("/meter") << 1.0f << 1.0f << 1.0f << ::osc::EndMessage; }));
    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        {
            s << ::osc::BeginMessage ("/meter") << (::osc::int32) 1 << (::osc::int32) 1 << (::osc::int32) 1
              << (::osc::int32) 1 << ::osc::EndMessage;
        }));
    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        { s << ::osc::BeginMessage ("/meter") << 1.0f << 1.0f << 1.0f << 1.0f << 1.0f << ::osc::EndMessage; }));
    deliver (bare ("/meter"));

    EXPECT_EQ (panel.meterCalls, 0);
    expectSentAgain ("/meter");
}

TEST_F (HubDispatch, MeterLevelsThatAreNoLevelsAreNotShown)
{
    deliver (meters (std::nanf (""), 0.5f, 0.5f, 0.5f));
    deliver (meters (0.5f, std::numeric_limits<float>::infinity(), 0.5f, 0.5f));
    EXPECT_EQ (panel.meterCalls, 0);

    deliver (meters (-0.5f, 0.5f, -1.0e30f, 0.25f));
    EXPECT_EQ (panel.meters, (std::array<float, 4> { 0.0f, 0.5f, 0.0f, 0.25f }));
}

TEST_F (HubDispatch, The51stMeterAsksForTheStreamAgainThe50thDoesNot)
{
    for (int i = hub->getMeterReplyCount(); i < 50; ++i)
        deliver (meters (0.1f, 0.1f, 0.1f, 0.1f));
    EXPECT_EQ (hub->getMeterReplyCount(), 50);
    EXPECT_TRUE (hub->queuedMessages().empty());

    deliver (meters (0.1f, 0.1f, 0.1f, 0.1f));
    EXPECT_EQ (hub->getMeterReplyCount(), 0);
    ASSERT_EQ (queuedAddresses(), (std::vector<std::string> { "/meter" }));
    ASSERT_TRUE (waitUntilAwaiting());
    const auto request = nextAtAmp();
    ASSERT_EQ (addressOf (request), "/meter");
    EXPECT_EQ (request, oscBytes ([] (::osc::OutboundPacketStream& s)
                                  { s << ::osc::BeginMessage ("/meter") << 10.0f << ::osc::EndMessage; }));

    // The next 50 include the answer to that request, and ask for nothing more.
    for (int i = 0; i < 50; ++i)
        deliver (meters (0.1f, 0.1f, 0.1f, 0.1f));
    EXPECT_TRUE (hub->queuedMessages().empty());
    EXPECT_EQ (hub->getMeterReplyCount(), 50);

    // Going offline and online again does not restart the count.
    setup.disconnectDevice();
    connectOverNetwork();
    EXPECT_EQ (hub->getMeterReplyCount(), 50);
}

TEST_F (HubDispatch, PeakLimitLightsTheLampsAboveZeroAndAnswersNothing)
{
    awaitQuery ("/peaklimit");

    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        {
            s << ::osc::BeginMessage ("/peaklimit") << (::osc::int32) 1 << (::osc::int32) 0 << (::osc::int32) -3
              << (::osc::int32) 5 << ::osc::EndMessage;
        }));
    EXPECT_EQ (panel.leds, (std::array<bool, 4> { true, false, false, true }));
    EXPECT_EQ (panel.ledCalls, 1);

    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        {
            s << ::osc::BeginMessage ("/peaklimit") << (::osc::int32) 1 << (::osc::int32) 1 << (::osc::int32) 1
              << ::osc::EndMessage;
        }));
    deliver (meters (1.0f, 1.0f, 1.0f, 1.0f));   // panel meters only, no lamps
    EXPECT_EQ (panel.ledCalls, 1);

    expectSentAgain ("/peaklimit");
}

TEST_F (HubDispatch, GainSetsFadersAndMutesAndAnswersTheGainRequest)
{
    awaitQuery ("/gain");

    deliver (gains (-12.5f, -60.0f, 2, 0));

    EXPECT_EQ (panel.gains, (std::array<float, 2> { -12.5f, -60.0f }));
    EXPECT_EQ (panel.mutes, (std::array<bool, 2> { true, false }));
    EXPECT_TRUE (acknowledged());
}

TEST_F (HubDispatch, GainWithWrongTypesOrCountChangesNothing)
{
    awaitQuery ("/gain");

    deliver (meters (1.0f, 1.0f, 1.0f, 1.0f));   // right address family, other address: no answer
    deliver (oscBytes ([] (::osc::OutboundPacketStream& s)
                       { s << ::osc::BeginMessage ("/gain") << 1.0f << 1.0f << 1.0f << 1.0f << ::osc::EndMessage; }));
    deliver (
        oscBytes ([] (::osc::OutboundPacketStream& s)
                  { s << ::osc::BeginMessage ("/gain") << 1.0f << 1.0f << (::osc::int32) 1 << ::osc::EndMessage; }));
    deliver (gains (std::nanf (""), 0.0f, 0, 0));

    EXPECT_EQ (panel.gainCalls, 0);
    expectSentAgain ("/gain");
}

TEST_F (HubDispatch, PresetAnswersReachTheSetupPage)
{
    hub->sendPresetCommand ("/preset/name", 3, 0, "DUMMY");
    ASSERT_TRUE (waitUntilAwaiting());
    deliver (presetAnswer ("/preset/name", 3, 2, "Live"));
    EXPECT_TRUE (acknowledged());

    hub->sendPresetCommand ("/preset/load", 4, 0, "Club");
    ASSERT_TRUE (waitUntilAwaiting());
    deliver (presetAnswer ("/preset/load", 4, 1, "Club"));
    EXPECT_TRUE (acknowledged());

    hub->sendPresetCommand ("/preset/save", 5, 3, "Hall");
    ASSERT_TRUE (waitUntilAwaiting());
    deliver (presetAnswer ("/preset/save", 5, 3, "Hall"));
    EXPECT_TRUE (acknowledged());

    EXPECT_EQ (setup.calls,
               (std::vector<std::string> { "setSlot 3 2 Live", "presetRecalled Club", "presetStored 5 3 Hall" }));
}

TEST_F (HubDispatch, OtherPresetAddressesAndWrongCountsDoNothing)
{
    hub->sendPresetCommand ("/preset/name", 3, 0, "DUMMY");
    ASSERT_TRUE (waitUntilAwaiting());

    deliver (presetAnswer ("/preset/names", 3, 2, "Live"));
    deliver (presetAnswer ("/preset", 3, 2, "Live"));
    deliver (presetAnswer ("/presetname", 3, 2, "Live"));
    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        { s << ::osc::BeginMessage ("/preset/name") << (::osc::int32) 3 << (::osc::int32) 2 << ::osc::EndMessage; }));
    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        {
            s << ::osc::BeginMessage ("/preset/name") << (::osc::int32) 3 << "2"
              << "Live" << ::osc::EndMessage;
        }));

    EXPECT_TRUE (setup.calls.empty());
    expectSentAgain ("/preset/name");
}

TEST_F (HubDispatch, LockAnswersBothTheLockAndTheUnlockRequest)
{
    std::int32_t code = 0;
    ASSERT_TRUE (osc::packLockCode ("Ab12", code));
    hub->sendInt ("/lock", code);
    hub->sendInt ("/unlock", code);
    ASSERT_TRUE (waitUntilAwaiting());

    // One answer retires one request: the head.
    deliver (oneInt ("/lock", code));
    EXPECT_EQ (queuedAddresses(), (std::vector<std::string> { "/unlock" }));

    ASSERT_TRUE (waitUntilAwaiting());
    deliver (oneInt ("/lock", 0));
    EXPECT_TRUE (acknowledged());

    EXPECT_EQ (setup.calls, (std::vector<std::string> { "showLockState " + std::to_string (code), "showLockState 0" }));
    EXPECT_EQ (osc::unpackLockCode (code), "Ab12");
}

TEST_F (HubDispatch, LockWithAnythingButOneIntDoesNothing)
{
    hub->sendInt ("/unlock", 1234);
    ASSERT_TRUE (waitUntilAwaiting());

    deliver (oneString ("/lock", "Ab12"));
    deliver (bare ("/lock"));
    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        { s << ::osc::BeginMessage ("/lock") << (::osc::int32) 1 << (::osc::int32) 2 << ::osc::EndMessage; }));

    EXPECT_TRUE (setup.calls.empty());
    expectSentAgain ("/unlock");
}

TEST_F (HubDispatch, SpeakerAndSignalGeneratorDecodeIntoTheStandaloneBlocks)
{
    TestModel model { TestModel::publishSpeaker | TestModel::publishSiggen };
    auto& speaker = model.speaker;
    auto& siggen = model.siggen;

    awaitQuery ("/speaker");
    deliver (oneInt ("/speaker", 8));
    EXPECT_EQ (speaker.value->step, 8);
    EXPECT_TRUE (acknowledged());

    awaitQuery ("/siggen");
    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        { s << ::osc::BeginMessage ("/siggen") << (::osc::int32) 2 << -6.5f << 440.0f << ::osc::EndMessage; }));
    EXPECT_EQ (siggen.input->step, 2);
    EXPECT_EQ (siggen.gain->step, 67);
    EXPECT_TRUE (acknowledged());
}

TEST_F (HubDispatch, SpeakerAndSignalGeneratorAnswersThatDoNotFitAreDropped)
{
    TestModel model { TestModel::publishSpeaker | TestModel::publishSiggen };
    auto& speaker = model.speaker;
    auto& siggen = model.siggen;
    speaker.value->setStep (4);

    awaitQuery ("/speaker");
    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        { s << ::osc::BeginMessage ("/speaker") << (::osc::int32) 8 << (::osc::int32) 8 << ::osc::EndMessage; }));
    deliver (oneString ("/speaker", "8"));
    EXPECT_EQ (speaker.value->step, 4);
    expectSentAgain ("/speaker");
    deliver (oneInt ("/speaker", 16));
    ASSERT_TRUE (acknowledged());

    awaitQuery ("/siggen");
    deliver (oscBytes ([] (::osc::OutboundPacketStream& s)
                       { s << ::osc::BeginMessage ("/siggen") << 2.0f << -6.5f << 440.0f << ::osc::EndMessage; }));
    deliver (bare ("/siggen"));
    EXPECT_EQ (siggen.input->step, 0);
    expectSentAgain ("/siggen");
}

TEST_F (HubDispatch, AmpNameIsShownAndTextsThatAreNotUtf8KeepTheirBytes)
{
    hub->sendAmpName ("Stage");
    ASSERT_TRUE (waitUntilAwaiting());

    deliver (oneInt ("/ampname", 5));
    EXPECT_TRUE (setup.calls.empty());

    deliver (oneString ("/ampname", "Caf\xE9"));
    EXPECT_TRUE (acknowledged());
    deliver (oneString ("/ampname", "Caf\xC3\xA9"));

    const auto latin = juce::String ("Caf") + juce::String::charToString ((juce::juce_wchar) 0xE9);
    EXPECT_EQ (setup.calls, (std::vector<std::string> { "showAmpName " + latin.toStdString(),
                                                        "showAmpName " + latin.toStdString() }));
}

TEST_F (HubDispatch, PowerOffIsALostConnectionAnythingElseIsNothing)
{
    deliver (oneString ("/power", "ON"));
    deliver (oneString ("/power", "off"));
    deliver (oneString ("/power", "OFF!"));
    deliver (oneInt ("/power", 0));
    EXPECT_TRUE (dialogs.shown.empty());
    EXPECT_TRUE (hub->isOnline());

    deliver (oneString ("/power", "OFF"));
    EXPECT_EQ (dialogs.shown,
               (std::vector<std::string> { "Network connection error!|Device will be disconnected|Ok||warning" }));
    EXPECT_FALSE (hub->isOnline());
    EXPECT_EQ (setup.calls.front(), "disconnectDevice");
    EXPECT_EQ (setup.calls.back(), "forgetActiveDevice");

    // Offline, a second one is not listened to.
    deliver (oneString ("/power", "OFF"));
    EXPECT_EQ (dialogs.shown.size(), 1u);
}

TEST_F (HubDispatch, TreeAddressesDecodeIntoTheirBlock)
{
    TestModel model { TestModel::publishRoot };
    auto& root = model.root;
    auto& band = *root.channels[1]->peq->bands[7];

    awaitQuery ("/channel/2/peq/8");
    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        { s << ::osc::BeginMessage ("/channel/2/peq/8") << "HS12" << 10000.0f << 0.0f << 1.0f << ::osc::EndMessage; }));

    EXPECT_EQ (band.type->step, 5);
    EXPECT_EQ (band.freq->step, 539794);
    EXPECT_EQ (band.qual->step, 50000);
    EXPECT_TRUE (acknowledged());
}

TEST_F (HubDispatch, TreeAnswersThatDoNotFitOrFindNoBlockAreDropped)
{
    TestModel model { TestModel::publishRoot };
    auto& root = model.root;
    auto& band = *root.channels[1]->peq->bands[7];
    const auto before = band.freq->step;

    awaitQuery ("/channel/2/peq/8");
    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        { s << ::osc::BeginMessage ("/channel/2/peq/8") << 1.0f << 10000.0f << 0.0f << 1.0f << ::osc::EndMessage; }));
    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        { s << ::osc::BeginMessage ("/channel/2/peq/8") << "HS12" << 10000.0f << 0.0f << ::osc::EndMessage; }));
    EXPECT_EQ (band.freq->step, before);
    expectSentAgain ("/channel/2/peq/8");
    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        { s << ::osc::BeginMessage ("/channel/2/peq/8") << "PEQ" << 100.0f << 0.0f << 1.0f << ::osc::EndMessage; }));
    ASSERT_TRUE (acknowledged());

    // No block has the address: nothing happens and nothing is answered.
    awaitQuery ("/channel/1/peq/9");
    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        { s << ::osc::BeginMessage ("/channel/1/peq/9") << "HS12" << 10000.0f << 0.0f << 1.0f << ::osc::EndMessage; }));
    deliver (oscBytes (
        [] (::osc::OutboundPacketStream& s)
        { s << ::osc::BeginMessage ("channel/1/peq/9") << "HS12" << 10000.0f << 0.0f << 1.0f << ::osc::EndMessage; }));
    expectSentAgain ("/channel/1/peq/9");
}

TEST_F (HubDispatch, MalformedPacketsAreDroppedQuietly)
{
    TestModel model { TestModel::publishRoot | TestModel::publishSiggen };
    auto& siggen = model.siggen;
    awaitQuery ("/gain");

    const std::vector<std::vector<char>> packets {
        {},                                                                       // prefix only
        { '/', 'g', 'a' },                                                        // not a multiple of 4
        { '/', 'g', 'a', 'i', 'n', 0, 0, 0 },                                     // no type tags
        { '/', 'g', 'a', 'i', 'n', 0, 0, 0, ',', 'f', 'f', 'i' },                 // tags not terminated
        { '/', 'g', 'a', 'i', 'n', 0, 0, 0, ',', 'f', 'f', 'i', 'i', 0, 0, 0 },   // arguments missing
        { '#', 'b', 'u', 'n', 'd', 'l', 'e', 0, 0, 0, 0, 0, 0, 0, 0, 1 },
        { '/', 's', 'i', 'g', 'g', 'e', 'n', 0, ',', 'b', 0, 0, 0x7F, 0, 0, 0 },   // blob running past the end
        { '/', 'c', 'h', 'a', 'n', 'n', 'e', 'l', '/', '1', '/',  'p', 'e', 'q',
          '/', '1', 0,   0,   0,   0,   ',', 'b', 'f', 0,   0x7F, 0,   0,   0 },
        { '/', 'a', 'm', 'p', 'n', 'a', 'm', 'e', 0, 0, 0, 0, ',', 's', 0, 0, 'a', 'b', 0, 'X', 'c', 'd', 0, 0 },   // padding not NUL
        std::vector<char> (128, '/'),
        std::vector<char> (132, 0),   // longer than any datagram
    };
    for (const auto& p : packets)
        deliver (p);

    EXPECT_EQ (panel.gainCalls, 0);
    EXPECT_EQ (siggen.input->step, 0);
    EXPECT_TRUE (setup.calls.empty());
    expectSentAgain ("/gain");
}

TEST_F (HubDispatch, InfoAnswersFromTheNetworkFillTheDeviceListOnlineOrNot)
{
    deliver (info ("Stage Left", 3), osc::PacketSource::network, "127.0.0.9");
    setup.disconnectDevice();
    deliver (info ("Stage Right", 7), osc::PacketSource::network, "127.0.0.10");

    // Unknown models and malformed answers are not listed.
    deliver (info ("Future", 8), osc::PacketSource::network, "127.0.0.11");
    deliver (info ("Broken", -1), osc::PacketSource::network, "127.0.0.11");
    deliver (oscBytes ([] (::osc::OutboundPacketStream& s)
                       { s << ::osc::BeginMessage ("/info") << "Two" << (::osc::int32) 3 << ::osc::EndMessage; }),
             osc::PacketSource::network, "127.0.0.11");
    deliver (oscBytes (
                 [] (::osc::OutboundPacketStream& s)
                 {
                     s << ::osc::BeginMessage ("/info") << "A"
                       << "B" << 3.0f << ::osc::EndMessage;
                 }),
             osc::PacketSource::network, "127.0.0.11");

    EXPECT_EQ (setup.calls, (std::vector<std::string> { "addNetworkDevice 3 Stage Left 127.0.0.9", "disconnectDevice",
                                                        "addNetworkDevice 7 Stage Right 127.0.0.10" }));
    EXPECT_TRUE (dialogs.shown.empty());
}

TEST_F (HubDispatch, OfflineOnlyInfoIsHandled)
{
    setup.disconnectDevice();
    setup.calls.clear();
    panel = {};

    deliver (gains (-1.0f, -1.0f, 0, 0));
    deliver (meters (1.0f, 1.0f, 1.0f, 1.0f));
    deliver (presetAnswer ("/preset/name", 1, 0, "X"));
    deliver (oneString ("/ampname", "X"));
    deliver (oneString ("/power", "OFF"));

    EXPECT_EQ (panel.gainCalls + panel.meterCalls, 0);
    EXPECT_TRUE (setup.calls.empty());
    EXPECT_TRUE (dialogs.shown.empty());
}
