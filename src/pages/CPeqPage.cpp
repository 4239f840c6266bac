#include "CPeqPage.h"

#include "AmpMode.h"
#include "Artwork.h"
#include "Cpeq.h"
#include "FilterResponse.h"
#include "Globals.h"
#include "Palette.h"

namespace
{
    // The amber darkened by 0.2, each component truncated (JUCE 7's darker() rounds instead).
    const juce::Colour channelAColour { 0xffd29b27 };
    const juce::Colour channelBColour = Palette::channelB;
}

CPeqPage::CPeqPage (Croot& root, Dialogs& dialogs)
{
    setLookAndFeel (&look.get());
    setName ("PeqPage");
    setComponentID ("PeqPage");

    for (int channel = 0; channel < 2; ++channel)
    {
        channelTabs[(size_t) channel] = std::make_unique<CPeqTab> (root, channel, dialogs);
        tab (channel).onBandChanged = [this, channel] (int band) { bandChanged (channel, band); };
    }

    tabs.setComponentID ("channelTabs");
    tabs.setChannels (tab (0), tab (1));
    tabs.onChannelShown = [this] (int)
    {
        if (showSelectedChannel())
            graph.repaint();
    };
    addAndMakeVisible (tabs);

    dbScaleImage = Artwork::get (Artwork::Id::peqLevelScale);
    freqScaleImage = Artwork::get (Artwork::Id::freqScaleWide);
    setSize (pageWidth, pageHeight);
    buildGraph();
    showSelectedChannel();
}

CPeqPage::~CPeqPage()
{
    setLookAndFeel (nullptr);
}

void CPeqPage::buildGraph()
{
    graph.setComponentID ("peqGraph");
    graph.strokeColour[0] = graph.fillColour[0] = channelAColour;
    graph.responseFunction = peqResponse;
    graph.setHandleCount (8);
    for (int k = 0; k < 8; ++k)
    {
        const auto badge = Artwork::handleBadge (k + 1);
        auto& handle = graph.setHandle (k, std::make_unique<filter_drag> (badge, graph.graphKind, this, k));
        handle.setComponentID ("handle" + juce::String (k + 1));
        graph.handleOffset = (unsigned) (badge.getWidth() / 2);
    }
    graph.setBounds (50, 10, 660, 150);
    addAndMakeVisible (graph);
}

void CPeqPage::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
    g.fillRect (4, 4, 712, 180);
    g.drawImageAt (dbScaleImage, 19, 22);
    g.drawImageAt (freqScaleImage, 43, 160);
    g.setColour (Palette::plate);
    g.fillRect (0, 176, 720, 32);

    // The graph shows the channel whose tab is chosen; it repaints only if that changed.
    if (showSelectedChannel())
        graph.repaint();
}

void CPeqPage::resized()
{
    tabs.setBounds (0, 176, 720, 296);
}

bool CPeqPage::showSelectedChannel()
{
    const int channel = tabs.visibleChannel();
    const auto colour = channel == 0 ? channelAColour : channelBColour;
    bool changed = globals::peqVisibleChannel != channel || graph.strokeColour[0] != colour;
    globals::peqVisibleChannel = channel;
    graph.strokeColour[0] = graph.fillColour[0] = colour;
    for (size_t k = 0; k < 8; ++k)
    {
        const float freq = globals::peqFilterTable[(size_t) channel][k].freq;
        changed = changed || graph.handleFreq[k] != freq;
        graph.handleFreq[k] = freq;
    }
    graph.moveHandles();
    return changed;
}

void CPeqPage::ampModeChanged (int modeStep)
{
    const auto mode = AmpMode::fromStep (modeStep);
    if (tabs.showMode (mode))
    {
        auto& tabB = tab (1);
        for (int k = 0; k < CPeqTab::bandCount; ++k)
            tabB.changeListenerCallback (tabB.handleBand (k));
    }
    tab (0).setFollowMode (mode);
    if (showSelectedChannel())
        graph.repaint();
}

void CPeqPage::bandChanged (int channel, int band)
{
    const auto& block = *tab (channel).handleBand (band);
    const float freq = block.freq->getValue();
    computePeqFilter (channel, band, block.type->getStep(), freq, block.gain->getValue(), block.qual->getValue());

    // The band changed last is the selected handle; the graph shows one channel's handles,
    // so only that channel's band moves one.
    globals::selectedHandle = band;
    if (channel == globals::peqVisibleChannel)
        graph.handleFreq[(size_t) band] = freq;
    graph.moveHandles();
    graph.repaint();
}

PeqHandleTab* CPeqPage::peqTab (int channel)
{
    return channel == 0 || channel == 1 ? channelTabs[(size_t) channel].get() : nullptr;
}
