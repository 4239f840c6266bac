// The Filter/Crossover page: families and slopes, frequencies, the bi-amp link with its
// default crossover, Stereo following, and what reaches the amplifier.

#include "CXoverPage.h"
#include "Croot.h"
#include "Cxoversection.h"
#include "FakeDialogs.h"
#include "Globals.h"
#include "MessageLoop.h"
#include "PacketRecorder.h"

#include <gtest/gtest.h>
#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>

namespace
{
    constexpr int dual = 0, stereo = 1, biamp1 = 2, biamp2 = 3, bridge = 4;

    struct Sent
    {
        std::string address, type;
        float freq;
    };

    class XoverPageTest : public ::testing::Test
    {
    protected:
        XoverPageTest()
        {
            assignAddresses (root);
            globals::blockActive = BlockActivity {};
            page = std::make_unique<CXoverPage> (root, dialogs, [this] { return online; });
        }

        template <typename Widget>
        Widget& widget (const juce::String& id)
        {
            auto* w = dynamic_cast<Widget*> (page->findChildWithID (id));
            if (w == nullptr)
                throw std::runtime_error (("no widget " + id).toStdString());
            return *w;
        }
        juce::ComboBox& family (int index) { return widget<juce::ComboBox> ("family" + juce::String (index + 1)); }
        juce::ComboBox& slope (int index) { return widget<juce::ComboBox> ("slope" + juce::String (index + 1)); }
        juce::Slider& knob (int index) { return widget<juce::Slider> ("freqKnob" + juce::String (index + 1)); }
        ValueEntry& entry (int index) { return widget<ValueEntry> ("freqEntry" + juce::String (index + 1)); }
        juce::TextButton& xoverButton() { return widget<juce::TextButton> ("xoverButton"); }
        juce::String title (int channel)
        {
            return widget<juce::GroupComponent> (channel == 0 ? "groupA" : "groupB").getText();
        }

        juce::StringArray slopeItems (int index)
        {
            juce::StringArray items;
            for (int i = 0; i < slope (index).getNumItems(); ++i)
                items.add (slope (index).getItemText (i));
            return items;
        }

        Cxover& filter (int index) { return *page->filterBlock (index); }
        juce::String typeOf (int index) { return filter (index).type->label(); }

        /** The filter messages sent, in order. */
        std::vector<Sent> sentFilters()
        {
            std::vector<Sent> out;
            for (std::size_t i = 0; i < sent.count(); ++i)
            {
                const auto m = sent.message (i);
                if (std::string (m.TypeTags()) != "sf")
                    continue;
                auto arg = m.ArgumentsBegin();
                const std::string type = arg->AsString();
                ++arg;
                out.push_back ({ m.AddressPattern(), type, arg->AsFloat() });
            }
            return out;
        }

        void turnOnCrossover (bool answer)
        {
            dialogs.answers = { answer };
            xoverButton().setToggleState (true, juce::sendNotification);
        }

        PacketRecorder sent;
        Croot root;
        FakeDialogs dialogs;
        bool online = false;
        std::unique_ptr<CXoverPage> page;
    };
}

TEST_F (XoverPageTest, FamiliesOfferTheirSlopesAndSendTheirDefaultType)
{
    family (0).setSelectedId (3, juce::sendNotificationSync);   // Bessel
    EXPECT_EQ (slopeItems (0), juce::StringArray ({ "12 dB", "24 dB" }));
    EXPECT_EQ (slope (0).getSelectedId(), 1);
    ASSERT_EQ (sentFilters().size(), 1u);
    EXPECT_EQ (sentFilters()[0].address, "/channel/1/xover/hp");
    EXPECT_EQ (sentFilters()[0].type, "BES12");

    // The second item under Bessel is 24 dB, not the list's second slope overall.
    slope (0).setSelectedId (2, juce::sendNotificationSync);
    EXPECT_EQ (sentFilters().back().type, "BES24");

    family (0).setSelectedId (4, juce::sendNotificationSync);   // Linkwitz-Riley
    EXPECT_EQ (slopeItems (0), juce::StringArray ({ "12 dB", "24 dB", "48 dB" }));
    EXPECT_EQ (sentFilters().back().type, "LR12");

    family (0).setSelectedId (2, juce::sendNotificationSync);   // Butterworth
    EXPECT_EQ (slopeItems (0).size(), 5);
    EXPECT_EQ (sentFilters().back().type, "BUT6");
    slope (0).setSelectedId (5, juce::sendNotificationSync);
    EXPECT_EQ (sentFilters().back().type, "BUT48");

    family (0).setSelectedId (1, juce::sendNotificationSync);   // OFF
    EXPECT_EQ (slope (0).getNumItems(), 0);
    EXPECT_EQ (sentFilters().back().type, "OFF");
    EXPECT_EQ (sentFilters().size(), 6u);
    EXPECT_EQ (globals::selectedHandle, 0);
}

