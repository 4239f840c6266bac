#pragma once

#include "AmpMode.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

/** The "Channel A" / "Channel B" tabs of the Parametric EQ and Dynamic EQ pages, and the
    rule the amplifier mode sets for them: where channel B follows channel A (Stereo, Bridge)
    only channel A's tab is shown, as "Channel A+B" in Stereo and "Channel A" in Bridge; in
    the other modes both tabs are shown.

    The tabs show the pages' channel components without owning them; a component whose tab
    is removed stays with its page for the modes that show it again.  Message thread only.
*/
class ChannelTabs : public juce::TabbedComponent
{
public:
    ChannelTabs();
    ~ChannelTabs() override;

    /** Shows `channelA` and `channelB` (which must outlive the tabs) as "Channel A" and
        "Channel B", channel A's tab selected. */
    void setChannels (juce::Component& channelA, juce::Component& channelB);

    /** Applies the rule of `mode` and selects channel A's tab.  True when channel B's tab
        came back: its page refreshes it from the tree, which it did not follow while
        hidden. */
    bool showMode (AmpMode mode);

    /** The channel whose tab is selected: 0 A, 1 B. */
    int visibleChannel() const;

    /** Called with the channel whose tab has just been selected. */
    std::function<void (int channel)> onChannelShown;

private:
    void currentTabChanged (int index, const juce::String& name) override;

    juce::Component* channelBContent = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ChannelTabs)
};
