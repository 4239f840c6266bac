#pragma once

#include "CDeqTab.h"
#include "ChannelTabs.h"
#include "EQGraph.h"
#include "HandleOwners.h"
#include "PageLookAndFeel.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class Croot;

/** The Dynamic EQ page, the fourth tab: one graph per band above a tab per channel
    ("Channel A", "Channel B") with the two bands' controls, framed "DEQ Band 1" and
    "DEQ Band 2".

    Each graph draws its band of the channel whose tab is showing, as six curves for the
    input levels -50 .. 0 dB.  In Stereo and Bridge channel B follows A: its tab goes and
    channel A's tab copies its edits into B's blocks.  Built as every page is
    (docs/pages.md).  Message thread only.
*/
class CDeqPage : public juce::Component, public DeqHandleOwner
{
public:
    static constexpr int pageWidth = 720;
    static constexpr int pageHeight = 470;

    /** Builds both tabs (listening to their channels' blocks of `root`), the frames and the
        graphs.  Sends nothing.  `root` must outlive the page. */
    explicit CDeqPage (Croot& root);
    ~CDeqPage() override;

    /** The amplifier mode applied (0 "DUAL" .. 4 "BRIDGE"): Stereo shows one tab "Channel
        A+B", Bridge one tab "Channel A", the others both tabs again (channel B's refreshed
        from its blocks).  Channel A's tab is selected and follows the mode.  Sends nothing. */
    void ampModeChanged (int mode);

    void paint (juce::Graphics& g) override;
    void resized() override;

    CDeqTab& tab (int channel) { return channel == 0 ? *tabA : *tabB; }
    /** The tab of `channel` for the graphs' handles. */
    DeqHandleTab* deqTab (int channel) override { return &tab (channel); }
    /** The graph of band `band` (0 left, 1 right). */
    EQGraph& graph (int band) { return band == 0 ? *graph1 : *graph2; }
    juce::TabbedComponent& getTabs() { return *tabs; }

private:
    void bandChanged (int channel, int band);
    std::unique_ptr<EQGraph> buildGraph (int band);
    int visibleChannel() const;

    juce::SharedResourcePointer<PageLookAndFeel> look;
    std::unique_ptr<EQGraph> graph1, graph2;
    std::unique_ptr<CDeqTab> tabA, tabB;
    std::unique_ptr<ChannelTabs> tabs;
    juce::GroupComponent group1 { "channel A group", "DEQ Band 1" };
    juce::GroupComponent group2 { "channel B group", "DEQ Band 2" };
    juce::Image freqScaleImage, dbScaleImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CDeqPage)
};
