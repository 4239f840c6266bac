// The Parametric EQ page without a hub: what its controls, buttons, entries, handles and mode
// changes put into the tree and on the wire, and what a change from the tree shows.

#include "CPeqPage.h"
#include "Cpeq.h"
#include "FilterResponse.h"
#include "PageFixture.h"
#include "TestDisplay.h"

#include <gtest/gtest.h>

namespace
{
    juce::String textOf (Cparam& param)
    {
        char text[nodeTextCapacity] {};
        param.toText (text, (int) sizeof text);
        return text;
    }

    class PeqPageTest : public PageFixture<CPeqPage>
    {
    protected:
        PeqPageTest() { page = std::make_unique<CPeqPage> (root, dialogs); }

        Cpeq& band (int channel, int k)
        {
            return model.block<Cpeq> ("channel/" + std::to_string (channel + 1) + "/peq/" + std::to_string (k + 1));
        }

        PeqBandColumn& column (int k, int channel = 0) { return page->tab (channel).column (k); }

        /** The text of a packet's first argument (the type label) and its floats. */
        std::string typeSent (std::size_t i) { return sent.argument (i, 0).AsString(); }
        float floatSent (std::size_t i, int n) { return sent.argument (i, n + 1).AsFloat(); }

        void switchOn (int k, int type, int channel = 0)
        {
            column (k, channel).typeCombo.setSelectedId (type, juce::dontSendNotification);
            column (k, channel).filterButton.triggerClick();
            drainMessages();
        }
    };
}

TEST_F (PeqPageTest, LayoutFollowsTheBoundsTable)
{
    EXPECT_EQ (page->getBounds(), juce::Rectangle<int> (0, 0, 720, 470));
    EXPECT_EQ (page->getName(), "PeqPage");
    EXPECT_EQ (page->getGraph().getBounds(), juce::Rectangle<int> (50, 10, 660, 150));
    EXPECT_EQ (page->getTabs().getBounds(), juce::Rectangle<int> (0, 176, 720, 296));
    EXPECT_EQ (page->getTabs().getTabNames(), juce::StringArray ({ "Channel A", "Channel B" }));
    EXPECT_EQ (page->getGraph().handleOffset, 6u);
    EXPECT_EQ (page->getGraph().handleCount, 8u);
    EXPECT_EQ (page->getGraph().handles[7]->getBounds().getWidth(), 13);
    EXPECT_EQ (page->getGraph().strokeColour[0], juce::Colour (0xffd29b27));

    auto& tab = page->tab (0);
    const auto at = [&tab] (const char* id) { return tab.findChildWithID (id)->getBounds(); };
    EXPECT_EQ (at ("filterButton3"), juce::Rectangle<int> (244, 4, 68, 24));
    EXPECT_EQ (at ("gainKnob3"), juce::Rectangle<int> (244, 32, 48, 60));
    EXPECT_EQ (at ("dbLabel3"), juce::Rectangle<int> (292, 73, 26, 18));
    EXPECT_EQ (at ("freqKnob3"), juce::Rectangle<int> (248, 100, 40, 40));
    EXPECT_EQ (at ("freqEditor3"), juce::Rectangle<int> (244, 140, 48, 20));
    EXPECT_EQ (at ("hzLabel3"), juce::Rectangle<int> (290, 142, 26, 18));
    EXPECT_EQ (at ("qualKnob3"), juce::Rectangle<int> (248, 164, 40, 40));
    EXPECT_EQ (at ("qualEditor3"), juce::Rectangle<int> (244, 204, 48, 20));
    EXPECT_EQ (at ("typeCombo8"), juce::Rectangle<int> (644, 232, 60, 20));
    EXPECT_EQ (at ("bypass"), juce::Rectangle<int> (12, 4, 60, 24));
    EXPECT_EQ (at ("reset"), juce::Rectangle<int> (12, 40, 60, 24));
    EXPECT_EQ (at ("frequencyLabel"), juce::Rectangle<int> (6, 140, 77, 20));
    EXPECT_TRUE (at ("selectionFrame").isEmpty());
    EXPECT_EQ (column (0).filterButton.getButtonText(), "Filter 1");
    EXPECT_EQ (column (0).typeCombo.getNumItems(), 5);
    EXPECT_EQ (column (0).typeCombo.getSelectedId(), 1);
    EXPECT_FALSE (column (0).filterButton.getToggleState());
    EXPECT_EQ (sent.count(), 0u);
}

