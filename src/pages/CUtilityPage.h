#pragma once

#include "Ciosiggen.h"
#include "Globals.h"
#include "PageLookAndFeel.h"
#include "ParamKnob.h"
#include "SiggenSweep.h"
#include "ValueEntry.h"
#include <juce_gui_basics/juce_gui_basics.h>

class Dialogs;

/** The Utility page, the sixth tab (shown by the panel for the ZR family only): the remote
    control of the amplifier's built-in signal generator.

    "Test Tone" switches the generator on (after asking) and off; "Sine", "Pink Noise" and
    "White Noise" choose what it plays; level, frequency and sweep rate each have a knob and
    an entry.  "Sweep" lets the page's sweep thread ("scan", SiggenSweep) move the sine's
    frequency up and down.  Every setting lives in the signal-generator block, which the page
    owns and publishes as globals::siggen (the hub decodes the amplifier's "/siggen" answers
    into it); every edit sends the block as "/siggen".  The rate is the page's own and is
    not part of the message.

    The page starts with "Sine" lit, the source "Test Tone" plays until another is chosen or
    reported.  Built as every page is (docs/pages.md); widgets and listeners on the message
    thread only.  Widgets carry component IDs (see CUtilityPageLayout.cpp) for tests and tools.
*/
class CUtilityPage : public juce::Component,
                     public juce::ChangeListener,
                     public juce::Button::Listener,
                     public juce::Slider::Listener
{
public:
    static constexpr int pageWidth = 720;
    static constexpr int pageHeight = 470;

    /** Source numbers of the generator's "input": 0 is off. */
    enum Source
    {
        off = 0,
        sine = 1,
        pinkNoise = 2,
        whiteNoise = 3
    };

    /** Builds the widgets and the generator block (1000 Hz, level -40 dB, off, rate 5),
        publishes the block as globals::siggen and shows it.  Sends nothing.  `sweepPacer`
        paces the sweep (null: the real clock; tests pass their own, which must outlive the
        page).  `dialogs` must outlive the page. */
    explicit CUtilityPage (Dialogs& dialogs, SiggenSweep::Pacer* sweepPacer = nullptr);

    /** Stops the sweep thread, then withdraws the block from globals::siggen. */
    ~CUtilityPage() override;

    void paint (juce::Graphics& g) override;

    //==============================================================================
    // User actions (the buttons' clicks; reachable directly for tests)

    /** "Test Tone" after its click toggled it: turned on, asks first and plays the chosen
        source on "Yes" (on "Cancel" the button goes off again and nothing is sent); turned
        off, switches the generator off.  Ends the sweep either way. */
    void testToneClicked();

    /** A source button after its click: when it is now on, it becomes the chosen source and
        plays at once if "Test Tone" is on.  Ends the sweep. */
    void sourceClicked (Source source);

    /** "Sweep" after its click toggled it: the sweep follows the button (it only runs while
        the sine plays). */
    void sweepClicked();

    //==============================================================================
    /** The amplifier went: the connection ended, or a model without the generator came.
        The sweep ends and "Sweep" goes dark; the generator counts as off (nothing is sent)
        until the next amplifier reports its own or the user switches it on after the
        question, and a "Yes" to a question asked before now switches nothing on.  From the
        panel, message thread. */
    void amplifierGone();

    //==============================================================================
    // The page's state

    Ciosiggen& getGenerator() noexcept { return generator; }
    /** The source "Test Tone" switches on, 1 .. 3. */
    int getChosenSource() const noexcept { return chosenSource; }
    SiggenSweep& getSweep() noexcept { return sweep; }

    //==============================================================================
    // Listeners

    /** The block changed (an amplifier answer): the widgets follow; nothing is sent. */
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void buttonClicked (juce::Button* button) override;
    void sliderValueChanged (juce::Slider* slider) override;

private:
    Dialogs& dialogs;
    juce::SharedResourcePointer<PageLookAndFeel> look;

    // The block, then the sweep that steps it (and goes first).
    Ciosiggen generator;
    ScopedGlobal<Ciosiggen*> publishedGenerator { globals::siggen, &generator };
    SiggenSweep sweep;

    int chosenSource = sine;
    int amplifiersGone = 0;   // counts amplifierGone(): tells a stale answer to the question

    juce::GroupComponent generatorGroup { "generatorGroup", "Generator (ZR Series)" };
    juce::TextButton testToneButton { "Test Tone" };
    juce::TextButton pinkNoiseButton { "Pink Noise" };
    juce::TextButton whiteNoiseButton { "White Noise" };
    juce::TextButton sineButton { "Sine" };
    juce::Label levelLabel { {}, "Level" };
    ValueEntry levelEntry { "level text editor" };
    juce::Label levelUnitLabel { {}, "dB" };
    ParamKnob levelKnob { "level knob" };
    juce::Label freqLabel { {}, "Frequency" };
    ValueEntry freqEntry { "freq text editor" };
    juce::Label freqUnitLabel { {}, "Hz" };
    ParamKnob freqKnob { "freq knob" };
    juce::Label rateLabel { {}, "Rate" };
    ValueEntry rateEntry { "rate text editor" };
    juce::Label rateUnitLabel { {}, "s" };
    ParamKnob rateKnob { "rate knob" };
    juce::TextButton sweepButton { "Sweep" };

    // Layout (CUtilityPageLayout.cpp)
    void buildGenerator();
    void placeToggle (juce::TextButton& button, const juce::String& id, juce::Rectangle<int> bounds,
                      juce::Colour fillWhenOn);
    void placeEntry (ValueEntry& entry, const juce::String& id, juce::Rectangle<int> bounds);
    void placeKnob (ParamKnob& knob, const juce::String& id, juce::Rectangle<int> bounds);

    // Behaviour
    void bindEntries();
    void activateChosenSource();
    void play (int source);
    void endSweep();
    void sendGenerator();
    void refresh();
    juce::TextButton* sourceButton (int source);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CUtilityPage)
};
