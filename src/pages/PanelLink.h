#pragma once

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
};