TEST_F (PeqPageTest, KnobsSetTheBandSendItOnceAndMoveItsHandleAndFrame)
{
    auto& b = band (0, 2);
    b.freq->setStep (400);
    column (2).freqKnob.showParam();

    column (2).freqKnob.setValue (401, juce::sendNotificationSync);
    EXPECT_NEAR (b.freq->getValue(), 2023.2f, 0.1f);
    EXPECT_EQ (column (2).freqEditor.getText(), "2k02");
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (sent.address (0), "/channel/1/peq/3");
    EXPECT_NEAR (floatSent (0, 0), 2023.2f, 0.1f);
    EXPECT_EQ (page->getGraph().handleFreq[2], b.freq->getValue());
    EXPECT_EQ (globals::selectedHandle, 2);
    EXPECT_EQ (page->tab (0).selectionBounds(), juce::Rectangle<int> (235, 22, 85, 240));

    column (2).qualKnob.setValue (50, juce::sendNotificationSync);
    EXPECT_EQ (column (2).qualEditor.getText(), "1.00");
    column (2).gainKnob.setValue (-4.5, juce::sendNotificationSync);
    EXPECT_EQ (b.gain->getValue(), -4.5f);
    EXPECT_EQ (sent.count(), 3u);
    EXPECT_FALSE (globals::blockActive.get (ChainBlock::peq, 0)) << "the band is still OFF";

    switchOn (2, 1);
    EXPECT_TRUE (globals::blockActive.get (ChainBlock::peq, 0));
    EXPECT_LT (peqResponse (0, 2023.2f), -8.9f) << "the curve follows the band";
}

TEST_F (PeqPageTest, EntriesReadTypedTextAndNeverSendGarbage)
{
    auto& b = band (0, 0);
    auto& freq = column (0).freqEditor;
    auto& qual = column (0).qualEditor;
    b.freq->setStep (300);

    typeAndReturn (freq, "2k5");
    EXPECT_NEAR (b.freq->getValue(), 2500.0f, 2500.0f * 0.0012f);
    EXPECT_EQ (freq.getText(), "2k50");
    EXPECT_EQ (freq.getHighlightedRegion(), juce::Range<int> (0, 4));
    EXPECT_EQ (column (0).freqKnob.getStep(), b.freq->getStep());
    ASSERT_EQ (sent.count(), 1u);

    const auto before = b.freq->getStep();
    for (auto typed : { "abc", "", "   ", "Hz" })
    {
        typeAndReturn (freq, typed);
        EXPECT_EQ (b.freq->getStep(), before) << typed;
        EXPECT_EQ (freq.getText(), "2k50") << typed;
    }
    EXPECT_EQ (sent.count(), 5u) << "still sent, with the value kept";

    // Numbers out of range are clamped; whatever is read, what goes out is in range.
    for (auto typed : { "99999999", "-5", "0", "1,5", "12k", "k", "-" })
    {
        typeAndReturn (freq, typed);
        EXPECT_GE (b.freq->getValue(), 20.0f) << typed;
        EXPECT_LE (b.freq->getValue(), 20000.0f) << typed;
        EXPECT_EQ (freq.getText(), textOf (*b.freq)) << typed;
    }
    typeAndReturn (qual, "1e9");
    typeAndReturn (qual, "nonsense");
    EXPECT_LE (b.qual->getValue(), 10.0f);
    EXPECT_EQ (qual.getText(), textOf (*b.qual));
    for (std::size_t i = 0; i < sent.count(); ++i)
    {
        EXPECT_GE (floatSent (i, 0), 20.0f);
        EXPECT_LE (floatSent (i, 0), 20000.0f);
        EXPECT_LE (floatSent (i, 2), 10.0f);
        EXPECT_GE (floatSent (i, 2), 0.1f);
    }
}

