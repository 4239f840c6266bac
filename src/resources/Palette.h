#pragma once

// The colours the panel and every page share, kept in one place so that a label or a button
// on one page matches the next.

#include <juce_graphics/juce_graphics.h>

namespace Palette
{
    /** Labels, group titles and other quiet text. */
    inline const juce::Colour textGrey { 0xffa8a8a8 };

    /** The lit colour: meter segments, the panel's button text, the connected device's row. */
    inline const juce::Colour amber { 0xfffdbb30 };

    /** Button faces and the panel's plates. */
    inline const juce::Colour plate { 0xff333333 };
}
