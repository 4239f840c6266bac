// The gain controls: linked faders, the entry fields, mute and link, what reaches the hub,
// and the hub's dispatch reaching the panel; the generator's sweep ending with its amplifier.

#include "PanelFixture.h"
#include "CSetupPage.h"
#include "CUtilityPage.h"

using paneltest::PanelTest;

namespace
{
    class GainControls : public PanelTest
    {
    protected:
        void SetUp() override
        {
            PanelTest::SetUp();
            holdSendsInQueue();
            panel->setDeviceLabel (1);
        }

        /** Gains as the device reports them, then link switched on by a click. */
        void linkAt (float a, float b)
        {
            panel->setGainsFromDevice (a, b, false, false);
            link().triggerClick();
            settle();
            ASSERT_TRUE (link().getToggleState());
        }

        /** A drag of `fader` to `value`, with its synchronous callback, then the corrections. */
        void drag (juce::Slider& fader, double value)
        {
            fader.setValue (value, juce::sendNotificationSync);
            settle();
        }
    };
}

TEST_F (GainControls, LinkedFadersKeepTheirOffsetInsideTheRange)
{
    // Offset +10: gain B can go no lower than -60, so gain A stops at -50.
    linkAt (-20.0f, -30.0f);
    EXPECT_EQ (panel->getLinkOffset(), 10.0);
    drag (gainA(), -55.0);
    EXPECT_EQ (gainA().getValue(), -50.0);
    EXPECT_EQ (gainB().getValue(), -60.0);

    // Moving B up as far as it goes: A stops at 0, so B stops at -10.
    drag (gainB(), 0.0);
    EXPECT_EQ (gainB().getValue(), -10.0);
    EXPECT_EQ (gainA().getValue(), 0.0);

    // An ordinary move carries the other fader along.
    drag (gainA(), -12.5);
    EXPECT_EQ (gainB().getValue(), -22.5);
}

TEST_F (GainControls, NegativeOffsetClampsTheOtherWay)
{
    linkAt (-30.0f, -20.0f);
    EXPECT_EQ (panel->getLinkOffset(), -10.0);

    drag (gainB(), -55.0);
    EXPECT_EQ (gainB().getValue(), -50.0);
    EXPECT_EQ (gainA().getValue(), -60.0);

    drag (gainA(), 0.0);
    EXPECT_EQ (gainA().getValue(), -10.0);
    EXPECT_EQ (gainB().getValue(), 0.0);

    const auto sent = queuedGains();
    ASSERT_TRUE (sent.has_value());
    EXPECT_EQ (sent->a, -10.0f);
    EXPECT_EQ (sent->b, 0.0f);
}

TEST_F (GainControls, UnlinkedFadersMoveAloneAndEachMoveIsSent)
{
    panel->setGainsFromDevice (-20.0f, -30.0f, false, true);
    drag (gainA(), -41.5);
    EXPECT_EQ (gainB().getValue(), -30.0);

    const auto sent = queuedGains();
    ASSERT_TRUE (sent.has_value());
    EXPECT_EQ (sent->a, -41.5f);
    EXPECT_EQ (sent->b, -30.0f);
    EXPECT_EQ (sent->muteA, 0);
    EXPECT_EQ (sent->muteB, 1);
    // The entries follow the device, not the fader.
    EXPECT_EQ (entryA().getText(), "-20.0");
}

TEST_F (GainControls, DeviceGainsOffTheFaderGridDoNotMakeLinkedFadersCreep)
{
    // Linked first, then the device reports gains between the fader's 0.5 dB steps.
    linkAt (-20.0f, -30.0f);
    panel->setGainsFromDevice (-20.25f, -30.0f, false, false);
    drag (gainA(), -25.0);

    // Let any chain of corrections run out; the faders must stay where they were put.
    for (int i = 0; i < 10; ++i)
        settle();
    EXPECT_EQ (gainA().getValue(), -25.0);
    EXPECT_EQ (gainB().getValue(), -25.0 - panel->getLinkOffset());
    const auto sent = queuedGains();
    ASSERT_TRUE (sent.has_value());
    EXPECT_EQ (sent->a, -25.0f);
}