TEST_F (XoverPageTest, ASlopeWithNoFamilyShownIsIgnored)
{
    // Before the first refresh the family list shows nothing.
    slope (1).setSelectedId (3, juce::sendNotificationSync);
    EXPECT_EQ (sent.count(), 0u);
    EXPECT_EQ (typeOf (1), "OFF");
}

TEST_F (XoverPageTest, AnAmplifierReplyShowsFamilyAndSlopeAndSendsNothing)
{
    page->gainBlock (0)->fromText (" 0.0");   // the tree starts at -12 dB
    ASSERT_EQ (filter (3).fromText (" LR48 2k00"), 0);
    testloop::run (20);
    EXPECT_EQ (family (3).getText(), "Linkwitz-Riley");
    EXPECT_EQ (slope (3).getText(), "48 dB");
    EXPECT_EQ (slope (3).getSelectedId(), 3);
    EXPECT_EQ (entry (3).getText(), "2k00");
    EXPECT_EQ (knob (3).getValue(), 400.0);
    EXPECT_FLOAT_EQ (page->getResponse().frequency (3), 2000.0f);
    EXPECT_TRUE (globals::blockActive.get (ChainBlock::crossover, 1));
    EXPECT_FALSE (globals::blockActive.get (ChainBlock::crossover, 0));
    EXPECT_EQ (sent.count(), 0u);
}

TEST_F (XoverPageTest, KnobStepsAreLogarithmicFrequencies)
{
    for (auto [step, hz] : { std::pair { 300, 632.46f }, { 0, 20.0f }, { 600, 20000.0f } })
    {
        knob (1).setValue (step, juce::sendNotificationSync);
        EXPECT_NEAR (filter (1).freq->getValue(), hz, 0.01f) << step;
        EXPECT_NEAR (sentFilters().back().freq, hz, 0.01f) << step;
        EXPECT_EQ (sentFilters().back().address, "/channel/1/xover/lp");
    }
    EXPECT_EQ (globals::selectedHandle, 1);
}

TEST_F (XoverPageTest, BadTextInAFrequencyEntryKeepsOrClampsAndSendsAValidFrequency)
{
    knob (2).setValue (300, juce::sendNotificationSync);
    const float before = filter (2).freq->getValue();
    const struct
    {
        const char* typed;
        float expected;
    } cases[] = { { "", before },       { "   ", before },           { "abc", before },   { "-", before },
                  { "1e99999", 20.0f }, { "99999999999", 20000.0f }, { "3,5k", 3500.0f }, { " 1k5 ", 1500.0f } };
    for (const auto& c : cases)
    {
        sent.clear();
        entry (2).setText (c.typed, true);
        entry (2).commit();
        EXPECT_NEAR (filter (2).freq->getValue(), c.expected, c.expected * 0.003f) << c.typed;
        EXPECT_EQ (knob (2).getValue(), (double) filter (2).freq->getStep()) << c.typed;
        const auto filters = sentFilters();
        ASSERT_EQ (filters.size(), 1u) << c.typed;
        EXPECT_GE (filters[0].freq, 20.0f);
        EXPECT_LE (filters[0].freq, 20000.0f);
        EXPECT_EQ (filters[0].type, "OFF");
    }

    // Leaving the entry drops what was typed and sends the filter as it is.
    const float kept = filter (2).freq->getValue();
    sent.clear();
    entry (2).setText ("123", true);
    entry (2).revert();
    EXPECT_EQ (filter (2).freq->getValue(), kept);
    ASSERT_EQ (sentFilters().size(), 1u);
    EXPECT_EQ (sentFilters()[0].freq, kept);
}

