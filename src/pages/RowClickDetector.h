#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

/** Tells a list's clicks from its drags.

    A list box reports a press on a row that is not selected at once, before anyone knows
    whether a drag follows.  This watches the list's mouse events instead and reports a
    click only when the button went down and up on the same row without moving on the way
    (however long it was held); any other release is reported as such.  Message thread only.
*/
class RowClickDetector : private juce::MouseListener
{
public:
    /** Watches `list` (which must outlive this object). */
    explicit RowClickDetector (juce::ListBox& list);
    ~RowClickDetector() override;

    /** A click on `row`. */
    std::function<void (int row)> onClick;

    /** The button went up after a drag, or off the row it went down on. */
    std::function<void()> onOtherRelease;

private:
    void mouseDown (const juce::MouseEvent& event) override;
    void mouseUp (const juce::MouseEvent& event) override;
    int rowAt (const juce::MouseEvent& event) const;

    juce::ListBox& list;
    int pressedRow = -1;

    JUCE_DECLARE_NON_COPYABLE (RowClickDetector)
};
