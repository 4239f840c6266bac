// The Configuration page's channel controls: delay units, polarity, the limiter in dBfs and
// volts with its power, loads per model, "Channel Link", channel B following channel A, and
// what the entries make of text that is no number.

#include "ConfigPageFixture.h"
#include "ValueKnob.h"

using namespace configtest;

namespace
{
    using Strings = std::vector<std::string>;
}

TEST_F (ConfigPageTest, DelayTypedInMetresIsStoredInMillisecondsAndShownInAllUnits)
{
    typeAndReturn ("metreEntryA", "3.43");
    EXPECT_FLOAT_EQ (delay (0).del->getValue(), 10.0f);
    EXPECT_EQ (text ("msEntryA"), "10.00");
    EXPECT_EQ (text ("metreEntryA"), "3.43");
    EXPECT_EQ (text ("feetEntryA"), "11.25");
    EXPECT_EQ (widget<EntryField> ("metreEntryA").getHighlightedRegion(), juce::Range<int> (0, 4));
    EXPECT_DOUBLE_EQ (knob ("delayKnobA"), 10.0);
    EXPECT_TRUE (globals::blockActive.get (ChainBlock::delay, 0));

    ASSERT_EQ (addresses(), Strings { "/channel/1/delay" });
    EXPECT_FLOAT_EQ (floatArgument (0, 0), 10.0f);
    EXPECT_EQ (intArgument (0, 1), 0);

    // A typed delay keeps its hundredths; a delay of 0 is not in use.
    typeAndReturn ("msEntryB", "1.01");
    EXPECT_FLOAT_EQ (delay (1).del->getValue(), 1.01f);
    turn ("delayKnobA", 0.0);
    EXPECT_FALSE (globals::blockActive.get (ChainBlock::delay, 0));
    EXPECT_EQ (text ("feetEntryA"), "0.00");
}

TEST_F (ConfigPageTest, EntriesKeepTheirValueForTextThatIsNoNumberAndClampTheRest)
{
    typeAndReturn ("msEntryA", "12.5");
    typeAndReturn ("vpEntryA", "40");
    sent.clear();

    for (auto entry : { "msEntryA", "metreEntryA", "feetEntryA", "vpEntryA" })
        for (auto typed : { "", "   ", "abc", "-", ".", "ms 5" })
        {
            typeAndReturn (entry, typed);
            EXPECT_FLOAT_EQ (delay (0).del->getValue(), 12.5f) << entry << " '" << typed << "'";
            EXPECT_FLOAT_EQ (limiter (0).thres->getValue(), 40.0f) << entry << " '" << typed << "'";
        }
    EXPECT_EQ (text ("msEntryA"), "12.50");
    EXPECT_EQ (text ("vpEntryA"), "40.0");
    EXPECT_EQ (sent.count(), 0u) << "nothing read, nothing sent";

    const struct
    {
        const char* entry;
        const char* typed;
        float delayMs, thresholdVp;
    } cases[] = {
        { "msEntryA", " 7,25 ", 7.25f, 40.0f },                        // a decimal comma
        { "msEntryA", "99999999999999999999999999", 300.0f, 40.0f },   // clamped
        { "feetEntryA", "-3", 0.0f, 40.0f },
        { "msEntryA", "2k", 300.0f, 40.0f },
        { "vpEntryA", "12,5 V", 300.0f, 12.5f },
        { "vpEntryA", "1e9", 300.0f, 1.0f },                            // "1", and the rest ignored
        { "vpEntryA", "99999999999999999999999999", 300.0f, 100.0f },   // the full scale, nothing connected
        { "vpEntryA", "0", 300.0f, 0.1f },
    };
    for (const auto& c : cases)
    {
        sent.clear();
        typeAndReturn (c.entry, c.typed);
        EXPECT_FLOAT_EQ (delay (0).del->getValue(), c.delayMs) << c.entry << " '" << c.typed << "'";
        EXPECT_FLOAT_EQ (limiter (0).thres->getValue(), c.thresholdVp) << c.entry << " '" << c.typed << "'";
        EXPECT_EQ (sent.count(), 1u) << c.entry << " '" << c.typed << "'";
    }

    // The knobs' value boxes: no number leaves the knob where it is.
    auto& release = widget<ValueKnob> ("releaseKnobA");
    release.setValue (500.0, juce::dontSendNotification);
    for (auto typed : { "", "abc", "-" })
        EXPECT_DOUBLE_EQ (release.getValueFromText (typed), 500.0) << typed;
    EXPECT_DOUBLE_EQ (release.getValueFromText ("1k5"), 1500.0);
    EXPECT_DOUBLE_EQ (release.getValueFromText (" 62,5 ms"), 62.5);
}