TEST_F (XoverPageTest, DefaultCrossoverInBiAmpFromAllOff)
{
    page->ampModeChanged (biamp1);
    EXPECT_TRUE (xoverButton().isVisible());
    turnOnCrossover (true);

    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0],
               "Link Crossover frequencies...|Do you want to set a default Crossover?|Yes|Cancel|question");
    EXPECT_TRUE (page->crossoverLinked());

    EXPECT_EQ (typeOf (1), "BUT12");
    EXPECT_EQ (typeOf (2), "BUT12");
    EXPECT_NEAR (filter (1).freq->getValue(), 632.46f, 0.01f);
    EXPECT_EQ (filter (2).freq->getValue(), filter (1).freq->getValue());
    EXPECT_EQ (typeOf (0), "OFF");
    EXPECT_EQ (filter (0).freq->getValue(), 20.0f);
    EXPECT_EQ (typeOf (3), "OFF");
    EXPECT_NEAR (filter (3).freq->getValue(), 17825.0f, 1.0f);
    EXPECT_EQ (knob (1).getValue(), 300.0);
    EXPECT_EQ (knob (2).getValue(), 300.0);   // offline: the partner's widgets follow at once
    EXPECT_EQ (family (2).getText(), "Butterworth");
    EXPECT_EQ (slope (2).getText(), "12 dB");
    EXPECT_EQ (knob (3).getValue(), 590.0);
    EXPECT_EQ (title (0), "Channel A - LOW");
    EXPECT_EQ (title (1), "Channel B - HIGH");

    // Everything that changed went out; the last message of each filter holds its state.
    const auto filters = sentFilters();
    ASSERT_FALSE (filters.empty());
    std::map<std::string, Sent> last;
    for (const auto& s : filters)
        last[s.address] = s;
    EXPECT_EQ (last.count ("/channel/1/xover/hp"), 0u);
    EXPECT_EQ (last["/channel/1/xover/lp"].type, "BUT12");
    EXPECT_EQ (last["/channel/2/xover/hp"].type, "BUT12");
    EXPECT_NEAR (last["/channel/2/xover/hp"].freq, 632.46f, 0.01f);
    EXPECT_EQ (last["/channel/2/xover/lp"].type, "OFF");
    EXPECT_NEAR (last["/channel/2/xover/lp"].freq, 17825.0f, 1.0f);
}

TEST_F (XoverPageTest, DefaultCrossoverMovesOnlyTheFiltersInItsWay)
{
    filter (0).fromText (" BUT24 1k00");
    filter (3).fromText (" LR24 10k00");
    filter (1).fromText (" LR48 300");
    testloop::run (20);
    page->ampModeChanged (biamp2);
    turnOnCrossover (true);

    EXPECT_EQ (typeOf (1), "LR48");   // already a type: kept
    EXPECT_EQ (typeOf (2), "LR48");
    EXPECT_NEAR (filter (0).freq->getValue(), 22.44f, 0.01f);   // was above the corner
    EXPECT_EQ (typeOf (0), "BUT24");
    EXPECT_NEAR (filter (3).freq->getValue(), 10000.0f, 1.0f);   // above the corner: kept
}

TEST_F (XoverPageTest, CancelLinksWithoutChangingChannelA)
{
    filter (1).fromText (" BES24 1k20");
    testloop::run (20);
    page->ampModeChanged (biamp1);
    sent.clear();
    turnOnCrossover (false);

    EXPECT_TRUE (page->crossoverLinked());
    EXPECT_EQ (typeOf (2), "BES24");
    EXPECT_EQ (filter (2).freq->getValue(), filter (1).freq->getValue());
    EXPECT_EQ (slope (2).getText(), "24 dB");
    ASSERT_EQ (sentFilters().size(), 1u);
    EXPECT_EQ (sentFilters()[0].address, "/channel/2/xover/hp");
    EXPECT_EQ (title (1), "Channel B - HIGH");
}