TEST_F (GainControls, ReturnInAnEntryClampsSnapsWritesBackAndSends)
{
    typeAndReturn (entryA(), "-70");
    EXPECT_EQ (gainA().getValue(), -60.0);
    EXPECT_EQ (entryA().getText(), "-60.0");
    EXPECT_EQ (entryA().getHighlightedRegion(), juce::Range<int> (0, 5));

    // Text that is no number leaves the fader where it was (it once meant 0 dB, the
    // loudest setting) and shows its value again.
    typeAndReturn (entryB(), "abc");
    EXPECT_EQ (gainB().getValue(), -60.0);
    EXPECT_EQ (entryB().getText(), "-60.0");

    typeAndReturn (entryB(), "-12.3");
    EXPECT_EQ (gainB().getValue(), -12.5);
    EXPECT_EQ (entryB().getText(), "-12.5");

    // Read as every entry of the program reads: a decimal comma is a point, and a number
    // too large for any value is no number.
    typeAndReturn (entryA(), "-12,5");
    EXPECT_EQ (gainA().getValue(), -12.5);
    EXPECT_EQ (entryA().getText(), "-12.5");
    typeAndReturn (entryA(), "99999999999999999999999999999999999999999999999");
    EXPECT_EQ (gainA().getValue(), -12.5);
    typeAndReturn (entryA(), "99999999999999999999");
    EXPECT_EQ (gainA().getValue(), 0.0);
    EXPECT_EQ (entryA().getText(), "0.0");

    const auto sent = queuedGains();
    ASSERT_TRUE (sent.has_value());
    EXPECT_EQ (sent->a, 0.0f);
    EXPECT_EQ (sent->b, -12.5f);
}

TEST_F (GainControls, EntriesReadNumbersWithBlanksAroundAndNothingElse)
{
    panel->setGainsFromDevice (-8.0f, -9.0f, false, false);

    // A blank in front once read as no number at all, that is 0 dB, the loudest setting.
    typeAndReturn (entryA(), " -10");
    EXPECT_EQ (gainA().getValue(), -10.0);
    EXPECT_EQ (entryA().getText(), "-10.0");
    typeAndReturn (entryA(), "\t-20.5  ");
    EXPECT_EQ (gainA().getValue(), -20.5);

    for (auto typed : { "", "   ", "dB", "- 3" })
    {
        typeAndReturn (entryB(), typed);
        EXPECT_EQ (gainB().getValue(), -9.0) << typed;
        EXPECT_EQ (entryB().getText(), "-9.0") << typed;
    }

    const auto sent = queuedGains();
    ASSERT_TRUE (sent.has_value());
    EXPECT_EQ (sent->a, -20.5f);
    EXPECT_EQ (sent->b, -9.0f);
}

TEST_F (GainControls, DeviceGainsOutsideTheRangeShowAsTheFaderHoldsThem)
{
    panel->setGainsFromDevice (1.0e30f, -80.0f, false, false);
    EXPECT_EQ (gainA().getValue(), 0.0);
    EXPECT_EQ (entryA().getText(), "0.0");
    EXPECT_EQ (gainB().getValue(), -60.0);
    EXPECT_EQ (entryB().getText(), "-60.0");

    // Off the fader's grid: the entry shows the step the fader shows.
    panel->setGainsFromDevice (-20.3f, -0.2f, false, false);
    EXPECT_EQ (entryA().getText(), juce::String (gainA().getValue(), 1));
    EXPECT_EQ (entryB().getText(), juce::String (gainB().getValue(), 1));
}

TEST_F (GainControls, LeavingAnEntryDropsTheTypedTextAndSends)
{
    panel->setGainsFromDevice (-8.0f, -9.0f, false, false);
    ASSERT_FALSE (queuedGains().has_value());

    pagetest::typeAndLeave (entryB(), "-33");
    settle();

    EXPECT_EQ (entryB().getText(), "-9.0");
    EXPECT_EQ (entryB().getCaretPosition(), 0);
    EXPECT_EQ (gainB().getValue(), -9.0);
    const auto sent = queuedGains();
    ASSERT_TRUE (sent.has_value());
    EXPECT_EQ (sent->b, -9.0f);
}

TEST_F (GainControls, MuteClicksAreSentAndLinkClicksAreNot)
{
    panel->setGainsFromDevice (-8.0f, -9.0f, false, false);

    link().triggerClick();
    settle();
    EXPECT_TRUE (link().getToggleState());
    EXPECT_FALSE (queuedGains().has_value());

    muteB().triggerClick();
    settle();
    auto sent = queuedGains();
    ASSERT_TRUE (sent.has_value());
    EXPECT_EQ (sent->muteA, 0);
    EXPECT_EQ (sent->muteB, 1);

    muteA().triggerClick();
    muteB().triggerClick();
    settle();
    sent = queuedGains();
    ASSERT_TRUE (sent.has_value());
    EXPECT_EQ (sent->muteA, 1);
    EXPECT_EQ (sent->muteB, 0);
    EXPECT_EQ (sent->a, -8.0f);
}

