// The Utility page on its own (no hub): the activation question, the sources, the knobs and
// entries, refreshing from amplifier answers, and the sweep as the page drives it.  Sends are
// caught by a packet recorder; the sweep thread is paced tick by tick by the test.

#include "CUtilityPage.h"
#include "PageFixture.h"
#include "SweepTickGate.h"

#include <gtest/gtest.h>
#include <oscpack/osc/OscOutboundPacketStream.h>
#include <memory>
#include <string>
#include <vector>

namespace
{
    /** The three values of a "/siggen" message. */
    struct Siggen
    {
        int input;
        float gain;
        float freq;
    };

    juce::String textOf (Cparam& param)
    {
        char text[nodeTextCapacity] {};
        param.toText (text, (int) sizeof text);
        return text;
    }

    class UtilityPageTest : public PageFixture<CUtilityPage>
    {
    protected:
        UtilityPageTest() { page = std::make_unique<CUtilityPage> (dialogs, &gate); }

        bool lit (const char* id) { return widget<juce::Button> (id).getToggleState(); }

        Siggen sentAt (std::size_t i)
        {
            EXPECT_EQ (sent.address (i), "/siggen");
            const auto m = sent.message (i);
            auto args = m.ArgumentStream();
            Siggen s {};
            args >> s.input >> s.gain >> s.freq >> osc::EndMessage;
            return s;
        }

        Siggen lastSent() { return sentAt (sent.count() - 1); }

        /** The amplifier's "/siggen" answer, as the hub decodes it into the block. */
        void amplifierReports (int input, float gain, float freq)
        {
            char buffer[64];
            osc::OutboundPacketStream s (buffer, sizeof buffer);
            s << osc::BeginMessage ("/siggen") << (osc::int32) input << gain << freq << osc::EndMessage;
            osc::ReceivedMessage m (osc::ReceivedPacket (s.Data(), (osc::osc_bundle_element_size_t) s.Size()));
            auto args = m.ArgumentStream();
            generator().decode (args);
            drainMessages();
        }

        Ciosiggen& generator() { return page->getGenerator(); }

        /** Switches the generator on with the chosen source, as the user does, and forgets the send. */
        void activate()
        {
            dialogs.answers = { true };
            click ("testTone");
            sent.clear();
        }

        SweepTickGate gate;
    };
}

TEST_F (UtilityPageTest, WidgetsSitAtTheirPlacesAndTheStartShowsTheBlockWithoutSending)
{
    EXPECT_EQ (page->getBounds(), juce::Rectangle<int> (0, 0, 720, 470));
    EXPECT_EQ (page->getName(), "UtilityPage");
    const std::pair<const char*, juce::Rectangle<int>> places[] = {
        { "generatorGroup", { 452, 8, 256, 447 } }, { "testTone", { 520, 56, 92, 24 } },
        { "pinkNoise", { 520, 168, 92, 24 } },      { "whiteNoise", { 520, 208, 92, 24 } },
        { "sine", { 520, 248, 92, 24 } },           { "levelEntry", { 540, 116, 50, 20 } },
        { "levelKnob", { 628, 108, 40, 40 } },      { "freqEntry", { 540, 304, 50, 20 } },
        { "freqKnob", { 628, 296, 40, 40 } },       { "rateEntry", { 540, 381, 50, 20 } },
        { "rateKnob", { 628, 372, 40, 40 } },       { "sweep", { 532, 408, 66, 24 } },
    };
    for (const auto& [id, bounds] : places)
        EXPECT_EQ (widget<juce::Component> (id).getBounds(), bounds) << id;
    EXPECT_EQ (widget<juce::GroupComponent> ("generatorGroup").getText(), "Generator (ZR Series)");
    for (auto id : { "levelLabel", "levelUnitLabel", "freqLabel", "freqUnitLabel", "rateLabel", "rateUnitLabel" })
        EXPECT_TRUE (page->getLocalBounds().contains (widget<juce::Component> (id).getBounds())) << id;

    // Off, -40 dB, 1000 Hz, rate 5; the lit source is the one "Test Tone" plays.
    EXPECT_EQ (generator().input->getStep(), 0);
    EXPECT_EQ (generator().gain->getStep(), 0);
    EXPECT_EQ (generator().freq->getStep(), 339);
    EXPECT_EQ (widget<ValueEntry> ("freqEntry").getText(), textOf (*generator().freq));
    EXPECT_EQ (widget<ValueEntry> ("levelEntry").getText(), "-40.0");
    EXPECT_EQ (widget<ValueEntry> ("rateEntry").getText(), "5");
    EXPECT_EQ (widget<juce::Slider> ("freqKnob").getValue(), 339.0);
    EXPECT_FALSE (lit ("testTone"));
    EXPECT_TRUE (lit ("sine"));
    EXPECT_FALSE (lit ("pinkNoise"));
    EXPECT_EQ (page->getChosenSource(), CUtilityPage::sine);
    EXPECT_EQ (sent.count(), 0u);

    // The hub finds the block through the global while the page lives.
    EXPECT_EQ (globals::siggen, &generator());
    page.reset();
    EXPECT_EQ (globals::siggen, nullptr);
}

