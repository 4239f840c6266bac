// The Dynamic EQ page and its channel tabs: what each control sends, how device messages
// show, the handles' edits, and Stereo/Bridge following.

#include "CDeqPage.h"
#include "Cdeqcomp.h"
#include "Cdeqfilt.h"
#include "Cdeqtime.h"
#include "Croot.h"
#include "Globals.h"
#include "MessageLoop.h"
#include "PacketRecorder.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace
{
    constexpr int dual = 0, stereo = 1, bridge = 4;

    class DeqPageTest : public ::testing::Test
    {
    protected:
        DeqPageTest()
        {
            assignAddresses (root);
            globals::blockActive = BlockActivity {};
            globals::deqFilterTable = {};
            globals::deqLevelGain = {};
            page = std::make_unique<CDeqPage> (root);
            for (int channel = 0; channel < 2; ++channel)
                page->tab (channel).onBandChanged =
                    [this, channel, previous = page->tab (channel).onBandChanged] (int band)
                {
                    changedBands.push_back (channel * 10 + band);
                    if (previous)
                        previous (band);
                };
        }

        template <typename Widget>
        Widget& widget (int channel, const juce::String& id)
        {
            auto* w = dynamic_cast<Widget*> (page->tab (channel).findChildWithID (id));
            if (w == nullptr)
                throw std::runtime_error (("no widget " + id).toStdString());
            return *w;
        }
        juce::ComboBox& combo (const juce::String& id, int channel = 0) { return widget<juce::ComboBox> (channel, id); }
        juce::Slider& knob (const juce::String& id, int channel = 0) { return widget<juce::Slider> (channel, id); }
        ValueEntry& entry (const juce::String& id, int channel = 0) { return widget<ValueEntry> (channel, id); }
        juce::TextButton& button (const juce::String& id, int channel = 0)
        {
            return widget<juce::TextButton> (channel, id);
        }

        Cdeqcomp& comp (int channel, int band) { return *page->tab (channel).compBlock (band); }
        Cdeqtime& time (int channel, int band) { return *page->tab (channel).timeBlock (band); }
        Cdeqfilt& filt (int channel, int band) { return *page->tab (channel).filtBlock (band); }

        PacketRecorder sent;
        Croot root;
        std::unique_ptr<CDeqPage> page;
        std::vector<int> changedBands;   // 10 x channel + band, each time curves were redone
    };
}

TEST_F (DeqPageTest, RatioListShowsTheFirstChoiceAtOrAboveTheRatio)
{
    const struct
    {
        const char* text;
        int id;
    } cases[] = { { " 0 -20 2.0", 1 },  { " 0 -20 2.5", 2 },  { " 0 -20 5.0", 3 }, { " 0 -20 7.5", 4 },
                  { " 0 -20 10.0", 4 }, { " 0 -20 20.0", 0 }, { " 0 -20 100", 0 } };
    for (const auto& c : cases)
    {
        ASSERT_EQ (comp (0, 1).fromText (c.text), 0);
        testloop::run (20);
        EXPECT_EQ (combo ("ratioCombo2").getSelectedId(), c.id) << c.text;
    }
    EXPECT_EQ (combo ("ratioCombo2").getText(), "");
    EXPECT_EQ (sent.count(), 0u);

    combo ("ratioCombo2").setSelectedId (3, juce::sendNotificationSync);   // "1:5.0"
    EXPECT_EQ (comp (0, 1).ratio->getValue(), 5.0f);
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (sent.address (0), "/channel/1/deq/2/comp");
}

TEST_F (DeqPageTest, TypeListSetsTheTypeEvenWithTheBandOffAndHidesQualityForLowAndHighPass)
{
    ASSERT_FALSE (button ("deqButton1").getToggleState());
    combo ("typeCombo1").setSelectedId (3, juce::sendNotificationSync);   // "LP12"
    EXPECT_STREQ (filt (0, 0).type->label(), "LP12");
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (sent.address (0), "/channel/1/deq/1/filt");
    EXPECT_FALSE (button ("deqButton1").getToggleState());
    EXPECT_FALSE (knob ("qualKnob1").isVisible());
    EXPECT_FALSE (entry ("qualEditor1").isVisible());
    EXPECT_EQ (changedBands, std::vector<int> { 0 });

    combo ("typeCombo1").setSelectedId (1, juce::sendNotificationSync);   // "BP"
    EXPECT_TRUE (knob ("qualKnob1").isVisible());

    // The button: on sends the listed type, off sends "OFF" and keeps the list.
    combo ("typeCombo1").setSelectedId (5, juce::sendNotificationSync);
    button ("deqButton1").setToggleState (true, juce::sendNotification);
    EXPECT_STREQ (filt (0, 0).type->label(), "HP12");
    button ("deqButton1").setToggleState (false, juce::sendNotification);
    EXPECT_STREQ (filt (0, 0).type->label(), "OFF");
    EXPECT_EQ (combo ("typeCombo1").getText(), "HP12");
}