//==============================================================================
TEST_F (PanelTest, HubDispatchReachesMetersLampsAndGains)
{
    holdSendsInQueue();
    panel->setDeviceLabel (0);

    post (message ([] (osc::OutboundPacketStream& s)
                   { s << osc::BeginMessage ("/meter") << 1.0f << 0.5f << 0.0f << 0.25f << osc::EndMessage; }));
    post (message (
        [] (osc::OutboundPacketStream& s)
        {
            s << osc::BeginMessage ("/peaklimit") << (osc::int32) 0 << (osc::int32) 1 << (osc::int32) 1
              << (osc::int32) 0 << osc::EndMessage;
        }));
    post (message (
        [] (osc::OutboundPacketStream& s) {
            s << osc::BeginMessage ("/gain") << -12.0f << -24.5f << (osc::int32) 1 << (osc::int32) 0 << osc::EndMessage;
        }));

    ASSERT_TRUE (testloop::runUntil ([this] { return gainB().getValue() == -24.5; }));
    EXPECT_EQ (meter ("input meter A").level, 1.0);
    EXPECT_EQ (meter ("input meter B").level, -4.0);
    EXPECT_EQ (meter ("output meter A").level, -60.0);
    EXPECT_EQ (meter ("output meter B").level, -10.0);   // -12.04 + 1.2
    EXPECT_FALSE (lamp ("input clip led A").lit);
    EXPECT_TRUE (lamp ("input clip led B").lit);
    EXPECT_TRUE (lamp ("output limit led A").lit);
    EXPECT_FALSE (lamp ("output limit led B").lit);
    EXPECT_EQ (gainA().getValue(), -12.0);
    EXPECT_EQ (entryB().getText(), "-24.5");
    EXPECT_TRUE (muteA().getToggleState());

    // Going offline puts the meters on their floor and the lamps out.
    globals::hub->goOffline();
    for (const char* id : { "input meter A", "input meter B", "output meter A", "output meter B" })
        EXPECT_EQ (meter (id).level, -60.0) << id;
    EXPECT_FALSE (lamp ("input clip led B").lit);
    EXPECT_FALSE (lamp ("output limit led A").lit);
}

//==============================================================================
namespace
{
    /** The Utility page on the panel, on connections made as the Setup page makes them. */
    class GeneratorOnPanel : public PanelTest
    {
    protected:
        void connectTo (const char* address)
        {
            auto& setup = dynamic_cast<CSetupPage&> (*tabs().getTabContentComponent (RemoteControl::setupTabIndex));
            setup.addNetworkDevice (1, "amp", address);
            setup.selectDevice (1);
            setup.connectDevice();
            ASSERT_TRUE (globals::hub->isOnline());
            utility = dynamic_cast<CUtilityPage*> (tabs().getTabContentComponent (RemoteControl::utilityTabIndex));
            ASSERT_NE (utility, nullptr);
        }

        juce::Button& button (const char* id) { return pagetest::widgetIn<juce::Button> (*utility, id); }

        void click (const char* id)
        {
            button (id).triggerClick();
            settle();
        }

        /** Queued "/siggen" messages that switch the generator on. */
        int generatorOnQueued() const
        {
            int found = 0;
            for (const auto& m : globals::hub->queuedMessages())
            {
                const osc::ReceivedMessage message (osc::ReceivedPacket (static_cast<const char*> (m.getData()),
                                                                         (osc::osc_bundle_element_size_t) m.getSize()));
                found += std::string (message.AddressPattern()) == "/siggen" && message.ArgumentCount() == 3
                         && message.ArgumentsBegin()->AsInt32() != 0;
            }
            return found;
        }

        CUtilityPage* utility = nullptr;
    };
}

TEST_F (GeneratorOnPanel, TheSweepEndsWithItsAmplifierAndNoOtherIsSwitchedOnUnasked)
{
    SimulatedNetwork::Peer amp (net, "192.0.2.5", 3456);
    connectTo ("192.0.2.5");
    tabs().setCurrentTabIndex (RemoteControl::utilityTabIndex);
    dialogs.answers = { true };
    click ("testTone");
    click ("sweep");
    const int from = utility->getGenerator().freq->getStep();
    ASSERT_TRUE (testloop::runUntil ([&] { return utility->getGenerator().freq->getStep() != from; }));

    // Switched off at the amplifier: the sweep, the tone and the tab go.
    amp.send (
        message ([] (osc::OutboundPacketStream& s) { s << osc::BeginMessage ("/power") << "OFF" << osc::EndMessage; }));
    ASSERT_TRUE (testloop::runUntil ([] { return ! globals::hub->isOnline(); }));
    EXPECT_FALSE (utility->getSweep().isRunning());
    EXPECT_FALSE (button ("sweep").getToggleState());
    EXPECT_FALSE (button ("testTone").getToggleState());
    EXPECT_EQ (tabs().getCurrentTabIndex(), RemoteControl::setupTabIndex);

    // Connected again; a question asked then is answered after a TARVO came and went: its
    // "Yes" was for an amplifier that is gone.  For several ticks' time nothing asks for
    // the generator on.
    connectTo ("192.0.2.5");
    dialogs.holdBoxes = true;
    click ("testTone");
    panel->setDeviceLabel (4);
    panel->setDeviceLabel (1);
    ASSERT_TRUE (dialogs.answerOpenBoxWith (true));
    testloop::run (5 * SiggenSweep::tickMs);
    EXPECT_FALSE (button ("testTone").getToggleState());
    EXPECT_EQ (generatorOnQueued(), 0);
}