TEST_F (ConfigPageTest, VoltsPeakEntryFollowsTheModelsFullScaleAndBridging)
{
    page->setDeviceModel (4);   // TARVO-1: 50 Vp full scale
    typeAndReturn ("vpEntryA", "200");
    EXPECT_EQ (text ("vpEntryA"), "50.0");
    EXPECT_DOUBLE_EQ (knob ("thresholdKnobA"), 0.0);
    EXPECT_FALSE (globals::blockActive.get (ChainBlock::limiter, 0)) << "0 dBfs: not in use";
    ASSERT_EQ (addresses(), Strings { "/channel/1/limiter" });
    EXPECT_FLOAT_EQ (floatArgument (0, 0), 50.0f);

    page->setDeviceModel (5);   // TARVO-2: 85 Vp
    amplifierReports ("BRIDGE");
    typeAndReturn ("vpEntryA", "100");
    EXPECT_FLOAT_EQ (limiter (0).thres->getValue(), 50.0f);
    EXPECT_EQ (text ("vpEntryA"), "100.0");
    EXPECT_NEAR (knob ("thresholdKnobA"), -4.6, 1e-9);
    EXPECT_TRUE (globals::blockActive.get (ChainBlock::limiter, 0));

    // Bridged, the shown voltage may exceed the parameter's own top before it is halved.
    page->setDeviceModel (1);   // ZR440: 94 Vp
    typeAndReturn ("vpEntryA", "180");
    EXPECT_FLOAT_EQ (limiter (0).thres->getValue(), 90.0f);
    EXPECT_EQ (text ("vpEntryA"), "180.0");
}

TEST_F (ConfigPageTest, PowerDisplayIsTheSinePowerIntoTheLoadAndFourTimesBridged)
{
    // Nothing connected: 100 Vp full scale.
    turn ("thresholdKnobA", -20.0);
    EXPECT_EQ (text ("vpEntryA"), "10.0");
    EXPECT_EQ (text ("powerDisplayA"), " - ");
    turn ("thresholdKnobA", 0.0);
    EXPECT_EQ (text ("vpEntryA"), "100.0");

    choose ("loadListA", 4);   // 8 Ohm
    EXPECT_EQ (text ("powerDisplayA"), "625.0");
    choose ("loadListA", 2);   // 2 Ohm
    EXPECT_EQ (text ("powerDisplayA"), "2500.0");
    choose ("loadListA", 1);
    EXPECT_EQ (text ("powerDisplayA"), " - ");

    amplifierReports ("BRIDGE");
    choose ("loadListA", 4);
    EXPECT_EQ (text ("powerDisplayA"), "2500.0");
    EXPECT_EQ (text ("vpEntryA"), "200.0");
}

TEST_F (ConfigPageTest, LoadRulesPerModel)
{
    // TARVO-4 takes no 2 Ohm; a TARVO is never sent "/speaker".
    page->setDeviceModel (6);
    EXPECT_EQ (sent.count(), 0u) << "a new model sends nothing by itself";
    choose ("loadListA", 2);
    EXPECT_EQ (widget<juce::ComboBox> ("loadListA").getSelectedId(), 3);
    EXPECT_EQ (page->getLoadId (0), 3);
    EXPECT_EQ (addresses(), Strings { "/channel/1/limiter" });

    // ZR220Z: line voltages, the same on both channels, no power, "/speaker" with the volts.
    sent.clear();
    page->setDeviceModel (2);
    auto& listA = widget<juce::ComboBox> ("loadListA");
    auto& listB = widget<juce::ComboBox> ("loadListB");
    ASSERT_EQ (listA.getNumItems(), 2);
    EXPECT_EQ (listA.getItemText (0) + "|" + listA.getItemText (1), "100 V|70 V");
    EXPECT_EQ (listB.getNumItems(), 2);
    EXPECT_TRUE (widget<juce::Component> ("outputLabelA").isVisible());
    EXPECT_FALSE (widget<juce::Component> ("loadLabelA").isVisible());
    choose ("loadListB", 2);
    EXPECT_EQ (listA.getSelectedId(), 2);
    EXPECT_EQ (text ("powerDisplayA") + "|" + text ("powerDisplayB"), " - | - ");
    EXPECT_EQ (addresses(), (Strings { "/channel/2/limiter", "/speaker" }));
    EXPECT_EQ (intArgument (1, 0), 70);

    // ZR440 bridged: no 2 Ohm; confirming Bridge turns it to " -" and sends a load of 0.
    page->setDeviceModel (1);
    amplifierReports ("DUAL");
    choose ("loadListA", 2);
    sent.clear();
    confirmMode (4);
    EXPECT_EQ (listA.getSelectedId(), 1);
    ASSERT_EQ (addresses(), (Strings { "/channel/1/limiter", "/speaker", "/ampmode" }));
    EXPECT_EQ (intArgument (1, 0), 0);
}