TEST_F (XoverPageTest, LinkedFiltersMoveTogetherAndTheOthersNever)
{
    page->ampModeChanged (biamp1);
    turnOnCrossover (true);

    knob (2).setValue (350, juce::sendNotificationSync);   // B high-pass drives A low-pass
    EXPECT_EQ (filter (1).freq->getStep(), 350);
    EXPECT_EQ (knob (1).getValue(), 350.0);
    family (1).setSelectedId (4, juce::sendNotificationSync);   // and back
    EXPECT_EQ (typeOf (2), "LR12");
    entry (1).setText ("2k", true);
    entry (1).commit();
    EXPECT_NEAR (filter (2).freq->getValue(), 2000.0f, 3.0f);

    const auto a0 = filter (0).freq->getStep(), b3 = filter (3).freq->getStep();
    const auto t0 = typeOf (0), t3 = typeOf (3);
    const auto t2 = typeOf (2);
    const int f2 = filter (2).freq->getStep();
    knob (0).setValue (123, juce::sendNotificationSync);
    family (0).setSelectedId (3, juce::sendNotificationSync);
    knob (3).setValue (500, juce::sendNotificationSync);
    slope (3).setSelectedId (2, juce::sendNotificationSync);
    EXPECT_EQ (typeOf (2), t2);
    EXPECT_EQ (filter (2).freq->getStep(), f2);
    EXPECT_NE (filter (0).freq->getStep(), a0);
    EXPECT_NE (filter (3).freq->getStep(), b3);
    EXPECT_NE (typeOf (0), t0);
    EXPECT_EQ (typeOf (3), t3);   // OFF has no slopes to choose
    EXPECT_EQ (typeOf (1), "LR12");
}

TEST_F (XoverPageTest, WhileOnlineThePartnersWidgetsWaitForTheAmplifiersAnswer)
{
    page->ampModeChanged (biamp1);
    turnOnCrossover (false);
    online = true;
    sent.clear();
    knob (1).setValue (420, juce::sendNotificationSync);
    EXPECT_EQ (filter (2).freq->getStep(), 420);
    EXPECT_NE (knob (2).getValue(), 420.0);
    ASSERT_EQ (sentFilters().size(), 2u);
    EXPECT_EQ (sentFilters()[0].address, "/channel/2/xover/hp");
    EXPECT_EQ (sentFilters()[1].address, "/channel/1/xover/lp");
}

TEST_F (XoverPageTest, LeavingBiAmpUnlinksAndComingBackRelinksWithoutAQuestion)
{
    page->ampModeChanged (biamp1);
    turnOnCrossover (false);
    ASSERT_EQ (dialogs.shown.size(), 1u);

    page->ampModeChanged (dual);
    EXPECT_FALSE (xoverButton().isVisible());
    EXPECT_FALSE (page->crossoverLinked());
    EXPECT_EQ (title (0), "Channel A");
    const auto before = filter (1).freq->getStep();
    knob (2).setValue (100, juce::sendNotificationSync);
    EXPECT_EQ (filter (1).freq->getStep(), before);

    sent.clear();
    page->ampModeChanged (biamp2);
    EXPECT_TRUE (page->crossoverLinked());
    EXPECT_EQ (title (0), "Channel A - LOW");
    EXPECT_EQ (title (1), "Channel B - HIGH");
    EXPECT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (sent.count(), 0u);

    // Switched off: plain titles, nothing sent.
    xoverButton().setToggleState (false, juce::sendNotification);
    EXPECT_FALSE (page->crossoverLinked());
    EXPECT_EQ (title (1), "Channel B");
    EXPECT_EQ (sent.count(), 0u);
}