TEST_F (DeqPageTest, TimeKnobsOnlySend)
{
    knob ("attackKnob2").setValue (12.5, juce::sendNotificationSync);
    knob ("releaseKnob2").setValue (400.0, juce::sendNotificationSync);
    ASSERT_EQ (sent.count(), 2u);
    EXPECT_EQ (sent.address (0), "/channel/1/deq/2/time");
    EXPECT_EQ (time (0, 1).att->getValue(), 12.5f);
    EXPECT_EQ (time (0, 1).rel->getValue(), 400.0f);
    EXPECT_TRUE (changedBands.empty());

    // A device message of the time block moves the knobs.
    time (0, 0).fromText (" 50.0 1000.0");
    testloop::run (20);
    EXPECT_EQ (knob ("attackKnob1").getValue(), 50.0);
    EXPECT_EQ (knob ("releaseKnob1").getValue(), 1000.0);
    EXPECT_EQ (sent.count(), 2u);
}

TEST_F (DeqPageTest, HandleEditsOnAnOffBandMoveOnlyTheFrequency)
{
    auto& tab = page->tab (0);
    const int step = filt (0, 1).freq->getStep();
    tab.handleEdit (CDeqTab::gain, 1, -4);
    tab.handleEdit (CDeqTab::quality, 1, 1);
    EXPECT_EQ (sent.count(), 0u);
    EXPECT_EQ (comp (0, 1).mgain->getValue(), -15.0f);
    EXPECT_TRUE (changedBands.empty());

    tab.handleEdit (CDeqTab::frequency, 1, 8);
    EXPECT_EQ (filt (0, 1).freq->getStep(), step + 8);
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (sent.address (0), "/channel/1/deq/2/filt");
    EXPECT_EQ (knob ("freqKnob2").getValue(), step + 8.0);

    // With a type, upward (negative delta) raises the gain 0.5 dB a pixel.
    filt (0, 1).fromText (" BP 1k00 1.00");
    comp (0, 1).fromText (" 0.0 -20 4");
    testloop::run (20);
    sent.clear();
    tab.handleEdit (CDeqTab::gain, 1, -4);
    EXPECT_EQ (comp (0, 1).mgain->getValue(), 2.0f);
    EXPECT_EQ (knob ("gainKnob2").getValue(), 2.0);
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (sent.address (0), "/channel/1/deq/2/comp");
    tab.handleEdit (CDeqTab::quality, 1, -1);
    EXPECT_EQ (filt (0, 1).qual->getStep(), 49);
    EXPECT_EQ (entry ("qualEditor2").getText(), "0.95");
}

