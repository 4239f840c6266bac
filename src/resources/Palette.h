#pragma once

// The colours the panel and every page share, kept in one place so that a label or a button
// on one page matches the next.  A colour that only one widget has stays with that widget.

#include <juce_graphics/juce_graphics.h>

namespace Palette
{
    /** Labels, group titles, entries and value boxes: the quiet text. */
    inline const juce::Colour textGrey { 0xffa8a8a8 };

    /** The lit colour: meter segments, the panel's button text, the connected device's row,
        the knobs' value arc and channel A's curves. */
    inline const juce::Colour amber { 0xfffdbb30 };

    /** Button faces, the panel's plates and the band behind the pages' channel tabs. */
    inline const juce::Colour plate { 0xff333333 };

    /** The darkest grey: knob bodies, the Parametric EQ's column shading, the window. */
    inline const juce::Colour shade { 0xff222222 };

    /** The tab colour of the panel's pages and of the pages' channel tabs. */
    inline const juce::Colour tab { 0xff606060 };

    /** The outline of the group frames. */
    inline const juce::Colour groupOutline { 0xff5c5c5c };

    /** Channel B's curves. */
    inline const juce::Colour channelB { 0xff2e79ff };

    /** The outline of the entries and the knobs' value boxes, on a transparent background. */
    inline const juce::Colour boxOutline { 0x50ffffff };

    /** The knobs' pointer and the faders' thumbs. */
    inline const juce::Colour knobPointer { 0xff9f2f2f };

    /** What must be seen at once: "Mute" and "Bypass" when on. */
    inline const juce::Colour alarmRed { 0xffff0000 };
}
