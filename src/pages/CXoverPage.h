#pragma once

#include "AmpMode.h"
#include "CrossoverResponse.h"
#include "CrossoverTypes.h"
#include "EQGraph.h"
#include "HandleOwners.h"
#include "PageLookAndFeel.h"
#include "ParamKnob.h"
#include "ValueEntry.h"
#include "ValueKnob.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>

class Croot;
class Cxover;
class Cxovergain;
class Dialogs;

/** The Filter/Crossover page, the second tab: per channel a high-pass and a low-pass filter
    (family, slope and corner frequency) and a crossover gain, drawn as the combined
    response of both channels.  In the bi-amp modes "X-Over" links channel A's low-pass to
    channel B's high-pass, so that A carries the low band and B the high band.

    Filters are numbered 0 A high-pass, 1 A low-pass, 2 B high-pass, 3 B low-pass.  A user
    edit sets the block's parameters, refreshes the other widgets and sends the block; a
    change message of a block refreshes the widgets and the response model and sends
    nothing.  In Stereo and Bridge channel B follows channel A: every edit of A, typed or
    dragged too, is copied into B's parameters, which are not sent.  Built as every page is (docs/pages.md).
    Message thread only.
*/
class CXoverPage : public juce::Component,
                   public juce::ChangeListener,
                   public XoverHandleOwner,
                   private juce::ComboBox::Listener,
                   private juce::Button::Listener,
                   private juce::Slider::Listener
{
public:
    static constexpr int pageWidth = 720;
    static constexpr int pageHeight = 470;
    static constexpr int filterCount = 4;
    /** The default crossover's frequency steps: the corner (632.46 Hz), channel A's
        high-pass (22.44 Hz) and channel B's low-pass (17825 Hz) when they are in its way. */
    static constexpr int defaultCrossoverStep = 300;
    static constexpr int defaultHighPassStep = 10;
    static constexpr int defaultLowPassStep = 590;

    /** Builds the widgets, finds the six crossover blocks of `root` and listens to them.
        `hubOnline` tells whether an amplifier is connected (its answers then refresh the
        widgets).  Sends nothing.  Everything passed in must outlive the page. */
    CXoverPage (Croot& root, Dialogs& dialogs, std::function<bool()> hubOnline);
    ~CXoverPage() override;

    /** The amplifier mode applied (0 "DUAL" .. 4 "BRIDGE"): channel B follows A in Stereo
        and Bridge, "X-Over" exists in the bi-amp modes.  Sends nothing. */
    void ampModeChanged (int mode);

    /** Sends filter `index` (copied into channel B's filter first while B follows A),
        recomputes its sections, moves its handle there and selects it, repaints, and updates
        the crossover block flags. */
    void commitFilter (int index) override;

    /** While linked: the partner of filter `index` (1 <-> 2) takes its type and frequency
        and is committed; its widgets follow at once only while offline (online, the
        amplifier's answer refreshes them).  Filters 0 and 3 have no partner. */
    void linkCrossoverPartner (int index) override;

    /** The graph's value of curve `curve` (channel A, then B) at `frequency` Hz: twice the
        level in dB, the unit of the crossover graph. */
    float filterResponse (int curve, float frequency) const;

    /** The crossover filter at slot `slot` (0..3), for the graph's handles; null otherwise. */
    Cxover* crossoverBlock (int slot) override;

    /** True while channel A's low-pass and channel B's high-pass are linked. */
    bool crossoverLinked() const override { return linked; }

    /** True while an amplifier is connected. */
    bool hubOnline() const override;

    /** A block changed in the tree (or a handle asks for its refresh): sends nothing. */
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void paint (juce::Graphics& g) override;

    //==============================================================================
    // User actions, as the widgets report them (also for tests)

    /** Family list id `familyId` (1 "OFF" .. 4 "Linkwitz-Riley") chosen for filter `index`. */
    void familyChosen (int index, int familyId);
    /** Slope list id `slopeId` (1 = the family's first slope) chosen for filter `index`. */
    void slopeChosen (int index, int slopeId);
    /** Frequency knob of filter `index` turned to `step` (0..600). */
    void frequencyKnobTurned (int index, int step);
    /** Gain knob of `channel` moved to `gainDb`. */
    void gainKnobMoved (int channel, double gainDb);
    /** "X-Over" clicked; the button already shows its new state. */
    void crossoverButtonClicked();

    //==============================================================================
    // State

    Cxover* filterBlock (int index) const { return filters[index]; }
    Cxovergain* gainBlock (int channel) const { return gains[channel != 0]; }
    bool isFollowingA() const noexcept { return followA; }
    EQGraph& getGraph() noexcept { return *graph; }
    const CrossoverResponse& getResponse() const noexcept { return response; }

private:
    struct FilterWidgets
    {
        juce::Label caption;
        ParamKnob knob { "xover frequency" };
        juce::Label freqLabel { {}, "Freq." };
        ValueEntry entry { "freq text editor" };
        juce::Label hzLabel { {}, "Hz" };
        juce::ComboBox family { "xover family" };
        juce::ComboBox slope { "xover slope" };
    };

    struct ChannelWidgets
    {
        juce::GroupComponent group;
        juce::Label typeLabel { {}, "Type" };
        juce::Label slopeLabel { {}, "Slope" };
        juce::Label gainLabel { {}, "Gain" };
        ValueKnob gainKnob { "xover gain", 48, 18 };
        juce::Label dbLabel { {}, "dB" };
    };

    // Layout (CXoverPageLayout.cpp)
    void buildWidgets();
    void buildGraph();
    void buildFilterColumn (int index);
    void buildChannel (int channel);
    void showChannelB (bool shown);
    void showTitles();

    // Behaviour
    void comboBoxChanged (juce::ComboBox* box) override;
    void buttonClicked (juce::Button* button) override;
    void sliderValueChanged (juce::Slider* slider) override;

    void setType (int index, int family, int slope, bool slopeGiven);
    void showType (int index, int code);
    void frequencyEntered (int index);
    void frequencyLeft (int index);
    void applyDefaultCrossover();
    void linkWithoutDefault();
    void moveKnobAndTurn (int index, int step);
    void refreshFilter (int index);
    void refreshGain (int channel);
    void recompute (int index);
    void updateBlockFlags();
    void copyFilter (int from, int to);
    int filterIndexOf (const juce::ChangeBroadcaster* source) const;
    int channelOfGain (const juce::ChangeBroadcaster* source) const;

    juce::SharedResourcePointer<PageLookAndFeel> look;
    Dialogs& dialogs;
    std::function<bool()> isOnline;

    Cxover* filters[filterCount] {};
    Cxovergain* gains[2] {};

    AmpMode ampMode;
    bool followA = false;
    bool linked = false;
    int lastSlope[filterCount] {};
    CrossoverResponse response;

    FilterWidgets filterWidgets[filterCount];
    ChannelWidgets channelWidgets[2];
    juce::TextButton crossoverButton { "X-Over" };
    juce::Image freqScaleImage, levelScaleImage;
    std::unique_ptr<EQGraph> graph;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CXoverPage)
};
