#pragma once

#include "AmpMode.h"
#include "HandleOwners.h"
#include "PageLookAndFeel.h"
#include "PeqBandColumn.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class Cpeq;
class Croot;
class Dialogs;

/** One channel's tab of the Parametric EQ page: eight band columns (button, gain knob,
    frequency and quality knobs with entries, type list), "Bypass" and "Reset".

    Every edit sets the band's parameters and ends in bandEdited, which sends the band and
    tells the page (onBandChanged) to recompute its display filter and redraw the graph; a
    change of a band in the tree refreshes the controls, tells the page the same and sends
    nothing.  While channel B follows channel A (Stereo and
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

    /** The tab of `channel` (0 A, 1 B): finds and listens to its bands in `root`, asks
        through `dialogs`.  Both must outlive the tab. */
    CPeqTab (Croot& root, int channel, Dialogs& dialogs);
    ~CPeqTab() override;

    void paint (juce::Graphics& g) override;

    /** Called after a band (0..7) changed, edited or refreshed: the page recomputes its
        display filter, moves and selects its handle and repaints the graph. */
    std::function<void (int band)> onBandChanged;

    /** A band of the tab changed in the tree: its controls and the page's graph follow;
        nothing is sent.  Also called by the handles after they edit a band. */
    void changeListenerCallback (juce::ChangeBroadcaster* block) override;

    /** Band `k` (0..7) was edited here, the one way every edit of the tab ends: it is sent
        (copied into channel B first while following), the page's graph follows
        (onBandChanged), the channel's PEQ activity is updated and the selection frame put
        around its column. */
    void bandEdited (int k) override;

    Cpeq* handleBand (int band) override;

    /** Stereo and Bridge make channel B follow channel A: B's bands take A's values in the
        tree, without sending.  Any mode ends "Bypass". */
    void setFollowMode (AmpMode mode);

    /** An edit made elsewhere (the phone remote): the values given, put into the tab's own
        controls as a click, a turn or a choice there would put them. */
    struct Edit
    {
        int band = -1;                    // 0..7; any other: no band
        std::optional<bool> on;           // the band's button (no effect while "Bypass" is on)
        std::optional<int> type;          // the band's list, 1 "PEQ" .. 5 "HS12"
        std::optional<double> gain;       // the gain knob, dB
        std::optional<double> freqStep;   // the frequency knob's steps
        std::optional<double> qualStep;   // the quality knob's steps
        std::optional<bool> bypass;       // "Bypass"
    };

    /** Applies `edit` through the controls' own handlers, so it takes the road of a desktop
        edit: the controls and parameters clamp, the band is sent (channel B follows A),
        its filter, handle and the graph are redrawn.  Numbers that are not finite and types
        outside 1..5 change nothing. */
    void applyEdit (const Edit& edit);

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

    int bandOfControl (const juce::Component* control) const;
    void setBandType (int step, int k);
    void setBandFromControl (int k, int what, double x);
    void updatePeqActive();
    void bandChanged (int k);
    void sendBand (int k);
    void copyBandToChannelB (int k);
    void applyReset();
    void setBypass (bool on);
    void leaveBypass();
    void commitEntry (int k, ParamKnob& knob);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CPeqTab)
};
