#pragma once

#include "HandleOwners.h"
#include "PageLookAndFeel.h"
#include "PeqBandColumn.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <array>
#include <memory>

class Cpeq;
class Croot;
class Dialogs;
class EQGraph;

/** One channel's tab of the Parametric EQ page: eight band columns (button, gain knob,
    frequency and quality knobs with entries, type list), "Bypass" and "Reset".

    Every edit sets the band's parameters, sends the band, recomputes its display filter and
    repaints the page's graph (bandEdited); a change of a band in the tree refreshes the
    controls and the graph and sends nothing.  While channel B follows channel A (Stereo and
    Bridge, set on tab A), tab A's edits are copied into channel B's bands in the tree, but
    only channel A's messages are sent.  The graph's handles edit the tab through
    PeqHandleTab.  Message thread only.
*/
class CPeqTab : public juce::Component,
                public PeqHandleTab,
                public juce::ChangeListener,
                public juce::Slider::Listener,
                public juce::ComboBox::Listener,
                public juce::Button::Listener
{
public:
    static constexpr int bandCount = 8;

    /** The tab of `channel` (0 A, 1 B): finds and listens to its bands in `root`, draws on
        `graph`, asks through `dialogs`.  All must outlive the tab. */
    CPeqTab (Croot& root, int channel, EQGraph& graph, Dialogs& dialogs);
    ~CPeqTab() override;

    void paint (juce::Graphics& g) override;

    /** A band of the tab changed in the tree: its controls, its filter and the graph follow;
        nothing is sent.  Also called by the handles after they edit a band. */
    void changeListenerCallback (juce::ChangeBroadcaster* block) override;

    /** Band `k` (0..7) was edited here: it is sent (copied into channel B first while
        following), its filter recomputed, its handle moved and selected, the graph repainted,
        the channel's PEQ activity updated and the selection frame put around its column. */
    void bandEdited (int k) override;

    Cpeq* handleBand (int band) override;

    /** Stereo (1) and Bridge (4) make channel B follow channel A: B's bands take A's values
        in the tree, without sending.  Any mode ends "Bypass". */
    void setFollowMode (int mode);

    /** Asks "Do you want to reset all filters?"; "Yes" sets all eight bands to "PEQ", 0 dB,
        quality 0.15 at 40 Hz .. 10 kHz and sends them. */
    void resetFilters();

    void sliderValueChanged (juce::Slider* slider) override;
    void comboBoxChanged (juce::ComboBox* combo) override;
    void buttonClicked (juce::Button* button) override;

    // The tab's state, for the page and for tests.
    int getChannel() const noexcept { return channel; }
    bool isFollowingA() const noexcept { return followA; }
    bool isBypassed() const noexcept { return bypassed; }
    PeqBandColumn& column (int k) { return *columns[(size_t) juce::jlimit (0, bandCount - 1, k)]; }
    juce::Rectangle<int> selectionBounds() const { return selectionFrame.getBounds(); }

private:
    juce::SharedResourcePointer<PageLookAndFeel> look;
    EQGraph& graph;
    Dialogs& dialogs;

    std::array<Cpeq*, bandCount> channelBBands {};
    std::array<Cpeq*, bandCount> bands {};
    const int channel;
    bool followA = false;
    bool bypassed = false;
    std::array<bool, bandCount> filterWasOn {};

    std::array<std::unique_ptr<PeqBandColumn>, bandCount> columns;
    juce::TextButton bypassButton { "Bypass" };
    juce::TextButton resetButton { "Reset" };
    juce::Label gainLabel { {}, "Gain" };
    juce::Label frequencyLabel { {}, "Frequency" };
    juce::Label qualityLabel { {}, "Quality" };
    juce::Label typeLabel { {}, "Type" };
    juce::GroupComponent selectionFrame { "active group", {} };

    // Layout (CPeqTabLayout.cpp)
    void buildControls();
    void place (juce::Component& widget, const juce::String& id, juce::Rectangle<int> bounds);

    int bandOfControl (const juce::Component* control) const;
    void setBandType (int step, int k);
    void setBandFromControl (int k, int what, double x);
    void updatePeqActive();
    void recomputeBand (int k);
    void copyBandToChannelB (int k);
    void applyReset();
    void setBypass (bool on);
    void leaveBypass();
    void commitEntry (int k, ParamKnob& knob);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CPeqTab)
};
