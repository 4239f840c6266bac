#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

/** A small button of the panel's right-hand column whose tooltip is made when it is shown
    (the Undo button names the step it would take back, which changes with every edit). */
class HistoryButton : public juce::TextButton
{
public:
    /** `componentName` is also its component ID. */
    HistoryButton (const juce::String& componentName, const juce::String& text);

    /** Makes the tooltip text; empty shows none. */
    std::function<juce::String()> tooltipText;

    juce::String getTooltip() override;

    /** The look's face, with the text across nearly the whole width: the buttons are
        small, and the look keeps a margin of a corner's size each side. */
    void paintButton (juce::Graphics& g, bool highlighted, bool down) override;
};
