#include "ValueKnob.h"

#include "EntryNumber.h"

#include "Cparam.h"
#include "NumberText.h"

ValueKnob::ValueKnob (const juce::String& componentName, int boxWidth, int boxHeight)
    : juce::Slider (juce::Slider::RotaryHorizontalVerticalDrag, juce::Slider::TextBoxBelow)
{
    setName (componentName);
    setTextBoxStyle (juce::Slider::TextBoxBelow, false, boxWidth, boxHeight);
}

ValueKnob::ValueKnob (const juce::String& componentName, double minimum, double maximum, double interval, int boxWidth,
                      int boxHeight)
    : juce::Slider (juce::Slider::RotaryHorizontalVerticalDrag,
                    boxWidth > 0 ? juce::Slider::TextBoxBelow : juce::Slider::NoTextBox)
{
    setName (componentName);
    setRange (minimum, maximum, interval);
    if (boxWidth > 0)
        setTextBoxStyle (juce::Slider::TextBoxBelow, false, boxWidth, boxHeight);
}

void ValueKnob::bind (Cparam& newParam)
{
    param = &newParam;
    const double interval = newParam.maxStep > 0 ? ((double) newParam.upper - newParam.lower) / newParam.maxStep : 1.0;
    setRange (newParam.lower, newParam.upper, interval);
    showParam();
}

void ValueKnob::showParam()
{
    if (param != nullptr)
        setValue (param->getValue(), juce::dontSendNotification);
}

double ValueKnob::getValueFromText (const juce::String& text)
{
    float value = 0.0f;
    if (! readEntryNumber (text, value))
        return getValue();
    return juce::jlimit (getMinimum(), getMaximum(), (double) value);
}

juce::String ValueKnob::getTextFromValue (double value)
{
    if (param == nullptr || param->format == nullptr)
        return juce::Slider::getTextFromValue (value);
    char text[64] {};
    formatText (text, sizeof text, param->format, value);
    return juce::String (text).trim();
}