TEST_F (DeqPageTest, StereoCopiesEditsIntoChannelBAndSendsOnlyChannelA)
{
    page->ampModeChanged (stereo);
    EXPECT_EQ (page->getTabs().getNumTabs(), 1);
    EXPECT_EQ (page->getTabs().getTabNames()[0], "Channel A+B");

    entry ("freqEditor1").setText ("3k", true);
    entry ("freqEditor1").commit();
    EXPECT_NEAR (filt (0, 0).freq->getValue(), 3000.0f, 2.0f);
    EXPECT_EQ (filt (1, 0).freq->getValue(), filt (0, 0).freq->getValue());
    knob ("gainKnob1").setValue (-6.0, juce::sendNotificationSync);
    combo ("ratioCombo1").setSelectedId (4, juce::sendNotificationSync);
    knob ("attackKnob1").setValue (20.0, juce::sendNotificationSync);
    combo ("typeCombo1").setSelectedId (2, juce::sendNotificationSync);
    knob ("qualKnob1").setValue (70, juce::sendNotificationSync);
    EXPECT_EQ (comp (1, 0).mgain->getValue(), -6.0f);
    EXPECT_EQ (comp (1, 0).ratio->getValue(), 10.0f);
    EXPECT_EQ (time (1, 0).att->getValue(), 20.0f);
    EXPECT_STREQ (filt (1, 0).type->label(), "LP6");
    EXPECT_EQ (filt (1, 0).qual->getStep(), 70);

    // So are the handles' edits.
    page->tab (0).handleEdit (CDeqTab::frequency, 0, 10);
    page->tab (0).handleEdit (CDeqTab::gain, 0, 4);   // four pixels down: -2 dB
    page->tab (0).handleEdit (CDeqTab::quality, 0, -1);
    EXPECT_EQ (filt (1, 0).freq->getValue(), filt (0, 0).freq->getValue());
    EXPECT_EQ (comp (1, 0).mgain->getValue(), -8.0f);
    EXPECT_EQ (filt (1, 0).qual->getStep(), 69);
    for (std::size_t i = 0; i < sent.count(); ++i)
        EXPECT_EQ (sent.address (i).rfind ("/channel/1/", 0), 0u) << sent.address (i);

    // Back in Dual Mono the channel B tab is there again and shows B's blocks.
    page->ampModeChanged (dual);
    ASSERT_EQ (page->getTabs().getNumTabs(), 2);
    EXPECT_EQ (page->getTabs().getTabNames()[0], "Channel A");
    EXPECT_EQ (knob ("gainKnob1", 1).getValue(), -8.0);
    EXPECT_EQ (combo ("ratioCombo1", 1).getSelectedId(), 4);
    EXPECT_FALSE (page->tab (0).isFollowingA());
}

TEST_F (DeqPageTest, BridgeMakesBTakeAsValuesWithoutSending)
{
    comp (0, 1).fromText (" +3.0 -30 3");
    filt (0, 1).fromText (" HP6 500 2.00");
    testloop::run (20);
    sent.clear();
    page->ampModeChanged (bridge);
    EXPECT_EQ (page->getTabs().getTabNames(), juce::StringArray ("Channel A"));
    EXPECT_EQ (comp (1, 1).mgain->getValue(), 3.0f);
    EXPECT_EQ (comp (1, 1).thres->getValue(), -30.0f);
    EXPECT_STREQ (filt (1, 1).type->label(), "HP6");
    EXPECT_EQ (filt (1, 1).freq->getValue(), filt (0, 1).freq->getValue());
    EXPECT_EQ (sent.count(), 0u);
}

TEST_F (DeqPageTest, BlockFlagNeedsATypeAndAGain)
{
    comp (0, 0).fromText (" 0.0 -20 4");
    comp (0, 1).fromText (" 0.0 -20 4");
    filt (0, 0).fromText (" BP 1k00 1.00");
    filt (0, 1).fromText (" LP12 1k00 1.00");
    testloop::run (20);
    EXPECT_FALSE (globals::blockActive.get (ChainBlock::deq, 0));

    knob ("gainKnob2").setValue (-1.5, juce::sendNotificationSync);
    EXPECT_TRUE (globals::blockActive.get (ChainBlock::deq, 0));
    button ("deqButton2").setToggleState (true, juce::sendNotification);
    button ("deqButton2").setToggleState (false, juce::sendNotification);   // "OFF"
    EXPECT_FALSE (globals::blockActive.get (ChainBlock::deq, 0));
    EXPECT_FALSE (globals::blockActive.get (ChainBlock::deq, 1));
}

TEST_F (DeqPageTest, BadTextKeepsOrClampsTheValue)
{
    filt (0, 0).fromText (" BP 1k00 1.00");
    testloop::run (20);
    for (auto typed : { "", "  ", "abc", "-" })
    {
        sent.clear();
        entry ("freqEditor1").setText (typed, true);
        entry ("freqEditor1").commit();
        entry ("qualEditor1").setText (typed, true);
        entry ("qualEditor1").commit();
        EXPECT_EQ (entry ("freqEditor1").getText(), "1k00") << typed;
        EXPECT_EQ (entry ("qualEditor1").getText(), "1.00") << typed;
        EXPECT_EQ (sent.count(), 2u);   // the filter, unchanged
    }
    entry ("qualEditor1").setText ("1e9", true);
    entry ("qualEditor1").commit();
    EXPECT_EQ (entry ("qualEditor1").getText(), "1.00");
    entry ("qualEditor1").setText (" 2,5 ", true);   // a decimal comma reads as a point
    entry ("qualEditor1").commit();
    EXPECT_EQ (entry ("qualEditor1").getText(), "2.50");
    entry ("qualEditor1").setText ("999999999", true);
    entry ("qualEditor1").commit();
    EXPECT_EQ (filt (0, 0).qual->getStep(), 100);
    EXPECT_EQ (knob ("qualKnob1").getValue(), 100.0);

    auto& gain = knob ("gainKnob1");
    gain.setValue (4.5, juce::sendNotificationSync);
    EXPECT_EQ (gain.getValueFromText ("abc"), 4.5);
    EXPECT_EQ (gain.getValueFromText (""), 4.5);
    EXPECT_EQ (gain.getValueFromText ("-1000"), -15.0);
    EXPECT_EQ (gain.getTextFromValue (4.5), "+4.5");
}

