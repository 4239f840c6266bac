#pragma once

#include <juce_core/juce_core.h>

/** What the editor pages tell the main panel.

    The panel implements it and hands it to the pages that need it when it builds them
    (see docs/pages.md).  Message thread only.
*/
class PanelLink
{
public:
    virtual ~PanelLink() = default;

    /** Shows model `modelIndex` (0..7, or ModelTable::noDevice; anything else reads as no
        device): window title, Utility tab, gain controls, and the Configuration page's
        device rules.  From the Setup page when a device is chosen, connected or dropped. */
    virtual void setDeviceLabel (int modelIndex) = 0;

    /** An amplifier mode (0 "DUAL" .. 4 "BRIDGE") was applied: the panel hands it to the
        Parametric EQ, Filter/Crossover and Dynamic EQ pages, in that order.  From the
        Configuration page. */
    virtual void ampModeApplied (int mode) = 0;

    /** The Setup page has read the preset file `fileName` into the tree (and sent it, when
        connected): for the edit history, one step.  From the Setup page. */
    virtual void presetFileLoaded (const juce::String& fileName) { juce::ignoreUnused (fileName); }

    /** The Setup page has asked the amplifier to recall preset slot `slot` (1..20): the
        values it sends next are one step of the edit history.  From the Setup page. */
    virtual void presetSlotRecalled (int slot) { juce::ignoreUnused (slot); }
};
