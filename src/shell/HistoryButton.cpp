#include "HistoryButton.h"

#include "Palette.h"

HistoryButton::HistoryButton (const juce::String& componentName, const juce::String& text)
    : juce::TextButton (componentName)
{
    setComponentID (componentName);
    setButtonText (text);
    setColour (juce::TextButton::buttonColourId, Palette::plate);
    setColour (juce::TextButton::buttonOnColourId, Palette::plate);
    setColour (juce::TextButton::textColourOffId, Palette::amber);
    setColour (juce::TextButton::textColourOnId, Palette::amber);
    // A press on it must not take the keyboard focus from the page it acts on.
    setWantsKeyboardFocus (false);
    setMouseClickGrabsKeyboardFocus (false);
}

juce::String HistoryButton::getTooltip()
{
    return tooltipText ? tooltipText() : juce::String();
}
