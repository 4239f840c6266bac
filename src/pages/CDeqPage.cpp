#include "CDeqPage.h"

#include "AmpMode.h"
#include "Artwork.h"
#include "Cdeqcomp.h"
#include "Cdeqfilt.h"
#include "Cdeqtime.h"
#include "FilterResponse.h"
#include "Globals.h"
#include "Palette.h"

namespace
{

    const juce::Rectangle<int> tabsBounds { 0, 176, 720, 296 };
    const juce::Rectangle<int> group1Bounds { 4, 208, 356, 258 };
    const juce::Rectangle<int> group2Bounds { 360, 208, 356, 258 };
    const juce::Rectangle<int> graphBackgrounds[2] = { { 4, 4, 354, 180 }, { 362, 4, 354, 180 } };
    const juce::Point<int> freqScalePositions[2] = { { 24, 160 }, { 382, 160 } };
    const juce::Point<int> dbScalePositions[2] = { { 5, 21 }, { 363, 21 } };
    const juce::Rectangle<int> tabBand { 0, 176, 720, 32 };
    const juce::Rectangle<int> graphBounds[2] = { { 32, 10, 320, 150 }, { 390, 10, 320, 150 } };
    const juce::Colour curveColours[2] = { Palette::amber, Palette::channelB };
    constexpr int noFill = 0;
    constexpr int deqGraphKind = 2;
}

CDeqPage::CDeqPage (Croot& root)
{
    setLookAndFeel (&look.get());
    setName ("DeqPage");

    tabA = std::make_unique<CDeqTab> (root, 0);
    tabB = std::make_unique<CDeqTab> (root, 1);
    for (int channel = 0; channel < 2; ++channel)
        tab (channel).onBandChanged = [this, channel] (int band) { bandChanged (channel, band); };

    tabs = std::make_unique<ChannelTabs>();
    tabs->setComponentID ("deqTabs");
    tabs->setChannels (*tabA, *tabB);
    // The graphs draw the channel shown: colours, curves and handles change with it.
    tabs->onChannelShown = [this] (int) { repaint(); };
    globals::deqVisibleChannel = 0;
    addAndMakeVisible (*tabs);

    // The frames lie over the tab's two halves; they let clicks through to the controls.
    for (auto* group : { &group1, &group2 })
    {
        group->setColour (juce::GroupComponent::outlineColourId, Palette::groupOutline);
        group->setTextLabelPosition (juce::Justification::centred);
        addAndMakeVisible (*group);
    }
    group1.setComponentID ("band1Group");
    group2.setComponentID ("band2Group");

    graph2 = buildGraph (1);
    graph1 = buildGraph (0);

    freqScaleImage = Artwork::get (Artwork::Id::freqScaleNarrow);
    dbScaleImage = Artwork::get (Artwork::Id::deqLevelScale);
    setSize (pageWidth, pageHeight);
}

CDeqPage::~CDeqPage()
{
    tabs = nullptr;
    graph1 = nullptr;
    graph2 = nullptr;
    setLookAndFeel (nullptr);
}

void CDeqPage::resized()
{
    tabs->setBounds (tabsBounds);
    group1.setBounds (group1Bounds);
    group2.setBounds (group2Bounds);
}

int CDeqPage::visibleChannel() const
{
    return tabs != nullptr ? tabs->visibleChannel() : 0;
}

void CDeqPage::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
    for (int band = 0; band < 2; ++band)
    {
        g.fillRect (graphBackgrounds[band]);
        g.drawImageAt (freqScaleImage, freqScalePositions[band].x, freqScalePositions[band].y);
        g.drawImageAt (dbScaleImage, dbScalePositions[band].x, dbScalePositions[band].y);
    }
    g.setColour (Palette::plate);
    g.fillRect (tabBand);

    // The graphs draw the channel shown: its colour, and its bands' handles.
    const int channel = visibleChannel();
    globals::deqVisibleChannel = channel;
    for (int band = 0; band < 2; ++band)
    {
        auto& bandGraph = graph (band);
        for (auto& colour : bandGraph.strokeColour)
            colour = curveColours[channel];
        bandGraph.handleFreq[0] = globals::deqFilterTable[(std::size_t) channel][(std::size_t) band].freq;
    }
}

std::unique_ptr<EQGraph> CDeqPage::buildGraph (int band)
{
    auto bandGraph = std::make_unique<EQGraph> (deqGraphKind, this);
    bandGraph->setComponentID (band == 0 ? "graph1" : "graph2");
    bandGraph->responseFunction = band == 0 ? deqResponseBand1 : deqResponseBand2;
    for (auto& colour : bandGraph->strokeColour)
        colour = curveColours[0];
    bandGraph->fillMode = noFill;
    bandGraph->setHandleCount (1);
    const auto badge = Artwork::handleBadge (band + 1);
    bandGraph->setHandle (0, std::make_unique<filter_drag> (badge, deqGraphKind, this, band));
    bandGraph->handleOffset = (unsigned) badge.getWidth() / 2;
    bandGraph->setBounds (graphBounds[band]);
    addAndMakeVisible (*bandGraph);
    return bandGraph;
}

void CDeqPage::bandChanged (int channel, int band)
{
    auto& t = tab (channel);
    const auto& comp = *t.compBlock (band);
    const auto& filt = *t.filtBlock (band);
    const float freq = filt.freq->getValue();
    computeDeqFilter (channel, band, filt.type->getStep(), freq, filt.qual->getValue(), comp.mgain->getValue(),
                      comp.thres->getValue(), comp.ratio->getValue());

    // The handles edit the tab of the channel shown, whichever channel was recomputed.
    const int shown = visibleChannel();
    globals::deqVisibleChannel = shown;
    if (channel == shown)
    {
        graph (band).handleFreq[0] = freq;
        graph (band).moveHandles();
    }
    graph (band).repaint();
}

//==============================================================================
void CDeqPage::ampModeChanged (int modeStep)
{
    const auto mode = AmpMode::fromStep (modeStep);
    if (tabs->showMode (mode))
    {
        for (int band = 0; band < CDeqTab::bandCount; ++band)
        {
            tabB->changeListenerCallback (tabB->compBlock (band));
            tabB->changeListenerCallback (tabB->timeBlock (band));
            tabB->changeListenerCallback (tabB->filtBlock (band));
        }
    }
    tabA->setFollowMode (mode);
}
