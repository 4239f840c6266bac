// Where the controls of a Parametric EQ tab sit and how it paints; the behaviour is in
// CPeqTab.cpp, one band's column in PeqBandColumn.cpp.

#include "CPeqTab.h"
#include "Palette.h"
#include "PlaceChild.h"

namespace
{
    const juce::Colour resetOn { 0xffff2020 };
}

void CPeqTab::buildControls()
{
    bypassButton.setTooltip ("enable/disable");
    bypassButton.setClickingTogglesState (true);
    bypassButton.setColour (juce::TextButton::buttonOnColourId, Palette::alarmRed);
    placeChild (*this, bypassButton, "bypass", { 12, 4, 60, 24 });
    bypassButton.addListener (this);

    resetButton.setTooltip ("enable/disable");
    resetButton.setColour (juce::TextButton::buttonOnColourId, resetOn);
    placeChild (*this, resetButton, "reset", { 12, 40, 60, 24 });
    resetButton.addListener (this);

    using J = juce::Justification;
    placeLabel (*this, gainLabel, "gainLabel", { 6, 72, 60, 20 }, J::centredLeft);
    placeLabel (*this, frequencyLabel, "frequencyLabel", { 6, 140, 77, 20 }, J::centredLeft);
    placeLabel (*this, qualityLabel, "qualityLabel", { 6, 204, 64, 20 }, J::centredLeft);
    placeLabel (*this, typeLabel, "typeLabel", { 6, 232, 56, 20 }, J::centredLeft);

    // Drawn around the column edited last; nothing until the first edit.
    selectionFrame.setColour (juce::GroupComponent::outlineColourId, juce::Colours::white);
    selectionFrame.setInterceptsMouseClicks (false, false);
    placeChild (*this, selectionFrame, "selectionFrame", {});
}

void CPeqTab::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
    g.setColour (Palette::shade);
    for (int j = 0; j < 4; ++j)   // behind bands 1, 3, 5 and 7
        g.fillRoundedRectangle (juce::Rectangle<float> (79.0f + 160.0f * j, 32.0f, 77.0f, 227.0f), 5.0f);
}