TEST_F (DeqPageTest, ABandsCurvesAndHandleFollowItsBlocks)
{
    comp (0, 0).fromText (" -6.0 -20 4");
    filt (0, 0).fromText (" BP 1k00 1.00");
    comp (0, 1).fromText (" -6.0 -20 4");
    filt (0, 1).fromText (" OFF 1k00 1.00");
    testloop::run (20);
    auto& graph = page->graph (0);
    EXPECT_EQ (graph.graphKind, 2);
    EXPECT_FLOAT_EQ (graph.handleFreq[0], filt (0, 0).freq->getValue());

    // At the band's centre the six level curves dip by the band's level gains.
    const float expected[] = { -52.15f, -42.76f, -33.59f, -24.73f, -15.92f, -6.00f };
    for (int level = 0; level < 6; ++level)
        EXPECT_NEAR (graph.responseFunction (level, 1000.0f), expected[level], 0.02f) << level;
    // Band 2 is "OFF": six flat lines at the input levels.
    for (int level = 0; level < 6; ++level)
        EXPECT_NEAR (page->graph (1).responseFunction (level, 1000.0f), -50.0f + 10.0f * (float) level, 0.01f);

    // Channel B's blocks recompute in the background without taking the handles over.
    filt (1, 0).fromText (" LP6 300 1.00");
    testloop::run (20);
    EXPECT_EQ (globals::deqVisibleChannel, 0);
    EXPECT_FLOAT_EQ (graph.handleFreq[0], filt (0, 0).freq->getValue());
    EXPECT_NEAR (globals::deqFilterTable[1][0].freq, 300.0f, 0.5f);
}

TEST_F (DeqPageTest, ShowingChannelBRedrawsTheGraphsInItsColourAtItsFrequencies)
{
    filt (1, 1).fromText (" HP12 8k00 1.00");
    testloop::run (20);
    page->getTabs().setCurrentTabIndex (1);
    juce::Image image (juce::Image::RGB, page->getWidth(), page->getHeight(), true, juce::SoftwareImageType());
    juce::Graphics g (image);
    page->paintEntireComponent (g, true);
    EXPECT_EQ (globals::deqVisibleChannel, 1);
    EXPECT_EQ (page->graph (1).strokeColour[5], juce::Colour (0xff2e79ff));
    EXPECT_NEAR (page->graph (1).handleFreq[0], 8000.0f, 5.0f);

    // A handle now edits channel B's tab.
    sent.clear();
    page->graph (1).handles[0]->dragTo (6 + 3, page->graph (1).handles[0]->lastY);
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (sent.address (0), "/channel/2/deq/2/filt");
}

TEST_F (DeqPageTest, DraggingAnOffBandsHandleMovesOnlyItsFrequency)
{
    auto& handle = *page->graph (1).handles[0];
    const int step = filt (0, 1).freq->getStep();
    const float gain = comp (0, 1).mgain->getValue();
    handle.lastX = handle.lastY = 6;
    handle.dragTo (6, 6 - 4);   // upward, on an "OFF" band
    EXPECT_EQ (comp (0, 1).mgain->getValue(), gain);
    EXPECT_EQ (sent.count(), 0u);

    handle.dragTo (6 + 5, handle.lastY);   // five pixels right: ten steps
    EXPECT_EQ (filt (0, 1).freq->getStep(), step + 10);
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_NEAR (page->graph (1).handleFreq[0], filt (0, 1).freq->getValue(), 0.01f);

    // With a type, four pixels up raise the gain by 2 dB.
    filt (0, 1).fromText (" BP 1k00 1.00");
    comp (0, 1).fromText (" 0.0 -20 4");
    testloop::run (20);
    handle.lastY = 6;
    handle.dragTo (6, 2);
    EXPECT_EQ (comp (0, 1).mgain->getValue(), 2.0f);
}