TEST_F (PeqPageTest, GainBoxKeepsTheGainForTextWithoutANumberAndClampsHugeOnes)
{
    auto& knob = column (4).gainKnob;
    auto& b = band (0, 4);
    b.gain->setValue (3.0f);
    knob.setValue (3.0, juce::dontSendNotification);

    EXPECT_EQ (knob.getValueFromText ("abc"), 3.0);
    EXPECT_EQ (knob.getValueFromText (""), 3.0);
    EXPECT_EQ (knob.getValueFromText ("  "), 3.0);
    EXPECT_EQ (knob.getValueFromText ("-4.5 dB"), -4.5);
    EXPECT_EQ (knob.getValueFromText ("99999"), 15.0);
    EXPECT_EQ (knob.getValueFromText ("-1e30"), -1.0) << "read as far as it is a number";
    EXPECT_EQ (knob.getTextFromValue (4.5), "+4.5");

    // Through the value box as typed: only a real change is sent.
    juce::Label* box = nullptr;
    for (auto* child : knob.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
            box = label;
    ASSERT_NE (box, nullptr);
    box->setText ("nothing", juce::sendNotificationSync);
    EXPECT_EQ (sent.count(), 0u);
    EXPECT_EQ (b.gain->getValue(), 3.0f);
    box->setText ("-6", juce::sendNotificationSync);
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (b.gain->getValue(), -6.0f);
}

TEST_F (PeqPageTest, TypeListAndBandButtonSwitchTheBand)
{
    auto& b = band (0, 1);
    column (1).typeCombo.setSelectedId (3, juce::sendNotificationSync);   // "LS12" while off
    EXPECT_EQ (b.type->getStep(), 0);
    EXPECT_EQ (sent.count(), 0u);
    EXPECT_FALSE (column (1).qualKnob.isVisible());
    EXPECT_FALSE (column (1).qualEditor.isVisible());

    switchOn (1, 4);   // "HS6"
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (typeSent (0), "HS6");
    column (1).filterButton.triggerClick();
    testloop::run (10);
    ASSERT_EQ (sent.count(), 2u);
    EXPECT_EQ (typeSent (1), "OFF");
    EXPECT_EQ (column (1).typeCombo.getSelectedId(), 4);

    column (1).filterButton.setToggleState (true, juce::dontSendNotification);
    column (1).typeCombo.setSelectedId (1, juce::sendNotificationSync);
    EXPECT_EQ (typeSent (2), "PEQ");
    EXPECT_TRUE (column (1).qualKnob.isVisible());
}

TEST_F (PeqPageTest, BypassRestoresExactlyTheBandsThatWereOn)
{
    switchOn (0, 1);
    switchOn (2, 5);
    switchOn (5, 2);
    column (5).filterButton.triggerClick();   // band 6 on, then off again
    testloop::run (10);
    sent.clear();

    auto& bypass = pagetest::widgetIn<juce::Button> (page->tab (0), "bypass");
    bypass.triggerClick();
    testloop::run (10);
    EXPECT_TRUE (page->tab (0).isBypassed());
    ASSERT_EQ (sent.count(), 2u);
    EXPECT_EQ (sent.address (0), "/channel/1/peq/1");
    EXPECT_EQ (sent.address (1), "/channel/1/peq/3");
    EXPECT_EQ (typeSent (1), "OFF");

    // While bypassed a band button stays off and sends its band as "OFF".
    column (1).filterButton.triggerClick();
    testloop::run (10);
    EXPECT_FALSE (column (1).filterButton.getToggleState());
    EXPECT_EQ (typeSent (2), "OFF");
    column (2).typeCombo.setSelectedId (2, juce::sendNotificationSync);   // now "LS6"

    sent.clear();
    bypass.triggerClick();
    testloop::run (10);
    ASSERT_EQ (sent.count(), 2u);
    EXPECT_EQ (typeSent (0), "PEQ");
    EXPECT_EQ (typeSent (1), "LS6");
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ (column (k).filterButton.getToggleState(), k == 0 || k == 2) << k;
    EXPECT_EQ (band (0, 5).type->getStep(), 0);

    // A mode change ends a bypass, and the band buttons work again.
    bypass.triggerClick();
    testloop::run (10);
    page->ampModeChanged (0);
    EXPECT_FALSE (bypass.getToggleState());
    column (3).filterButton.triggerClick();
    testloop::run (10);
    EXPECT_TRUE (column (3).filterButton.getToggleState());
}

TEST_F (PeqPageTest, ABandSwitchedOnFromOutsideWhileBypassedEndsTheBypass)
{
    switchOn (0, 1);
    auto& bypass = pagetest::widgetIn<juce::Button> (page->tab (0), "bypass");
    bypass.triggerClick();
    testloop::run (10);
    ASSERT_TRUE (page->tab (0).isBypassed());

    // Undone, or loaded from a preset: the band is on again, and "Bypass" no longer says so.
    band (0, 0).fromText (" PEQ");
    testloop::run (10);
    EXPECT_FALSE (page->tab (0).isBypassed());
    EXPECT_FALSE (bypass.getToggleState());
    EXPECT_TRUE (column (0).filterButton.getToggleState());

    // The band buttons work again.
    column (0).filterButton.triggerClick();
    testloop::run (10);
    EXPECT_FALSE (column (0).filterButton.getToggleState());
    EXPECT_EQ (band (0, 0).type->getStep(), 0);
}

TEST_F (PeqPageTest, ResetAsksThenLeavesEightFlatPeakingBands)
{
    switchOn (3, 5);
    column (3).gainKnob.setValue (6.0, juce::sendNotificationSync);
    ASSERT_TRUE (globals::blockActive.get (ChainBlock::peq, 0));
    sent.clear();

    auto& reset = pagetest::widgetIn<juce::Button> (page->tab (0), "reset");
    dialogs.answers = { false };
    reset.triggerClick();
    testloop::run (10);
    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0], "Reset Parametric EQ...|Do you want to reset all filters?|Yes|Cancel|question");
    EXPECT_EQ (sent.count(), 0u);
    EXPECT_EQ (band (0, 3).type->getStep(), 5);

    dialogs.answers = { true };
    reset.triggerClick();
    testloop::run (10);
    const char* const freqs[] = { "40.0", "100.0", "200.0", "400.0", "1k00", "2k00", "4k00", "10k00" };
    for (int k = 0; k < 8; ++k)
    {
        auto& b = band (0, k);
        EXPECT_STREQ (b.type->label(), "PEQ") << k;
        EXPECT_EQ (b.gain->getValue(), 0.0f) << k;
        EXPECT_EQ (textOf (*b.qual), "0.15") << k;
        EXPECT_EQ (textOf (*b.freq), freqs[k]) << k;
        EXPECT_TRUE (column (k).filterButton.getToggleState()) << k;
        EXPECT_EQ (column (k).gainKnob.getValue(), 0.0) << k;
    }
    EXPECT_EQ (sent.count(), 16u);
    EXPECT_FALSE (globals::blockActive.get (ChainBlock::peq, 0));
    EXPECT_NEAR (peqResponse (0, 1000.0f), 0.0f, 1e-4f);
}