TEST_F (XoverPageTest, AnAnswerThatComesAfterTheModeLeftBiAmpChangesNothing)
{
    dialogs.holdBoxes = true;
    page->ampModeChanged (biamp1);
    turnOnCrossover (true);
    page->ampModeChanged (dual);
    sent.clear();
    ASSERT_TRUE (dialogs.answerOpenBoxWith (true));
    EXPECT_EQ (sent.count(), 0u);
    EXPECT_EQ (typeOf (1), "OFF");
    EXPECT_EQ (title (0), "Channel A");

    // Nor after the page is gone.
    page->ampModeChanged (biamp1);
    xoverButton().setToggleState (false, juce::sendNotification);
    turnOnCrossover (true);
    page.reset();
    EXPECT_TRUE (dialogs.answerOpenBoxWith (true));
    EXPECT_EQ (sent.count(), 0u);
}

TEST_F (XoverPageTest, StereoMirrorsEveryEditIntoChannelBUnsent)
{
    page->ampModeChanged (stereo);
    EXPECT_EQ (title (0), "Channel A+B");
    EXPECT_FALSE (knob (2).isVisible());
    EXPECT_FALSE (widget<juce::GroupComponent> ("groupB").isVisible());
    EXPECT_FALSE (xoverButton().isVisible());

    family (0).setSelectedId (4, juce::sendNotificationSync);
    slope (0).setSelectedId (2, juce::sendNotificationSync);
    knob (1).setValue (250, juce::sendNotificationSync);
    widget<juce::Slider> ("gainA").setValue (-4.5, juce::sendNotificationSync);
    EXPECT_EQ (typeOf (2), "LR24");
    EXPECT_EQ (filter (3).freq->getStep(), 250);
    EXPECT_EQ (page->gainBlock (1)->gain->getValue(), -4.5f);

    // So are typed frequencies, and the handles' drags and wheel steps (online, where no
    // refresh of the page follows them).
    entry (0).setText ("5k", true);
    entry (0).commit();
    EXPECT_EQ (filter (2).freq->getValue(), filter (0).freq->getValue());
    online = true;
    auto& handle = *page->getGraph().handles[1];
    handle.lastX = handle.lastY = 6;
    handle.dragTo (6 + 10, 6);
    EXPECT_EQ (filter (3).freq->getStep(), 260);
    page->getGraph().handles[0]->wheelBy (-1.0f);   // LR24 down to BES24
    EXPECT_EQ (typeOf (2), "BES24");
    for (std::size_t i = 0; i < sent.count(); ++i)
        EXPECT_EQ (sent.address (i).rfind ("/channel/1/", 0), 0u) << sent.address (i);

    // Back in Dual Mono channel B shows what it holds.
    page->ampModeChanged (dual);
    EXPECT_TRUE (knob (2).isVisible());
    EXPECT_EQ (family (2).getText(), "Bessel");
    EXPECT_EQ (knob (3).getValue(), 260.0);
    EXPECT_EQ (widget<juce::Slider> ("gainB").getValue(), -4.5);
    EXPECT_EQ (title (0), "Channel A");
}

TEST_F (XoverPageTest, BridgeCopiesChannelAsFiltersWhenApplied)
{
    filter (0).fromText (" BUT18 80.0");
    filter (1).fromText (" BES12 5k00");
    testloop::run (20);
    sent.clear();
    page->ampModeChanged (bridge);
    EXPECT_EQ (typeOf (2), "BUT18");
    EXPECT_EQ (typeOf (3), "BES12");
    EXPECT_EQ (filter (3).freq->getValue(), filter (1).freq->getValue());
    EXPECT_EQ (title (0), "Channel A");
    EXPECT_EQ (sent.count(), 0u);
}

TEST_F (XoverPageTest, GainKnobSendsAndSetsTheBlockFlag)
{
    auto& gainA = widget<juce::Slider> ("gainA");
    gainA.setValue (3.0, juce::sendNotificationSync);
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (sent.address (0), "/channel/1/xover/gain");
    EXPECT_FLOAT_EQ (page->getResponse().getGain (0), 3.0f);
    EXPECT_TRUE (globals::blockActive.get (ChainBlock::crossover, 0));
    gainA.setValue (0.0, juce::sendNotificationSync);
    EXPECT_FALSE (globals::blockActive.get (ChainBlock::crossover, 0));

    // Text in the gain box that holds no number leaves the gain, and sends nothing.
    gainA.setValue (2.5, juce::sendNotificationSync);
    sent.clear();
    for (auto typed : { "abc", "", " ", "," })
        EXPECT_EQ (gainA.getValueFromText (typed), 2.5) << typed;
    EXPECT_EQ (gainA.getValueFromText ("99"), 12.0);
    EXPECT_EQ (gainA.getValueFromText (" -7.5 "), -7.5);

    // A change message of the gain block moves the knob without sending.
    page->gainBlock (1)->fromText (" -6.0");
    testloop::run (20);
    EXPECT_EQ (widget<juce::Slider> ("gainB").getValue(), -6.0);
    EXPECT_TRUE (globals::blockActive.get (ChainBlock::crossover, 1));
    EXPECT_EQ (sent.count(), 0u);
}

