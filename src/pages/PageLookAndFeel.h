#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The one look of the editor pages: the colours their widgets share (from the palette),
    the rotary knob and a caret that is quiet while its entry has no focus.

    Every page holds it through a SharedResourcePointer and sets it on itself before it
    builds its widgets, so all pages share one instance and look the same inside the panel
    and in tests.  Text editors take their text colour when text goes in: put an editor on
    the page before giving it text.  Message thread only.
*/
class PageLookAndFeel : public juce::LookAndFeel_V4
{
public:
    /** Knob colours: the pointer, the value arc, the track. */
    static inline const juce::Colour knobPointer { 0xff9f2f2f };
    static inline const juce::Colour knobTrack { 0x66000000 };
    static inline const juce::Colour knobBody { 0xff222222 };

    PageLookAndFeel();

    /** A knob: a dark disc, the track around it, the arc from the start to the value in the
        fill colour, and a pointer from the middle towards the value. */
    void drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float position, float startAngle,
                           float endAngle, juce::Slider& slider) override;

    /** A caret that blinks only while its editor has the keyboard focus (FocusCaret). */
    juce::CaretComponent* createCaretComponent (juce::Component* keyFocusOwner) override;

    /** The plain font of labels and entries, 15 pixels. */
    static juce::Font textFont();

    JUCE_DECLARE_NON_COPYABLE (PageLookAndFeel)
};
