#pragma once

#include "EntryField.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <array>
#include <memory>

/** The 20 amplifier preset slot rows of the Setup page: per slot a numbered radio toggle, a
    read-only field with the slot's name and a label with its amplifier mode.

    The widgets are children of the page (so the toggles form one radio group there and the
    page can paint the boxes behind the mode labels); this class builds, places and updates
    them.  Slots are numbered 1..20; any other number is ignored.  Message thread only.
*/
class SetupPresetRows
{
public:
    static constexpr int slotCount = 20;
    static constexpr int radioGroup = 3;
    /** The mode index shown as "-MODE-": no mode known, or an empty slot. */
    static constexpr int noMode = 5;

    /** Builds the rows at their places on `page` and adds their widgets to it; clicks on a
        slot toggle go to `listener`.  Both must outlive the rows. */
    SetupPresetRows (juce::Component& page, juce::Button::Listener& listener);
    ~SetupPresetRows();

    /** The slot whose toggle `button` is (1..20), or 0 for any other button. */
    int slotOf (const juce::Button* button) const noexcept;

    /** Slot `slot`'s name field shows `name` (with a change notification) and its mode
        label the text of `mode` ("-MODE-" for anything outside 0..5). */
    void setSlot (int slot, int mode, const juce::String& name);

    /** Every slot: an empty name and "-MODE-". */
    void clearAll();

    /** Switches `slot`'s toggle on or off without notification (on turns the others off). */
    void setSelected (int slot, bool selected);

    /** The text of `slot`'s name field ("" for a slot that does not exist). */
    juce::String nameOf (int slot) const;

    /** The text of `slot`'s mode label ("" for a slot that does not exist). */
    juce::String modeOf (int slot) const;

    /** Paints the translucent box behind each mode label (48 x 20, page coordinates). */
    void paintModeBoxes (juce::Graphics& g) const;

    /** "DUAL", "STEREO", "BIAMP1", "BIAMP2", "BRIDGE" for 0..4, "-MODE-" for anything else. */
    static juce::String modeText (int mode);

    /** Where slot `slot`'s widgets sit on the page. */
    static juce::Rectangle<int> toggleBounds (int slot);
    static juce::Rectangle<int> nameBounds (int slot);
    static juce::Rectangle<int> modeBounds (int slot);
    static juce::Rectangle<int> modeBoxBounds (int slot);

private:
    struct Row
    {
        juce::ToggleButton toggle;
        EntryField name;
        juce::Label mode;
    };

    Row* row (int slot) const noexcept;
    static int rowY (int slot) noexcept;
    void buildRow (int slot, juce::Component& page, juce::Button::Listener& listener);

    std::array<std::unique_ptr<Row>, slotCount> rows;

    JUCE_DECLARE_NON_COPYABLE (SetupPresetRows)
};
