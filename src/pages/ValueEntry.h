#pragma once

#include "EntryField.h"

#include <functional>

class Cparam;

/** A one-line entry that edits a value through its text, the way every entry of the
    program does.

    Return reads the typed text, blanks around it ignored, into the value (which clamps it);
    then the entry shows the value's own text again with all of it selected.  Text the value
    cannot read ("abc", nothing at all) leaves the value as it was.  Losing the keyboard
    focus drops whatever was typed and shows the value's text with the caret at the start.
    After either, the owner's hook runs: the owner decides what to send.

    The value is whatever the binding reads and writes: a parameter of the tree (bind
    (Cparam&)), or any source and sink (a fader).  Without a binding the entry keeps its
    text.  Message thread only.
*/
class ValueEntry : public EntryField
{
public:
    struct Binding
    {
        /** The value as the entry shows it. */
        std::function<juce::String()> text;
        /** Stores the typed text (already trimmed) in the value; false when it holds no
            value, and the value must then be left as it was. */
        std::function<bool (const juce::String& typed)> read;
    };

    /** A single-line entry; Return does not start a new line. */
    explicit ValueEntry (const juce::String& componentName = {});

    /** Edits the value of `binding` from now on; the text changes at the next showValue(),
        Return or focus change. */
    void bind (Binding binding);

    /** Edits `param` (which must outlive the entry) through its fromText and toText, as
        bind (Binding). */
    void bind (Cparam& param);

    /** Shows the value's text again (after the value changed elsewhere); nothing is sent. */
    void showValue();

    /** After Return, with the value read and its text shown. */
    std::function<void()> onCommit;

    /** After the focus went and the typed text was dropped. */
    std::function<void()> onRevert;

    /** Return as the user presses it: read, show, select all, onCommit. */
    void commit();

    /** The focus leaving: show the value, caret to the start, onRevert. */
    void revert();

private:
    void returnKeyPressed() override { commit(); }
    void focusWentElsewhere() override { revert(); }

    Binding binding;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ValueEntry)
};
