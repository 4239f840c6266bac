// The widgets and the look every page shares: the entry bound to a value, the knob over a
// parameter's steps, and the page look's colours and knob drawing.

#include "Cpeq.h"
#include "EntryNumber.h"
#include "FocusCaret.h"
#include "MessageLoop.h"
#include "PageFixture.h"
#include "PageLookAndFeel.h"
#include "Palette.h"
#include "ParamKnob.h"
#include "TestDisplay.h"
#include "ValueEntry.h"

#include <gtest/gtest.h>
#include <memory>

namespace
{
    juce::String textOf (Cparam& param)
    {
        char text[nodeTextCapacity] {};
        param.toText (text, (int) sizeof text);
        return text;
    }

    FocusCaret* caretOf (juce::Component& editor)
    {
        for (auto* child : editor.getChildren())
        {
            if (auto* caret = dynamic_cast<FocusCaret*> (child))
                return caret;
            if (auto* inner = caretOf (*child))
                return inner;
        }
        return nullptr;
    }

    struct SliderCalls : public juce::Slider::Listener
    {
        void sliderValueChanged (juce::Slider*) override { ++count; }
        int count = 0;
    };
}

TEST (PageWidgets, EntryCommitsTrimmedTextOnReturnAndDropsTypedTextWhenLeft)
{
    Cpeq band (1, 3);
    ValueEntry entry ("freq text editor");
    entry.bind (*band.freq);
    EXPECT_EQ (entry.getText(), "");   // shown only when asked
    entry.showValue();
    EXPECT_EQ (entry.getText(), "20.0");

    int commits = 0, reverts = 0;
    entry.onCommit = [&] { ++commits; };
    entry.onRevert = [&] { ++reverts; };
    const auto typeAndReturn = [&entry] (const juce::String& typed) { pagetest::typeAndReturn (entry, typed); };

    // Blanks around the number are no reason to read nothing; the text is rewritten.
    typeAndReturn ("  2k5 ");
    EXPECT_NEAR (band.freq->getValue(), 2500.0f, 3.0f);
    EXPECT_EQ (entry.getText(), "2k50");
    EXPECT_EQ (entry.getHighlightedRegion(), juce::Range<int> (0, 4));
    EXPECT_EQ (commits, 1);

    typeAndReturn ("99999");   // clamped by the parameter
    EXPECT_EQ (band.freq->getStep(), 600);
    EXPECT_EQ (entry.getText(), textOf (*band.freq));

    // No number, or nothing: the value stays and shows again; the owner still hears of it.
    band.freq->setStep (401);
    for (auto typed : { "abc", "", "   " })
    {
        typeAndReturn (typed);
        EXPECT_EQ (band.freq->getStep(), 401) << typed;
        EXPECT_EQ (entry.getText(), "2k02") << typed;
    }
    EXPECT_EQ (commits, 5);
    EXPECT_EQ (reverts, 0);

    // Leaving drops what was typed.
    pagetest::typeAndLeave (entry, "123");
    EXPECT_FALSE (entry.isBeingEdited());
    EXPECT_EQ (entry.getText(), "2k02");
    EXPECT_EQ (entry.getCaretPosition(), 0);
    EXPECT_EQ (band.freq->getStep(), 401);
    EXPECT_EQ (reverts, 1);
    EXPECT_EQ (commits, 5);
}

TEST (PageWidgets, EveryEntryReadsADecimalCommaAndThousandsWithDecimals)
{
    const std::pair<const char*, float> numbers[] = { { "-12,5", -12.5f },        { "1,5k", 1500.0f },
                                                      { " 12.25k Hz", 12250.0f }, { ",5k", 500.0f },
                                                      { "2k5", 2500.0f },         { "1.5 k", 1.5f },
                                                      { "1.5.k", 1.5f } };
    for (const auto& [typed, expected] : numbers)
    {
        float value = 0.0f;
        EXPECT_TRUE (readEntryNumber (typed, value) && value == expected) << typed << " read as " << value;
    }
    float kept = 7.0f;
    EXPECT_FALSE (readEntryNumber ("-,k", kept) || readEntryNumber ("abc,5k", kept));

    // An entry bound to a parameter reads the same text the same way.
    Cpeq band (1, 3);
    ValueEntry entry;
    entry.bind (*band.freq);
    entry.setText ("1,5k", true);
    entry.commit();
    EXPECT_NEAR (band.freq->getValue(), 1500.0f, 10.0f);
}