TEST_F (PeqPageTest, StereoMirrorsIntoChannelBWithoutSendingIt)
{
    page->ampModeChanged (1);
    EXPECT_EQ (page->getTabs().getTabNames(), juce::StringArray ({ "Channel A+B" }));
    EXPECT_TRUE (page->tab (0).isFollowingA());

    column (2).gainKnob.setValue (4.5, juce::sendNotificationSync);
    typeAndReturn (column (2).freqEditor, "3k3");
    ASSERT_EQ (sent.count(), 2u);
    EXPECT_EQ (sent.address (0), "/channel/1/peq/3");
    EXPECT_EQ (sent.address (1), "/channel/1/peq/3");
    EXPECT_EQ (band (1, 2).gain->getValue(), 4.5f);
    EXPECT_EQ (band (1, 2).freq->getValue(), band (0, 2).freq->getValue());

    page->ampModeChanged (4);
    EXPECT_EQ (page->getTabs().getTabNames(), juce::StringArray ({ "Channel A" }));

    page->ampModeChanged (0);
    EXPECT_EQ (page->getTabs().getTabNames(), juce::StringArray ({ "Channel A", "Channel B" }));
    EXPECT_FALSE (page->tab (0).isFollowingA());
    EXPECT_EQ (column (2, 1).gainKnob.getValue(), 4.5);
    EXPECT_EQ (column (2, 1).freqEditor.getText(), "3k30");
    EXPECT_EQ (sent.count(), 2u);

    column (2).gainKnob.setValue (-3.0, juce::sendNotificationSync);   // Dual Mono: B keeps its own
    EXPECT_EQ (band (1, 2).gain->getValue(), 4.5f);
}

