#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A single lamp showing a clip or limit state.

    The owner sets `lit` and calls repaint(); the whole area is drawn in one colour.
    Message thread only.
*/
class led_clip : public juce::Component
{
public:
    /** `name` becomes the component name. */
    explicit led_clip (const juce::String& name);

    void paint (juce::Graphics& g) override;

    juce::Colour litColour { 0xffff0000 };
    juce::Colour unlitColour { 0xff000000 };
    bool lit = false;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (led_clip)
};
