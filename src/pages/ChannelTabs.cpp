#include "ChannelTabs.h"

#include "Palette.h"

ChannelTabs::ChannelTabs()
    : juce::TabbedComponent (juce::TabbedButtonBar::TabsAtTop)
{
    setTabBarDepth (30);
    setOutline (0);
}

ChannelTabs::~ChannelTabs()
{
    // The channel components are their pages': they must not be deleted with the tabs.
    clearTabs();
}

void ChannelTabs::setChannels (juce::Component& channelA, juce::Component& channelB)
{
    channelBContent = &channelB;
    addTab ("Channel A", Palette::tab, &channelA, false);
    addTab ("Channel B", Palette::tab, &channelB, false);
    setCurrentTabIndex (0);
}

bool ChannelTabs::showMode (AmpMode mode)
{
    bool channelBBack = false;
    if (mode.followsA())
    {
        setTabName (0, mode == AmpMode::stereo ? "Channel A+B" : "Channel A");
        if (getNumTabs() > 1)
            removeTab (1);
    }
    else if (getNumTabs() == 1 && channelBContent != nullptr)
    {
        setTabName (0, "Channel A");
        addTab ("Channel B", Palette::tab, channelBContent, false);
        channelBBack = true;
    }
    setCurrentTabIndex (0);
    return channelBBack;
}

int ChannelTabs::visibleChannel() const
{
    return getCurrentTabIndex() == 1 ? 1 : 0;
}

void ChannelTabs::currentTabChanged (int index, const juce::String&)
{
    if (onChannelShown)
        onChannelShown (index == 1 ? 1 : 0);
}