TEST_F (UtilityPageTest, TestToneAsksFirstCancelSendsNothingYesPlaysTheChosenSource)
{
    dialogs.answers = { false };
    click ("testTone");
    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0], "Signal Generator...|Do you want to activate the Signal Generator? '(Check "
                                 "Level!)|Yes|Cancel|question");
    EXPECT_FALSE (lit ("testTone"));
    EXPECT_EQ (sent.count(), 0u);
    EXPECT_EQ (generator().input->getStep(), 0);

    // While the question is open, a source click only chooses: the answer is still to come.
    dialogs.holdBoxes = true;
    click ("testTone");
    EXPECT_TRUE (lit ("testTone"));
    click ("whiteNoise");
    EXPECT_EQ (sent.count(), 0u);
    dialogs.answers = { true };
    ASSERT_TRUE (dialogs.answerOpenBox());
    ASSERT_EQ (sent.count(), 1u);
    const auto on = lastSent();
    EXPECT_EQ (on.input, 3);
    EXPECT_EQ (on.gain, -40.0f);
    EXPECT_NEAR (on.freq, 1000.0f, 12.0f);
    EXPECT_TRUE (lit ("testTone"));

    // Turning it off asks nothing.
    click ("testTone");
    ASSERT_EQ (sent.count(), 2u);
    EXPECT_EQ (lastSent().input, 0);
    EXPECT_EQ (dialogs.shown.size(), 2u);
}

TEST_F (UtilityPageTest, SourceClickPlaysAtOnceOnlyWhileTheToneIsOn)
{
    click ("whiteNoise");
    EXPECT_EQ (sent.count(), 0u);
    EXPECT_EQ (page->getChosenSource(), CUtilityPage::whiteNoise);
    EXPECT_TRUE (lit ("whiteNoise"));
    EXPECT_FALSE (lit ("sine"));

    dialogs.answers = { true };
    click ("testTone");
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (lastSent().input, 3);

    click ("pinkNoise");
    ASSERT_EQ (sent.count(), 2u);
    EXPECT_EQ (lastSent().input, 2);
    EXPECT_EQ (dialogs.shown.size(), 1u);   // no question for a change of source

    click ("pinkNoise");   // already on: it plays the same source again
    EXPECT_TRUE (lit ("pinkNoise"));
    EXPECT_EQ (lastSent().input, 2);
}

