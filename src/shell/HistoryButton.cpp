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

void HistoryButton::paintButton (juce::Graphics& g, bool highlighted, bool down)
{
    auto& look = getLookAndFeel();
    look.drawButtonBackground (g, *this, findColour (juce::TextButton::buttonColourId), highlighted, down);

    const auto colour = findColour (getToggleState() ? juce::TextButton::textColourOnId
                                                     : juce::TextButton::textColourOffId);
    g.setColour (colour.withMultipliedAlpha (isEnabled() ? 1.0f : 0.5f));
    g.setFont (look.getTextButtonFont (*this, getHeight()));
    g.drawFittedText (getButtonText(), getLocalBounds().reduced (2, 0), juce::Justification::centred, 1, 0.8f);
}
