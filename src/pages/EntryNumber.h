#pragma once

#include <juce_core/juce_core.h>

/** Reads the number a user typed into an entry or a knob's value box.

    Blanks around it are ignored and a decimal comma counts as a point ("1,5" is 1.5); the
    number may carry the "k" notation ("2k5"), also written as thousands with decimals
    ("2.5k" and "2,5k" are 2500 too), and be followed by a unit ("12 ms").  Text with no
    digit in front ("abc", "", "-", "."), or a value that is not finite, is no number: the
    result is false and `value` is left alone, so the caller keeps what it had.  Any thread. */
bool readEntryNumber (const juce::String& typed, float& value);

/** The typed text as the number parsers read it, with the rules of readEntryNumber: blanks
    around it dropped, a decimal comma as a point, "2.5k" as "2k5".  For readers that take
    text (a parameter's fromText); the text may still hold no number. */
juce::String entryNumberText (const juce::String& typed);
