#include "CDeqPage.h"

#include "Artwork.h"
#include "Cdeqcomp.h"
#include "Cdeqfilt.h"
#include "Cdeqtime.h"
#include "Globals.h"

namespace
{
    constexpr int stereoMode = 1;
    constexpr int bridgeMode = 4;

    const juce::Colour tabColour { 0xff606060 };
    const juce::Colour groupOutline { 0xff5c5c5c };
    const juce::Colour bandColour { 0xff333333 };

    const juce::Rectangle<int> tabsBounds { 0, 176, 720, 296 };
    const juce::Rectangle<int> group1Bounds { 4, 208, 356, 258 };
    const juce::Rectangle<int> group2Bounds { 360, 208, 356, 258 };
    const juce::Rectangle<int> graphBackgrounds[2] = { { 4, 4, 354, 180 }, { 362, 4, 354, 180 } };
    const juce::Point<int> freqScalePositions[2] = { { 24, 160 }, { 382, 160 } };
    const juce::Point<int> dbScalePositions[2] = { { 5, 21 }, { 363, 21 } };
    const juce::Rectangle<int> tabBand { 0, 176, 720, 32 };
}

CDeqPage::ChannelTabs::ChannelTabs (CDeqPage& pageToTell)
    : juce::TabbedComponent (juce::TabbedButtonBar::TabsAtTop),
      page (pageToTell)
{
}

void CDeqPage::ChannelTabs::currentTabChanged (int, const juce::String&)
{
    // The graphs draw the channel shown: colours, curves and handles change with it.
    page.repaint();
}

CDeqPage::CDeqPage (Croot& root)
{
    setLookAndFeel (&look.get());
    setName ("DeqPage");

    tabA = std::make_unique<CDeqTab> (root, 0);
    tabB = std::make_unique<CDeqTab> (root, 1);
    for (int channel = 0; channel < 2; ++channel)
        tab (channel).onBandChanged = [this, channel] (int band) { bandChanged (channel, band); };

    tabs = std::make_unique<ChannelTabs> (*this);
    tabs->setComponentID ("deqTabs");
    tabs->setOutline (0);
    tabs->addTab ("Channel A", tabColour, tabA.get(), false);
    tabs->addTab ("Channel B", tabColour, tabB.get(), false);
    tabs->setCurrentTabIndex (0);
    addAndMakeVisible (*tabs);

    // The frames lie over the tab's two halves; they let clicks through to the controls.
    for (auto* group : { &group1, &group2 })
    {
        group->setColour (juce::GroupComponent::outlineColourId, groupOutline);
        group->setTextLabelPosition (juce::Justification::centred);
        addAndMakeVisible (*group);
    }
    group1.setComponentID ("band1Group");
    group2.setComponentID ("band2Group");

    freqScaleImage = Artwork::get (Artwork::Id::freqScaleNarrow);
    dbScaleImage = Artwork::get (Artwork::Id::deqLevelScale);
    setSize (pageWidth, pageHeight);
}

CDeqPage::~CDeqPage()
{
    tabs = nullptr;
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
    return tabs != nullptr && tabs->getCurrentTabIndex() == 1 ? 1 : 0;
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
    g.setColour (bandColour);
    g.fillRect (tabBand);

    globals::deqVisibleChannel = visibleChannel();
}

void CDeqPage::bandChanged (int, int)
{
    repaint();
}

//==============================================================================
void CDeqPage::ampModeChanged (int mode)
{
    if (mode == stereoMode || mode == bridgeMode)
    {
        tabs->setTabName (0, mode == stereoMode ? "Channel A+B" : "Channel A");
        if (tabs->getNumTabs() > 1)
            tabs->removeTab (1);
    }
    else if (tabs->getNumTabs() == 1)
    {
        tabs->setTabName (0, "Channel A");
        tabs->addTab ("Channel B", tabColour, tabB.get(), false);
        for (int band = 0; band < CDeqTab::bandCount; ++band)
        {
            tabB->changeListenerCallback (tabB->compBlock (band));
            tabB->changeListenerCallback (tabB->timeBlock (band));
            tabB->changeListenerCallback (tabB->filtBlock (band));
        }
    }
    tabs->setCurrentTabIndex (0);
    tabA->setFollowMode (mode);
}
