#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class Cparam;

/** A rotary knob over a parameter's value, with an editable value box below it.

    The knob covers the parameter's range in its own unit at the parameter's resolution (a
    gain of -12 .. +12 dB in 0.5 dB steps) and writes the value with the parameter's text
    format.  Text typed into the box is read like every entry of the program: blanks around
    it ignored, "k" for thousands, out-of-range values held at the nearest end, and text
    with no number in it ("abc", nothing) leaves the knob where it was, so nothing is sent.

    Like ParamKnob it only mirrors the parameter: the page listens to it, stores getValue()
    with the parameter's setValue and sends the block; after a change message it calls
    showParam().  Message thread only.
*/
class ValueKnob : public juce::Slider
{
public:
    /** A rotary knob with a value box of `boxWidth` x `boxHeight` below it. */
    ValueKnob (const juce::String& componentName, int boxWidth, int boxHeight);

    /** Mirrors `param` (a linear parameter that must outlive the knob) from now on, and
        shows its value. */
    void bind (Cparam& param);

    /** Moves to the parameter's value without notification. */
    void showParam();

    double getValueFromText (const juce::String& text) override;
    juce::String getTextFromValue (double value) override;

private:
    Cparam* param = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ValueKnob)
};
