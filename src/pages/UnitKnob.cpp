#include "UnitKnob.h"

#include "EntryNumber.h"

namespace
{
    constexpr int valueBoxWidth = 64;
    constexpr int valueBoxHeight = 20;
}

UnitKnob::UnitKnob (const juce::String& componentName, double minimum, double maximum, double interval, bool valueBox)
    : juce::Slider (juce::Slider::RotaryHorizontalVerticalDrag,
                    valueBox ? juce::Slider::TextBoxBelow : juce::Slider::NoTextBox)
{
    setName (componentName);
    setRange (minimum, maximum, interval);
    if (valueBox)
        setTextBoxStyle (juce::Slider::TextBoxBelow, false, valueBoxWidth, valueBoxHeight);
}

double UnitKnob::getValueFromText (const juce::String& text)
{
    float typed = 0.0f;
    return readEntryNumber (text, typed) ? (double) typed : getValue();
}
