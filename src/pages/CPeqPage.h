#pragma once

#include "CPeqTab.h"
#include "ChannelTabs.h"
#include "EQGraph.h"
#include "HandleOwners.h"
#include "PageLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <array>
#include <memory>

class Croot;
class Dialogs;

/** The Parametric EQ page, the third tab: the response graph of the channel shown, with a
    numbered handle per band, over the tabs "Channel A" and "Channel B" (CPeqTab) that edit
    each channel's eight bands.  In Stereo and Bridge only channel A's tab is shown and
    channel B follows it.  Built as every page is (docs/pages.md).  Message thread only.
*/
class CPeqPage : public juce::Component, public PeqHandleOwner
{
public:
    static constexpr int pageWidth = 720;
    static constexpr int pageHeight = 470;

    /** Builds the graph, its eight handles and both channel tabs over the bands of `root`;
        questions go through `dialogs`.  Both must outlive the page. */
    CPeqPage (Croot& root, Dialogs& dialogs);
    ~CPeqPage() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    /** The amplifier mode applied (0 Dual Mono, 1 Stereo, 2 Bi-Amp 1, 3 Bi-Amp 2, 4 Bridge):
        Stereo and Bridge show channel A only (as "Channel A+B" in Stereo) and make channel B
        follow it; the other modes show both tabs again.  Tab A is selected. */
    void ampModeChanged (int mode);

    PeqHandleTab* peqTab (int channel) override;

    // The page's parts, for the panel's tests and for tools.
    EQGraph& getGraph() noexcept { return graph; }
    juce::TabbedComponent& getTabs() noexcept { return tabs; }
    CPeqTab& tab (int channel) noexcept { return *channelTabs[channel != 0 ? 1 : 0]; }

private:
    juce::SharedResourcePointer<PageLookAndFeel> look;
    EQGraph graph { 0, this };
    juce::Image dbScaleImage;
    juce::Image freqScaleImage;
    std::array<std::unique_ptr<CPeqTab>, 2> channelTabs;
    ChannelTabs tabs;

    void buildGraph();
    /** Band `band` of `channel` changed (edited or refreshed): its display filter is
        recomputed, its handle moved and selected, the graph repainted. */
    void bandChanged (int channel, int band);
    /** The graph follows the selected tab: its colour, its handles; true if anything changed. */
    bool showSelectedChannel();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CPeqPage)
};