TEST_F (PeqPageTest, TreeChangesRefreshControlsCurveAndHandleWithoutSending)
{
    auto& b = band (0, 4);
    b.type->setStep (1);
    b.freq->setValue (5000.0f);
    b.gain->setValue (6.0f);
    b.qual->setValue (1.41f);
    b.sendChangeMessage();
    testloop::run (30);

    EXPECT_EQ (sent.count(), 0u);
    EXPECT_TRUE (column (4).filterButton.getToggleState());
    EXPECT_EQ (column (4).freqEditor.getText(), "5k00");
    EXPECT_EQ (column (4).gainKnob.getValue(), 6.0);
    EXPECT_EQ (page->getGraph().handleFreq[4], b.freq->getValue());
    EXPECT_NEAR (peqResponse (0, b.freq->getValue()), 12.0f, 0.01f);
    EXPECT_TRUE (globals::blockActive.get (ChainBlock::peq, 0));

    // A band of the other channel moves nothing on the graph of this one.
    auto& other = band (1, 4);
    other.type->setStep (1);
    other.freq->setValue (50.0f);
    other.sendChangeMessage();
    testloop::run (30);
    EXPECT_EQ (page->getGraph().handleFreq[4], b.freq->getValue());
    EXPECT_EQ (column (4, 1).freqEditor.getText(), "50.0");

    // Choosing tab B shows its curve colour and handles.
    page->getTabs().setCurrentTabIndex (1);
    EXPECT_EQ (globals::peqVisibleChannel, 1);
    EXPECT_EQ (page->getGraph().strokeColour[0], juce::Colour (0xff2e79ff));
    EXPECT_EQ (page->getGraph().handleFreq[4], other.freq->getValue());
}

TEST_F (PeqPageTest, HandleDragEditsTheVisibleChannelsBand)
{
    auto& b = band (1, 6);
    b.type->setStep (1);
    b.freq->setStep (300);
    page->getTabs().setCurrentTabIndex (1);
    auto& handle = *page->getGraph().handles[6];

    handle.lastY = 6;
    handle.dragTo (10, 2);   // four right, four up
    EXPECT_EQ (b.freq->getStep(), 304);
    EXPECT_EQ (b.gain->getValue(), -14.0f);   // from -15, up by 1 dB
    ASSERT_EQ (sent.count(), 2u);
    EXPECT_EQ (sent.address (0), "/channel/2/peq/7");
    EXPECT_EQ (column (6, 1).freqEditor.getText(), textOf (*b.freq));
    EXPECT_EQ (column (6, 1).gainKnob.getValue(), -14.0);
    EXPECT_EQ (page->tab (1).selectionBounds(), juce::Rectangle<int> (555, 22, 85, 240));
    EXPECT_EQ (page->getGraph().handleFreq[6], b.freq->getValue());
}

TEST_F (PeqPageTest, AHandleDragPaintsTheGraphOncePerStepOnScreen)
{
    REQUIRE_DISPLAY();
    page->addToDesktop (0);
    page->setVisible (true);
    testloop::run (200);

    auto& b = band (0, 3);
    b.type->setStep (1);
    b.freq->setStep (300);
    auto& graph = page->getGraph();
    auto& handle = *graph.handles[3];
    handle.lastY = 6;
    const int before = graph.paintCount;
    constexpr int steps = 20;
    for (int i = 0; i < steps; ++i)
    {
        handle.dragTo (8, i % 2 == 0 ? 2 : 6);   // right and up, right and down
        testloop::run (25);
    }
    const int paints = graph.paintCount - before;
    EXPECT_GE (paints, 1) << "the graph follows the drag";
    EXPECT_LE (paints, steps + 2) << "no more than one paint per drag step";
    EXPECT_EQ (b.freq->getStep(), 300 + 2 * steps);
    EXPECT_EQ (handle.getX(), (int) (graph.xOfFrequency (b.freq->getValue()) - 6));
}