TEST (PageWidgets, KnobSpansTheParameterStepsAndMirrorsItWithoutNotifying)
{
    Cpeq band (1, 3);
    const std::unique_ptr<Cparam> slope (Cparam::makeInt ("slope", NodeKind::xover, 1, 8, "%d"));
    ParamKnob freq, gain, type, slopeKnob;
    freq.bind (*band.freq);
    gain.bind (*band.gain);
    type.bind (*band.type);
    slopeKnob.bind (*slope);

    EXPECT_EQ (freq.getRange(), juce::Range<double> (0.0, 600.0));   // whole logarithmic steps
    EXPECT_EQ (gain.getRange(), juce::Range<double> (0.0, 60.0));
    EXPECT_EQ (type.getRange(), juce::Range<double> (0.0, 5.0));
    EXPECT_EQ (slopeKnob.getRange(), juce::Range<double> (1.0, 8.0));
    EXPECT_EQ (freq.getInterval(), 1.0);
    EXPECT_EQ (freq.getSliderStyle(), juce::Slider::RotaryHorizontalVerticalDrag);
    EXPECT_EQ (gain.getValue(), 0.0);   // -15 dB, the parameter's first step
    EXPECT_EQ (slopeKnob.getValue(), 1.0);
    EXPECT_EQ (freq.getParam(), band.freq);

    SliderCalls calls;
    freq.addListener (&calls);
    band.freq->setStep (401);
    freq.showParam();
    testloop::run (20);
    EXPECT_EQ (freq.getValue(), 401.0);
    EXPECT_EQ (calls.count, 0);

    // A turn lands on a whole step, which is what the page stores.
    freq.setValue (123.4, juce::sendNotificationSync);
    EXPECT_EQ (freq.getStep(), 123);
    EXPECT_EQ (calls.count, 1);
    freq.removeListener (&calls);
}

TEST (PageWidgets, PageLookGivesTheSharedColoursAndDrawsTheKnobToItsValue)
{
    juce::SharedResourcePointer<PageLookAndFeel> look;
    juce::Component page;
    page.setLookAndFeel (&look.get());

    juce::Label label;
    juce::TextButton button;
    juce::GroupComponent group;
    ParamKnob knob;
    for (auto* c : std::initializer_list<juce::Component*> { &label, &button, &group, &knob })
        page.addAndMakeVisible (c);

    EXPECT_EQ (label.findColour (juce::Label::textColourId), Palette::textGrey);
    EXPECT_EQ (group.findColour (juce::GroupComponent::textColourId), Palette::textGrey);
    EXPECT_EQ (button.findColour (juce::TextButton::buttonColourId), Palette::plate);
    EXPECT_EQ (button.findColour (juce::TextButton::textColourOffId), Palette::textGrey);
    EXPECT_EQ (knob.findColour (juce::Slider::rotarySliderFillColourId), Palette::amber);

    Cpeq band (1, 3);
    knob.bind (*band.gain);
    knob.setBounds (0, 0, 40, 40);
    const auto paintAt = [&knob] (double step)
    {
        knob.setValue (step, juce::dontSendNotification);
        juce::Image image (juce::Image::ARGB, 40, 40, true);
        juce::Graphics g (image);
        knob.paintEntireComponent (g, false);
        return image;
    };
    const auto low = paintAt (0.0);
    const auto high = paintAt (60.0);

    // The arc passes twelve o'clock half-way: lit at the top end, only the track at the bottom.
    EXPECT_EQ (high.getPixelAt (20, 4), Palette::amber);
    EXPECT_EQ (low.getPixelAt (20, 4).getAlpha(), PageLookAndFeel::knobTrack.getAlpha());
    EXPECT_EQ (low.getPixelAt (20, 4).getBrightness(), 0.0f);

    // The pointer runs from the middle towards the value: lower left at the start.
    const auto reddish = [] (juce::Colour c) { return c.getRed() > 2 * c.getGreen() && c.getRed() > 100; };
    EXPECT_TRUE (reddish (low.getPixelAt (16, 25))) << low.getPixelAt (16, 25).toDisplayString (true);
    EXPECT_FALSE (reddish (high.getPixelAt (16, 25)));
    EXPECT_TRUE (reddish (high.getPixelAt (24, 25))) << high.getPixelAt (24, 25).toDisplayString (true);

    page.setLookAndFeel (nullptr);
}

