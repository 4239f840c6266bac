#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class Cparam;

/** A rotary knob over a parameter's whole steps: position n is step n (range minStep ..
    maxStep, thousandths of a logarithmic parameter counted as whole steps), interval 1.

    The knob only mirrors the parameter: the page listens to the knob as to any slider,
    stores getStep() with the parameter's setStep and sends the block; after a change
    message it calls showParam().  It draws with the page look (PageLookAndFeel).
    Message thread only.
*/
class ParamKnob : public juce::Slider
{
public:
    /** A rotary knob without a value box, dragged up/down or around. */
    explicit ParamKnob (const juce::String& componentName = {});

    /** Mirrors `param` (which must outlive the knob) from now on, and shows its step. */
    void bind (Cparam& param);

    /** Moves to the parameter's step without notification. */
    void showParam();

    /** The knob's position as a whole step. */
    int getStep() const;

    Cparam* getParam() const noexcept { return param; }

private:
    Cparam* param = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ParamKnob)
};