TEST_F (XoverPageTest, ChannelGainLiftsAFlatCurveByTwiceItsDecibels)
{
    auto& graph = page->getGraph();
    EXPECT_EQ (graph.responseFunction (0, 1000.0f), CrossoverResponse::floorValue);   // nothing computed yet

    filter (0).fromText (" OFF 20.0");
    filter (1).fromText (" OFF 20k00");
    page->gainBlock (0)->fromText (" +3.0");
    testloop::run (20);
    for (float f : { 20.0f, 100.0f, 632.46f, 5000.0f, 20000.0f })
        EXPECT_FLOAT_EQ (graph.responseFunction (0, f), 6.0f) << f;
    EXPECT_EQ (graph.responseFunction (1, 1000.0f), CrossoverResponse::floorValue);   // B still uncomputed
}

TEST_F (XoverPageTest, GraphFollowsTheModeAndHandlesFollowTheFilters)
{
    auto& graph = page->getGraph();
    EXPECT_EQ (graph.curveCount, 2u);
    EXPECT_EQ (graph.handleCount, 4u);
    EXPECT_EQ (graph.graphKind, 1);

    knob (3).setValue (500, juce::sendNotificationSync);
    EXPECT_NEAR (graph.handleFreq[3], 20.0f * std::pow (1000.0f, 500.0f / 600.0f), 0.5f);
    EXPECT_EQ (globals::selectedHandle, 3);

    page->ampModeChanged (stereo);
    EXPECT_EQ (graph.curveCount, 1u);
    EXPECT_EQ (graph.handleCount, 2u);
    EXPECT_FALSE (graph.handles[2]->isVisible());
    page->ampModeChanged (dual);
    EXPECT_EQ (graph.curveCount, 2u);
    EXPECT_TRUE (graph.handles[3]->isVisible());
}

TEST_F (XoverPageTest, DraggingALinkedHandleMovesBothFiltersAndTheWheelNeverReachesOff)
{
    page->ampModeChanged (biamp1);
    turnOnCrossover (true);   // BUT12 at step 300 on filters 1 and 2
    auto& graph = page->getGraph();
    sent.clear();

    // Ten pixels right of the centre of channel B's high-pass handle: ten steps up.
    auto& handle = *graph.handles[2];
    handle.lastX = handle.lastY = 6;
    handle.dragTo (6 + 10, 6);
    EXPECT_EQ (filter (2).freq->getStep(), 310);
    EXPECT_EQ (filter (1).freq->getStep(), 310);
    EXPECT_EQ (knob (1).getValue(), 310.0);   // offline: refreshed at once
    EXPECT_EQ (globals::selectedHandle, 2);
    EXPECT_NEAR (graph.handleFreq[1], filter (1).freq->getValue(), 0.01f);
    ASSERT_EQ (sentFilters().size(), 2u);

    // The wheel steps the type: down from BUT6 stays BUT6, and the filter is still sent.
    family (0).setSelectedId (2, juce::sendNotificationSync);
    sent.clear();
    graph.handles[0]->wheelBy (-1.0f);
    EXPECT_EQ (typeOf (0), "BUT6");
    ASSERT_EQ (sentFilters().size(), 1u);
    graph.handles[0]->wheelBy (1.0f);
    EXPECT_EQ (typeOf (0), "BUT12");
    EXPECT_EQ (family (0).getText(), "Butterworth");
    EXPECT_EQ (slope (0).getText(), "12 dB");
}
