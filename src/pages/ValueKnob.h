#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class Cparam;

/** A rotary knob over a value in its unit (dB, ms, dBfs), with or without an editable value
    box below it.

    Bound to a linear parameter (bind), it covers the parameter's range at the parameter's
    resolution (a gain of -12 .. +12 dB in 0.5 dB steps) and writes the value with the
    parameter's text format.  Unbound, it covers the range it was built with (a threshold in
    dBfs that the page turns into volts) and writes the value with the interval's decimals.

    Text typed into the box is read like every entry of the program (readEntryNumber): blanks
    around it ignored, a decimal comma read as a point, "k" for thousands, out-of-range values
    held at the nearest end, and text with no number in it ("abc", nothing) leaves the knob
    where it was, so nothing is sent.

    Like ParamKnob it only mirrors: the page listens to it, stores getValue() with the
    parameter's setValue and sends the block; after a change message it calls showParam().
    The box's colours come from the page look.  Message thread only.
*/
class ValueKnob : public juce::Slider
{
public:
    /** A knob to bind() to a parameter, with a value box of `boxWidth` x `boxHeight`. */
    ValueKnob (const juce::String& componentName, int boxWidth, int boxHeight);

    /** A knob over `minimum` .. `maximum` in steps of `interval` that no parameter backs,
        with a value box of `boxWidth` x `boxHeight` below it, or none when `boxWidth` is 0. */
    ValueKnob (const juce::String& componentName, double minimum, double maximum, double interval, int boxWidth = 0,
               int boxHeight = 0);

    /** Mirrors `param` (a linear parameter that must outlive the knob) from now on, and
        shows its value. */
    void bind (Cparam& param);

    /** Moves to the parameter's value without notification. */
    void showParam();

    Cparam* getParam() const noexcept { return param; }

    /** The typed value, clamped to the range; the knob's own value when the text holds no
        number. */
    double getValueFromText (const juce::String& text) override;
    juce::String getTextFromValue (double value) override;

private:
    Cparam* param = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ValueKnob)
};