TEST (PageWidgets, EntryHasAnEditorWithABlinkingCaretOnlyWhileItHasTheFocus)
{
    REQUIRE_DISPLAY();
    juce::SharedResourcePointer<PageLookAndFeel> look;
    juce::Component page;
    page.setLookAndFeel (&look.get());
    page.setBounds (0, 0, 200, 100);
    ValueEntry first, second;
    first.setBounds (10, 10, 80, 24);
    second.setBounds (10, 50, 80, 24);
    page.addAndMakeVisible (first);
    page.addAndMakeVisible (second);
    page.addToDesktop (0);
    page.setVisible (true);

    // At rest there is no editor at all: a live one would have the desktop poll the pointer,
    // and its caret would wake every 380 ms.
    EXPECT_EQ (first.getCurrentTextEditor(), nullptr);
    EXPECT_EQ (caretOf (first), nullptr);

    first.grabKeyboardFocus();
    if (! first.hasKeyboardFocus (true))
        GTEST_SKIP() << "the display gives no keyboard focus";
    ASSERT_NE (first.getCurrentTextEditor(), nullptr);
    EXPECT_TRUE (caretOf (first)->isBlinking());
    EXPECT_TRUE (caretOf (first)->isVisible());
    first.getCurrentTextEditor()->setText ("abc", true);

    second.grabKeyboardFocus();
    EXPECT_FALSE (caretOf (first)->isBlinking());   // before the editor closes, it is quiet
    testloop::drain();
    EXPECT_EQ (first.getCurrentTextEditor(), nullptr);
    EXPECT_EQ (first.getText(), "abc");   // unbound: what was typed stays
    ASSERT_NE (second.getCurrentTextEditor(), nullptr);
    EXPECT_TRUE (caretOf (second)->isBlinking());

    // Focus that leaves and comes back before the editor closes keeps it open.
    page.grabKeyboardFocus();
    second.getCurrentTextEditor()->grabKeyboardFocus();
    testloop::drain();
    EXPECT_NE (second.getCurrentTextEditor(), nullptr);

    page.removeFromDesktop();
    page.setLookAndFeel (nullptr);
}

TEST (PageWidgets, EntryAtRestShowsItsTextWhereItsEditorShowsIt)
{
    juce::SharedResourcePointer<PageLookAndFeel> look;
    juce::Component page;
    page.setLookAndFeel (&look.get());
    ValueEntry entry;
    page.addAndMakeVisible (entry);
    PageLookAndFeel::styleTransparentEntry (entry);
    const auto paint = [&entry]
    {
        juce::Image image (juce::Image::ARGB, entry.getWidth(), entry.getHeight(), true);
        juce::Graphics g (image);
        entry.paintEntireComponent (g, false);
        return image;
    };
    const auto sameImages = [] (const juce::Image& a, const juce::Image& b)
    {
        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    return ::testing::AssertionFailure() << "first difference at " << x << ", " << y;
        return ::testing::AssertionSuccess();
    };

    // The heights of the pages' entries, a text that fits and one wider than the entry.
    for (int height : { 20, 24 })
    {
        for (auto text : { "1k00", "\"xxx.xxx.xxx.xxx\"" })
        {
            entry.setBounds (0, 0, 60, height);
            entry.setText (text, false);
            const auto atRest = paint();
            pagetest::openEditor (entry).setCaretPosition (0);
            EXPECT_TRUE (sameImages (atRest, paint())) << text << " in " << height << " pixels";
            pagetest::typeAndLeave (entry, text);
            ASSERT_FALSE (entry.isBeingEdited());
        }
    }
    page.setLookAndFeel (nullptr);
}
