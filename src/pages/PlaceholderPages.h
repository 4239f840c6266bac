#pragma once

// TEMPORARY: stand-ins for the editor pages that are not written yet.  Each is a black
// component of the page size carrying the page's component name, with the operations the
// panel calls on the real page.  A finished page replaces its stand-in in the panel (the
// pointer's type and the line that builds it), one at a time, and this file goes once the
// last one is in.

#include <juce_gui_basics/juce_gui_basics.h>

/** A black component of the page size with the given component name (the Utility page). */
class PlaceholderPage : public juce::Component
{
public:
    static constexpr int pageWidth = 720;
    static constexpr int pageHeight = 470;

    explicit PlaceholderPage (const juce::String& name);
    void paint (juce::Graphics& g) override;
};

/** Stands in for the Configuration page, which the panel tells the model in use. */
class PlaceholderConfigPage : public PlaceholderPage
{
public:
    PlaceholderConfigPage();

    /** The model index in use, 0..8 (8: no device). */
    void setDeviceModel (int model) { deviceModel = model; }

    int deviceModel = 0;
};

/** Stands in for the Parametric EQ, Filter/Crossover and Dynamic EQ pages, which the panel
    tells each amplifier mode applied. */
class PlaceholderModePage : public PlaceholderPage
{
public:
    explicit PlaceholderModePage (const juce::String& name);

    /** The amplifier mode applied, 0 "DUAL" .. 4 "BRIDGE". */
    void ampModeChanged (int mode) { ampMode = mode; }

    int ampMode = 0;
};
