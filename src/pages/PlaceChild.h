#pragma once

#include "PageLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The one way the pages' layouts put a widget in place.  Message thread only.

/** Puts `child` on `parent` at `bounds` (in the parent's pixels), visible, under the
    component ID `id` by which tests and tools find it. */
inline void placeChild (juce::Component& parent, juce::Component& child, const juce::String& id,
                        juce::Rectangle<int> bounds)
{
    child.setComponentID (id);
    child.setBounds (bounds);
    parent.addAndMakeVisible (child);
}

/** Puts a label as placeChild does, in the pages' plain font, its text placed by
    `justification`. */
inline void placeLabel (juce::Component& parent, juce::Label& label, const juce::String& id,
                        juce::Rectangle<int> bounds, juce::Justification justification)
{
    label.setFont (PageLookAndFeel::textFont());
    label.setJustificationType (justification);
    placeChild (parent, label, id, bounds);
}