TEST_F (ConfigPageTest, SpeakerReportSelectsTheLoadOnBothChannels)
{
    page->setDeviceModel (0);
    limiter (0).thres->setValue (40.0f);
    limiter (1).thres->setValue (20.0f);
    const struct
    {
        int model, value, id;
    } cases[] = { { 0, 8, 4 }, { 0, 0, 1 }, { 0, 33, 0 }, { 6, 2, 3 }, { 2, 70, 2 }, { 2, 8, 0 } };
    for (const auto& c : cases)
    {
        page->setDeviceModel (c.model);
        page->getSpeaker().value->setStep (c.value);
        page->getSpeaker().sendChangeMessage();
        testloop::run (10);
        EXPECT_EQ (widget<juce::ComboBox> ("loadListA").getSelectedId(), c.id) << c.model << " " << c.value;
        EXPECT_EQ (widget<juce::ComboBox> ("loadListB").getSelectedId(), c.id) << c.model << " " << c.value;
    }
    page->setDeviceModel (0);
    page->getSpeaker().value->setStep (8);
    page->getSpeaker().sendChangeMessage();
    testloop::run (10);
    EXPECT_EQ (text ("powerDisplayA") + "|" + text ("powerDisplayB"), "100.0|25.0");
    EXPECT_EQ (sent.count(), 0u);
}

TEST_F (ConfigPageTest, ChannelLinkCopiesAToBOnceAndThenAppliesEveryEditToBoth)
{
    turn ("delayKnobA", 5.0);
    click ("oneEightyDegreesA");
    turn ("thresholdKnobA", -6.0);
    turn ("holdKnobA", 100.0);
    sent.clear();

    click ("channelLink");
    ASSERT_EQ (addresses(), (Strings { "/channel/2/delay", "/channel/2/limiter" }));
    EXPECT_EQ (delay (1).del->getStep(), delay (0).del->getStep());
    EXPECT_EQ (delay (1).pol->getStep(), 180);
    EXPECT_EQ (limiter (1).thres->getStep(), limiter (0).thres->getStep());
    EXPECT_EQ (limiter (1).hold->getStep(), limiter (0).hold->getStep());
    EXPECT_TRUE (widget<juce::Button> ("oneEightyDegreesB").getToggleState());
    EXPECT_TRUE (widget<juce::Button> ("phaseB").getToggleState());
    EXPECT_EQ (text ("msEntryB"), "5.00");
    EXPECT_TRUE (globals::blockActive.get (ChainBlock::delay, 1));

    sent.clear();
    turn ("releaseKnobB", 300.0);
    EXPECT_EQ (addresses(), (Strings { "/channel/2/limiter", "/channel/1/limiter" }));
    EXPECT_DOUBLE_EQ (knob ("releaseKnobA"), 300.0);
    EXPECT_FLOAT_EQ (limiter (0).rel->getValue(), 300.0f);

    sent.clear();
    click ("phaseA");   // off again: 0 degrees on both
    EXPECT_EQ (addresses(), (Strings { "/channel/1/delay", "/channel/2/delay" }));
    EXPECT_EQ (delay (1).pol->getStep(), 0);
    EXPECT_TRUE (widget<juce::Button> ("zeroDegreesB").getToggleState());

    sent.clear();
    click ("channelLink");   // off: nothing else happens
    EXPECT_EQ (sent.count(), 0u);
    turn ("delayKnobA", 7.0);
    EXPECT_EQ (addresses(), Strings { "/channel/1/delay" });
}

TEST_F (ConfigPageTest, InStereoChannelBMirrorsChannelAButOnlyChannelAIsSent)
{
    click ("channelLink");   // even linked, B is not sent while it follows
    amplifierReports ("STEREO");
    sent.clear();

    turn ("delayKnobA", 12.0);
    click ("oneEightyDegreesA");
    turn ("thresholdKnobA", -3.0);
    turn ("releaseKnobA", 1000.0);
    typeAndReturn ("vpEntryA", "30");
    for (const auto& address : addresses())
        EXPECT_TRUE (address.rfind ("/channel/1/", 0) == 0) << address;
    EXPECT_EQ (sent.count(), 5u);

    EXPECT_EQ (delay (1).del->getStep(), delay (0).del->getStep());
    EXPECT_EQ (delay (1).pol->getStep(), 180);
    EXPECT_FLOAT_EQ (limiter (1).thres->getValue(), 30.0f);
    EXPECT_FLOAT_EQ (limiter (1).rel->getValue(), 1000.0f);

    // Back in Dual Mono channel B shows its mirrored values.
    amplifierReports ("DUAL");
    EXPECT_EQ (text ("msEntryB"), "12.00");
    EXPECT_EQ (text ("vpEntryB"), "30.0");
}

