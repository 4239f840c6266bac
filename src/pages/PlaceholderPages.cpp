#include "PlaceholderPages.h"

PlaceholderPage::PlaceholderPage (const juce::String& name)
    : juce::Component (name)
{
    setOpaque (true);
    setSize (pageWidth, pageHeight);
}

void PlaceholderPage::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

PlaceholderConfigPage::PlaceholderConfigPage()
    : PlaceholderPage ("ConfigPage")
{
}

PlaceholderModePage::PlaceholderModePage (const juce::String& name)
    : PlaceholderPage (name)
{
}
