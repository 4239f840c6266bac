#pragma once

#include "Palette.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** A vertical bar of LED-like segments showing a level in dB.

    It draws only what its owner last set: no timer, no decay, no peak hold.  The owner
    writes the public fields and then calls repaint().  Segment 0 is at the top; a segment
    is lit when its threshold lies strictly below the level.  Message thread only.
*/
class led_meter : public juce::Component
{
public:
    /** `name` becomes the component name. */
    explicit led_meter (const juce::String& name);

    void paint (juce::Graphics& g) override;

    /** Threshold of the bottom segment, dB. */
    double floorLevel = -60.0;
    /** Threshold of the top segment, dB. */
    double topLevel = 0.0;
    /** The level shown, dB; the default lies below any sensible floor (nothing lit). */
    double level = -100.0;
    /** Number of segments; below 1 only the background is drawn. */
    int segmentCount = 10;

    juce::Colour litColour { Palette::amber };
    juce::Colour unlitColour { 0xff000000 };
    /** The top three segments use these instead. */
    juce::Colour topLitColour { 0xfffff44f };
    juce::Colour topUnlitColour { 0xff000000 };

    /** The gaps between segments show this. */
    static constexpr juce::uint32 backgroundArgb = 0x20fdbb30;
    /** Pixels between two segments. */
    static constexpr int gap = 2;
    /** How many segments at the top use the top colours. */
    static constexpr int topSegments = 3;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (led_meter)
};
