#pragma once

// TEMPORARY: stand-ins for the editor pages that are not written yet.  Each is a black
// component of the page size carrying the page's component name.  A finished page replaces
// its factory (and its stand-in class) here, one at a time, and this file goes once the last
// one is in.

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class RemoteControl;

/** A black component of the page size with the given component name. */
class PlaceholderPage : public juce::Component
{
public:
    static constexpr int pageWidth = 720;
    static constexpr int pageHeight = 470;

    explicit PlaceholderPage (const juce::String& name);
    void paint (juce::Graphics& g) override;
};

/** Stands in for the Configuration page, which is told the connected model. */
class PlaceholderConfigPage : public PlaceholderPage
{
public:
    PlaceholderConfigPage();

    int deviceModel = 0;
};

/** How the main panel creates the six pages, in tab order, and tells the Configuration page
    the model in use.  Message thread only. */
namespace pages
{
    std::unique_ptr<juce::Component> createConfigPage();
    /** Tells the Configuration page the model index 0..8 in use (8: no device). */
    void setDeviceModel (juce::Component& configPage, int model);

    std::unique_ptr<juce::Component> createXoverPage();
    std::unique_ptr<juce::Component> createPeqPage();
    std::unique_ptr<juce::Component> createDeqPage();

    /** The Setup page (published as globals::setupPage); the component is also the hub's
        osc::SetupOperations. */
    std::unique_ptr<juce::Component> createSetupPage (RemoteControl& panel);

    std::unique_ptr<juce::Component> createUtilityPage();
}