TEST_F (ConfigPageTest, AmplifierValuesRefreshTheWidgetsWithoutSending)
{
    page->setDeviceModel (1);   // 94 Vp
    delay (1).del->setValue (2.5f);
    delay (1).pol->setStep (180);
    delay (1).sendChangeMessage();
    limiter (1).thres->setValue (200.0f);   // above the full scale: shown as full scale
    limiter (1).rel->setValue (250.0f);
    limiter (1).sendChangeMessage();
    testloop::run (10);

    EXPECT_EQ (text ("msEntryB"), "2.50");
    EXPECT_TRUE (widget<juce::Button> ("phaseB").getToggleState());
    EXPECT_TRUE (widget<juce::Button> ("oneEightyDegreesB").getToggleState());
    EXPECT_FALSE (widget<juce::Button> ("zeroDegreesB").getToggleState());
    EXPECT_EQ (text ("vpEntryB"), "94.0");
    EXPECT_DOUBLE_EQ (knob ("thresholdKnobB"), 0.0);
    EXPECT_DOUBLE_EQ (knob ("releaseKnobB"), 250.0);
    EXPECT_FALSE (globals::blockActive.get (ChainBlock::limiter, 1));
    EXPECT_TRUE (globals::blockActive.get (ChainBlock::delay, 1));
    EXPECT_FLOAT_EQ (limiter (1).thres->getValue(), 165.0f) << "the model keeps its own";
    EXPECT_EQ (sent.count(), 0u);
}

TEST_F (ConfigPageTest, LoadAndModeChangesSendTheStoredThresholdUnchanged)
{
    // ZR440, 94 Vp: 40 Vp lies between the knob's tenths of a dB, 1 Vp below its -36 dBfs.
    page->setDeviceModel (1);
    const struct
    {
        float vp;
        int loadId;
    } cases[] = { { 1.0f, 4 }, { 40.0f, 5 } };
    for (const auto [vp, loadId] : cases)
    {
        amplifierReports ("DUAL");
        limiter (0).thres->setValue (vp);
        limiter (0).sendChangeMessage();
        testloop::run (10);
        const float stored = limiter (0).thres->getValue();
        sent.clear();

        choose ("loadListA", loadId);
        confirmMode (1);   // Stereo
        confirmMode (4);   // Bridge
        ASSERT_EQ (addresses(), (Strings { "/channel/1/limiter", "/speaker", "/channel/1/limiter", "/speaker",
                                           "/ampmode", "/channel/1/limiter", "/speaker", "/ampmode" }));
        for (std::size_t message : { 0u, 2u, 5u })
            EXPECT_EQ (floatArgument (message, 0), stored) << vp << " Vp, message " << message;
        EXPECT_EQ (limiter (0).thres->getValue(), stored) << vp;
        EXPECT_EQ (limiter (1).thres->getValue(), stored) << vp << ": B follows A unchanged";
        EXPECT_EQ (text ("vpEntryA"), juce::String (2.0f * vp, 1)) << "bridged: twice the voltage";
    }
}

TEST_F (ConfigPageTest, WithChannelLinkALoadChosenOnEitherChannelUpdatesBothPowerDisplays)
{
    page->setDeviceModel (0);   // ZR220, 80 Vp
    limiter (0).thres->setValue (40.0f);
    limiter (0).sendChangeMessage();
    testloop::run (10);
    click ("channelLink");   // B takes A's 40 Vp

    choose ("loadListA", 4);   // 8 Ohm: 40^2 / 8 / 2
    EXPECT_EQ (text ("powerDisplayA") + "|" + text ("powerDisplayB"), "100.0|100.0");
    choose ("loadListB", 3);   // 4 Ohm
    EXPECT_EQ (text ("powerDisplayA") + "|" + text ("powerDisplayB"), "200.0|200.0");

    // Each display shows its own channel's threshold.
    limiter (1).thres->setValue (20.0f);
    limiter (1).sendChangeMessage();
    testloop::run (10);
    choose ("loadListA", 4);
    EXPECT_EQ (text ("powerDisplayA") + "|" + text ("powerDisplayB"), "100.0|25.0");
}
