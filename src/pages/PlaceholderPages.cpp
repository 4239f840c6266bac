#include "PlaceholderPages.h"

#include "CSetupPage.h"
#include "Globals.h"

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

namespace pages
{
    std::unique_ptr<juce::Component> createConfigPage()
    {
        return std::make_unique<PlaceholderConfigPage>();
    }

    void setDeviceModel (juce::Component& configPage, int model)
    {
        if (auto* page = dynamic_cast<PlaceholderConfigPage*> (&configPage))
            page->deviceModel = model;
    }

    std::unique_ptr<juce::Component> createXoverPage()
    {
        return std::make_unique<PlaceholderPage> ("XoverPage");
    }

    std::unique_ptr<juce::Component> createPeqPage()
    {
        return std::make_unique<PlaceholderPage> ("PeqPage");
    }

    std::unique_ptr<juce::Component> createDeqPage()
    {
        return std::make_unique<PlaceholderPage> ("DeqPage");
    }

    // The page reaches the panel through globals::panel.
    std::unique_ptr<juce::Component> createSetupPage (RemoteControl&)
    {
        auto page = std::make_unique<CSetupPage>();
        globals::setupPage = page.get();
        return page;
    }

    std::unique_ptr<juce::Component> createUtilityPage()
    {
        return std::make_unique<PlaceholderPage> ("UtilityPage");
    }
}
