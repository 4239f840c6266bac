#pragma once

#include "EntryField.h"
#include "Palette.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The one look of the editor pages: the colours their widgets share (from the palette),
    the rotary knob with its value box, the transparent entries and a caret that is quiet
    while its entry has no focus.

    Every page holds it through a SharedResourcePointer and sets it on itself before it
    builds its widgets, so all pages share one instance and look the same inside the panel
    and in tests.  An entry's editor takes the colours of its entry when it opens.  Message thread only.
*/
class PageLookAndFeel : public juce::LookAndFeel_V4
{
public:
    /** Knob colours: the pointer, the track where the value arc is not, the body. */
    static inline const juce::Colour knobPointer = Palette::knobPointer;
    static inline const juce::Colour knobTrack { 0x66000000 };
    static inline const juce::Colour knobBody = Palette::shade;
    /** The entries' caret. */
    static inline const juce::Colour caret { 0xfff0ffff };

    PageLookAndFeel();

    /** A knob: a dark disc, the track around it, the arc from the start to the value in the
        fill colour, and a pointer from the middle towards the value. */
    void drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float position, float startAngle,
                           float endAngle, juce::Slider& slider) override;

    /** A caret that blinks only while its editor has the keyboard focus (FocusCaret). */
    juce::CaretComponent* createCaretComponent (juce::Component* keyFocusOwner) override;

    /** The plain font of labels and entries, 15 pixels. */
    static juce::Font textFont();

    /** The entries that sit among knobs (frequencies, qualities, the panel's gains): grey
        text in the plain font on a transparent background, with the outline and the caret
        of the knobs' value boxes; at most `maxLength` characters (0: any number). */
    static void styleTransparentEntry (EntryField& entry, int maxLength = 0);

    /** An on/off button that keeps its face and shows its state by its text: amber when
        off, grey when on (the band and "X-Over" buttons, the panel's gain buttons).  On,
        the face becomes `faceWhenOn`. */
    static void styleSwitchButton (juce::TextButton& button, juce::Colour faceWhenOn = Palette::plate);

    /** A button that lights up when on: `faceWhenOn` with black text (the mode buttons,
        "Phase", the generator's buttons). */
    static void styleLitButton (juce::TextButton& button, juce::Colour faceWhenOn = Palette::amber);

    JUCE_DECLARE_NON_COPYABLE (PageLookAndFeel)
};