TEST_F (UtilityPageTest, AmplifierAnswerLightsWhatItPlaysWithoutSending)
{
    amplifierReports (2, -6.5f, 440.0f);
    EXPECT_EQ (sent.count(), 0u);
    EXPECT_TRUE (lit ("testTone"));
    EXPECT_TRUE (lit ("pinkNoise"));
    EXPECT_FALSE (lit ("sine"));
    EXPECT_EQ (widget<ValueEntry> ("levelEntry").getText(), " -6.5");
    EXPECT_EQ (widget<juce::Slider> ("levelKnob").getValue(), 67.0);
    EXPECT_EQ (widget<juce::Slider> ("freqKnob").getValue(), 268.0);
    EXPECT_EQ (widget<ValueEntry> ("freqEntry").getText(), textOf (*generator().freq));

    // Switched off elsewhere: the tone goes dark, the source stays chosen for next time.
    amplifierReports (0, -6.5f, 440.0f);
    EXPECT_FALSE (lit ("testTone"));
    EXPECT_TRUE (lit ("pinkNoise"));
    dialogs.answers = { true };
    click ("testTone");
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (lastSent().input, 2);
}

TEST_F (UtilityPageTest, EntriesCommitOnReturnMoveTheirKnobAndSend)
{
    typeAndReturn ("freqEntry", "1k");
    EXPECT_EQ (generator().freq->getStep(), 339);
    EXPECT_EQ (widget<juce::Slider> ("freqKnob").getValue(), 339.0);
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_NEAR (lastSent().freq, 1000.0f, 12.0f);
    EXPECT_EQ (widget<ValueEntry> ("freqEntry").getHighlightedRegion().getLength(),
               widget<ValueEntry> ("freqEntry").getText().length());

    typeAndReturn ("levelEntry", "-12");
    EXPECT_EQ (generator().gain->getStep(), 56);
    EXPECT_EQ (widget<juce::Slider> ("levelKnob").getValue(), 56.0);
    EXPECT_EQ (lastSent().gain, -12.0f);

    typeAndReturn ("rateEntry", "12");
    EXPECT_EQ (generator().scan->getStep(), 12);
    EXPECT_EQ (widget<juce::Slider> ("rateKnob").getValue(), 12.0);
    EXPECT_EQ (sent.count(), 3u);

    // Leaving an entry drops what was typed and sends the block as it is.
    auto& freq = widget<ValueEntry> ("freqEntry");
    pagetest::typeAndLeave (freq, "5k");
    EXPECT_EQ (generator().freq->getStep(), 339);
    EXPECT_EQ (freq.getText(), textOf (*generator().freq));
    EXPECT_EQ (sent.count(), 4u);
}

TEST_F (UtilityPageTest, BadTextInEveryEntryKeepsOrClampsTheValueAndSendsOnlyValidValues)
{
    constexpr int kept = -1;   // the value before
    const struct
    {
        const char* entry;
        Cparam* param;
        std::vector<std::pair<const char*, int>> typedAndStep;
    } entries[] = {
        { "levelEntry",
          generator().gain,
          { { "", kept },
            { "   ", kept },
            { "abc", kept },
            { "-", kept },   // a sign alone would read as 0 dB, the loudest level
            { ".", kept },
            { "1e999999999", 80 },
            { "99999999999999999999", 80 },
            { "-99999999999999999999", 0 },
            { "-1,5", 77 } } },   // a decimal comma is a point, as in every entry
        { "freqEntry",
          generator().freq,
          { { "", kept },
            { "Hz", kept },
            { "-k", kept },
            { "99999999999999999999999", 600 },
            { "-5", 0 },
            { "1,5k", 375 } } },
        { "rateEntry",
          generator().scan,
          { { "", kept },
            { "fast", kept },
            { "-", kept },
            { "0", 5 },
            { "-7", 5 },
            { "99999999999999", 30 },
            { " 7,5 ", 7 } } },
    };

    for (const auto& e : entries)
    {
        for (const auto& [typed, expectedStep] : e.typedAndStep)
        {
            e.param->setStep (e.param == generator().scan ? 20 : 40);   // not an end of the range
            const int before = e.param->getStep();
            sent.clear();

            typeAndReturn (e.entry, typed);

            const std::string what = std::string (e.entry) + " '" + typed + "'";
            EXPECT_EQ (e.param->getStep(), expectedStep == kept ? before : expectedStep) << what;
            EXPECT_EQ (widget<ValueEntry> (e.entry).getText(), textOf (*e.param)) << what;
            ASSERT_EQ (sent.count(), 1u) << what;
            const auto s = lastSent();
            EXPECT_TRUE (s.gain >= -40.0f && s.gain <= 0.0f) << what;
            EXPECT_TRUE (s.freq >= 20.0f && s.freq <= 20000.0f) << what;
        }
    }
}

