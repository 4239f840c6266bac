// The Utility page's layout: where every widget sits.  Colours come from the page look
// (PageLookAndFeel) except the lit buttons'; the behaviour is in CUtilityPage.cpp.

#include "CUtilityPage.h"
#include "Palette.h"
#include "PlaceChild.h"

namespace
{
    constexpr int sourceRadioGroup = 1;

    // A playing generator is worth a warning colour; the other toggles light up amber.
    const juce::Colour toneOn { 0xffd02020 };
    const juce::Colour lit = Palette::amber;
}

void CUtilityPage::buildGenerator()
{
    generatorGroup.setColour (juce::GroupComponent::outlineColourId, Palette::groupOutline);
    placeChild (*this, generatorGroup, "generatorGroup", { 452, 8, 256, 447 });

    placeToggle (testToneButton, "testTone", { 520, 56, 92, 24 }, toneOn);

    placeLabel (*this, levelLabel, "levelLabel", { 460, 116, 76, 20 }, juce::Justification::centredRight);
    placeEntry (levelEntry, "levelEntry", { 540, 116, 50, 20 });
    placeLabel (*this, levelUnitLabel, "levelUnitLabel", { 592, 116, 32, 20 }, juce::Justification::centredLeft);
    placeKnob (levelKnob, "levelKnob", { 628, 108, 40, 40 });

    placeToggle (pinkNoiseButton, "pinkNoise", { 520, 168, 92, 24 }, lit);
    placeToggle (whiteNoiseButton, "whiteNoise", { 520, 208, 92, 24 }, lit);
    placeToggle (sineButton, "sine", { 520, 248, 92, 24 }, lit);
    for (auto* source : { &pinkNoiseButton, &whiteNoiseButton, &sineButton })
        source->setRadioGroupId (sourceRadioGroup, juce::dontSendNotification);

    placeLabel (*this, freqLabel, "freqLabel", { 460, 304, 76, 20 }, juce::Justification::centredRight);
    placeEntry (freqEntry, "freqEntry", { 540, 304, 50, 20 });
    placeLabel (*this, freqUnitLabel, "freqUnitLabel", { 592, 304, 32, 20 }, juce::Justification::centredLeft);
    placeKnob (freqKnob, "freqKnob", { 628, 296, 40, 40 });

    placeLabel (*this, rateLabel, "rateLabel", { 460, 381, 76, 20 }, juce::Justification::centredRight);
    placeEntry (rateEntry, "rateEntry", { 540, 381, 50, 20 });
    placeLabel (*this, rateUnitLabel, "rateUnitLabel", { 592, 381, 32, 20 }, juce::Justification::centredLeft);
    placeKnob (rateKnob, "rateKnob", { 628, 372, 40, 40 });

    placeToggle (sweepButton, "sweep", { 532, 408, 66, 24 }, lit);
}

void CUtilityPage::placeToggle (juce::TextButton& button, const juce::String& id, juce::Rectangle<int> bounds,
                                juce::Colour fillWhenOn)
{
    button.setClickingTogglesState (true);
    PageLookAndFeel::styleLitButton (button, fillWhenOn);
    button.addListener (this);
    placeChild (*this, button, id, bounds);
}

void CUtilityPage::placeEntry (ValueEntry& entry, const juce::String& id, juce::Rectangle<int> bounds)
{
    entry.setSelectAllWhenFocused (true);
    entry.setFont (PageLookAndFeel::textFont());
    placeChild (*this, entry, id, bounds);
}

void CUtilityPage::placeKnob (ParamKnob& knob, const juce::String& id, juce::Rectangle<int> bounds)
{
    knob.addListener (this);
    placeChild (*this, knob, id, bounds);
}

void CUtilityPage::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}
