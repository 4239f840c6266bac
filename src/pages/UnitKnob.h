#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A rotary knob over a value in its own unit (milliseconds, dBfs), with or without a value
    box below it.

    Unlike a plain slider, text typed into the value box that holds no number ("abc", "",
    "-") leaves the knob where it is instead of reading as 0; a decimal comma reads as a
    point; the range clamps the rest.  Draws with the page look.  Message thread only. */
class UnitKnob : public juce::Slider
{
public:
    /** A knob over minimum .. maximum in steps of `interval`; `valueBox` puts an editable
        box showing the value below it. */
    UnitKnob (const juce::String& componentName, double minimum, double maximum, double interval, bool valueBox);

    /** The typed value, or the knob's own value when the text holds no number. */
    double getValueFromText (const juce::String& text) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UnitKnob)
};
