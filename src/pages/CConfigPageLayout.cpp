// The Configuration page's frame: the mode group with its buttons, "Channel Link" and the
// signal-flow picture with its block icons.  The channels' widgets are placed by
// ConfigChannelGroup; the behaviour is in CConfigPage.cpp and CConfigPageChannels.cpp.

#include "CConfigPage.h"

#include "Artwork.h"
#include "PlaceChild.h"

namespace
{
    const juce::Rectangle<int> modeGroupBounds { 4, 8, 712, 152 };
    const juce::Rectangle<int> linkButtonBounds { 312, 160, 96, 24 };
    constexpr int modeRadioGroup = 1;

    const char* const modeNames[] = { "Dual Mono", "Stereo", "Bi-Amp 1", "Bi-Amp 2", "Bridge" };

    juce::Rectangle<int> modeButtonBounds (int i)
    {
        return { 20, 24 + 26 * i, 80, 24 };
    }

    // The picture and the icons over it.
    const juce::Point<int> picturePosition { 120, 38 };
    constexpr int rowTop = 38;
    constexpr int stereoRowTop = 63;
    constexpr int rowSpacing = 51;
    constexpr int crossoverX = 199;
    constexpr int stereoCrossoverX = 227;
    constexpr int peqX = 279, deqX = 331, delayX = 383, limiterX = 435;
}

void CConfigPage::buildModeArea()
{
    placeChild (*this, modeGroup, "modeGroup", modeGroupBounds);

    for (int i = 0; i < AmpMode::count; ++i)
    {
        auto& button = modeButtons[i];
        button.setButtonText (modeNames[i]);
        button.setClickingTogglesState (true);
        PageLookAndFeel::styleLitButton (button);
        button.setRadioGroupId (modeRadioGroup, juce::dontSendNotification);
        button.addListener (this);
        placeChild (*this, button, "mode" + juce::String (i), modeButtonBounds (i));
    }

    linkButton.setClickingTogglesState (true);
    PageLookAndFeel::styleLitButton (linkButton);
    linkButton.setTooltip ("enable/disable");
    linkButton.addListener (this);

    for (auto& channel : channels)
        channel.build (*this, *this, *this, *this);

    // Last, so that it is drawn over the two channel groups where they meet.
    placeChild (*this, linkButton, "channelLink", linkButtonBounds);
}

std::vector<CConfigPage::DiagramIcon> CConfigPage::diagramIcons (int modeStep, const BlockActivity& flags)
{
    const auto mode = AmpMode::fromStep (modeStep);
    using Block = Artwork::Block;
    std::vector<DiagramIcon> icons;
    const auto add = [&icons] (Block block, bool inUse, int x, int y) {
        icons.push_back ({ Artwork::blockIcon (block, inUse), { x, y } });
    };

    const int y0 = mode == AmpMode::stereo ? stereoRowTop : rowTop;
    const bool crossoverA = flags.get (ChainBlock::crossover, 0);
    int rows = 1;

    if (mode.isBiAmp())
    {
        // One input split into two: a single crossover feeds both rows.
        add (Block::biampXover, crossoverA, crossoverX, y0);
        rows = 2;
    }
    else
    {
        add (Block::xover, crossoverA, mode == AmpMode::stereo ? stereoCrossoverX : crossoverX, y0);
        if (mode == AmpMode::dualMono)
        {
            add (Block::xover, flags.get (ChainBlock::crossover, 1), crossoverX, y0 + rowSpacing);
            rows = 2;
        }
    }

    for (int r = 0; r < rows; ++r)
    {
        const int y = y0 + rowSpacing * r;
        add (Block::peq, flags.get (ChainBlock::peq, r), peqX, y);
        add (Block::deq, flags.get (ChainBlock::deq, r), deqX, y);
        add (Block::delay, flags.get (ChainBlock::delay, r), delayX, y);
        add (Block::limiter, flags.get (ChainBlock::limiter, r), limiterX, y);
    }
    return icons;
}

void CConfigPage::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
    g.drawImageAt (modePicture, picturePosition.x, picturePosition.y);
    for (const auto& icon : diagramIcons (ampMode.step(), globals::blockActive))
        g.drawImageAt (icon.image, icon.position.x, icon.position.y);
}

void CConfigPage::repaintDiagram()
{
    repaint (modeGroupBounds);
}
