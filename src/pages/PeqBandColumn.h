#pragma once

#include "ParamKnob.h"
#include "ValueEntry.h"
#include "ValueKnob.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class Cparam;
class Cpeq;

/** The controls of one Parametric EQ band: its column on a channel tab.

    The widgets are children of the tab, which listens to them and decides what to send;
    this class builds and places them (CPeqTabLayout.cpp) and mirrors the band into them
    without notification.  Message thread only.
*/
class PeqBandColumn
{
public:
    /** Band `band` (0..7) of `tab`, mirroring `block` (which must outlive the column). */
    PeqBandColumn (juce::Component& tab, int band, Cpeq& block);
    ~PeqBandColumn();

    /** The left edge of band `band`'s column. */
    static int columnX (int band) { return 84 + 80 * band; }

    /** Every control shows the band's values; the button and list only for a type other than
        "OFF" (an "OFF" band keeps the type its list shows).  Nothing is notified. */
    void showBand();

    /** The quality controls are shown for "PEQ" only: shelves have no quality. */
    void showQualityForSelectedType();

    /** True for the column's button, knobs and type list. */
    bool owns (const juce::Component* control) const
    {
        return control == &filterButton || control == &gainKnob || control == &freqKnob || control == &qualKnob
               || control == &typeCombo;
    }

    /** The type the list shows: 1 "PEQ" .. 5 "HS12". */
    int selectedType() const { return typeCombo.getSelectedId(); }

    const int band;
    Cpeq& block;
    juce::TextButton filterButton;
    ValueKnob gainKnob { "EQ gain ", 80, 20 };
    juce::Label dbLabel { {}, "dB" };
    ParamKnob freqKnob;
    ValueEntry freqEditor { "freq text editor" };
    juce::Label hzLabel { {}, "Hz" };
    ParamKnob qualKnob;
    ValueEntry qualEditor { "qual text editor" };
    juce::ComboBox typeCombo { "FilterType" };

private:
    std::unique_ptr<juce::LookAndFeel> typeListLook;

    void placeStepControls (juce::Component& tab, ParamKnob& knob, ValueEntry& entry, Cparam& param,
                            const juce::String& role, const juce::String& number, int knobTop, int maxLength);

    JUCE_DECLARE_NON_COPYABLE (PeqBandColumn)
};
