// Where the controls of a Parametric EQ tab sit and how it paints; the behaviour is in
// CPeqTab.cpp, one band's column in PeqBandColumn.cpp.

#include "CPeqTab.h"
#include "Palette.h"

namespace
{
    const juce::Colour columnShade { 0xff222222 };
    const juce::Colour bypassOn { 0xffff0000 };
    const juce::Colour resetOn { 0xffff2020 };
}

void CPeqTab::buildControls()
{
    bypassButton.setTooltip ("enable/disable");
    bypassButton.setClickingTogglesState (true);
    bypassButton.setColour (juce::TextButton::buttonOnColourId, bypassOn);
    place (bypassButton, "bypass", { 12, 4, 60, 24 });
    bypassButton.addListener (this);

    resetButton.setTooltip ("enable/disable");
    resetButton.setColour (juce::TextButton::buttonOnColourId, resetOn);
    place (resetButton, "reset", { 12, 40, 60, 24 });
    resetButton.addListener (this);

    for (auto* label : { &gainLabel, &frequencyLabel, &qualityLabel, &typeLabel })
    {
        label->setFont (PageLookAndFeel::textFont());
        label->setJustificationType (juce::Justification::centredLeft);
    }
    place (gainLabel, "gainLabel", { 6, 72, 60, 20 });
    place (frequencyLabel, "frequencyLabel", { 6, 140, 77, 20 });
    place (qualityLabel, "qualityLabel", { 6, 204, 64, 20 });
    place (typeLabel, "typeLabel", { 6, 232, 56, 20 });

    // Drawn around the column edited last; nothing until the first edit.
    selectionFrame.setColour (juce::GroupComponent::outlineColourId, juce::Colours::white);
    selectionFrame.setInterceptsMouseClicks (false, false);
    place (selectionFrame, "selectionFrame", {});
}

void CPeqTab::place (juce::Component& widget, const juce::String& id, juce::Rectangle<int> bounds)
{
    widget.setComponentID (id);
    widget.setBounds (bounds);
    addAndMakeVisible (widget);
}

void CPeqTab::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
    g.setColour (columnShade);
    for (int j = 0; j < 4; ++j)   // behind bands 1, 3, 5 and 7
        g.fillRoundedRectangle (juce::Rectangle<float> (79.0f + 160.0f * j, 32.0f, 77.0f, 227.0f), 5.0f);
}