TEST_F (UtilityPageTest, KnobsSendTheRateKnobTooButAnswersNeverRefreshTheRate)
{
    widget<juce::Slider> ("levelKnob").setValue (70.0, juce::sendNotificationSync);
    EXPECT_EQ (generator().gain->getStep(), 70);
    EXPECT_EQ (widget<ValueEntry> ("levelEntry").getText(), " -5.0");
    ASSERT_EQ (sent.count(), 1u);
    EXPECT_EQ (lastSent().gain, -5.0f);

    // The rate is not in the message, yet moving its knob sends as every edit does.
    widget<juce::Slider> ("rateKnob").setValue (17.0, juce::sendNotificationSync);
    EXPECT_EQ (generator().scan->getStep(), 17);
    EXPECT_EQ (widget<ValueEntry> ("rateEntry").getText(), "17");
    EXPECT_EQ (sent.count(), 2u);

    amplifierReports (0, -40.0f, 20.0f);
    EXPECT_EQ (widget<ValueEntry> ("rateEntry").getText(), "17");
    EXPECT_EQ (widget<juce::Slider> ("freqKnob").getValue(), 0.0);
}

TEST_F (UtilityPageTest, SweepRunsWithTheSineOnlyAndEndsWithinATickOfEveryStoppingClick)
{
    // Generator off: the button lights, nothing runs, nothing is sent.
    click ("sweep");
    EXPECT_TRUE (lit ("sweep"));
    EXPECT_FALSE (page->getSweep().isRunning());
    EXPECT_EQ (sent.count(), 0u);
    click ("sweep");

    activate();
    click ("sweep");
    ASSERT_TRUE (page->getSweep().isRunning());
    ASSERT_TRUE (gate.waitForArrivals (1));
    ASSERT_TRUE (gate.step (2));
    ASSERT_EQ (sent.count(), 3u);
    EXPECT_EQ (generator().freq->getStep(), 339 + 3 * 6);
    EXPECT_EQ (sentAt (0).input, 1);
    EXPECT_LT (sentAt (0).freq, sentAt (2).freq);
    // The widgets show the frequency only once the amplifier answers.
    EXPECT_EQ (widget<juce::Slider> ("freqKnob").getValue(), 339.0);

    for (auto stopper : { "sweep", "testTone", "sine", "pinkNoise", "whiteNoise" })
    {
        page = nullptr;
        page = std::make_unique<CUtilityPage> (dialogs, &gate);
        activate();

        const int ticks = gate.arrivalCount();
        click ("sweep");
        ASSERT_TRUE (page->getSweep().isRunning()) << stopper;
        ASSERT_TRUE (gate.waitForArrivals (ticks + 1)) << stopper;
        const auto sweptTo = generator().freq->getStep();

        sent.clear();
        click (stopper);
        EXPECT_FALSE (page->getSweep().isRunning()) << stopper;
        EXPECT_FALSE (lit ("sweep")) << stopper;
        EXPECT_EQ (generator().freq->getStep(), sweptTo) << stopper;
        // Only the click's own message, if it has one: the sweep sent nothing more.
        EXPECT_LE (sent.count(), 1u) << stopper;
        for (std::size_t i = 0; i < sent.count(); ++i)
            EXPECT_NEAR (sentAt (i).freq, generator().freq->getValue(), 0.01f) << stopper;
    }
}
