#pragma once

#include <juce_core/juce_core.h>

/** The size the window is drawn at on high-resolution screens.

    The layout is in fixed pixels (912 x 516).  JUCE scales it by the desktop's own factor
    where it finds one (the X settings' window scaling factor, or the GNOME settings); many
    desktops announce their scale only as the GDK_SCALE variable or as the Xft.dpi X resource,
    which JUCE does not read.  This reads those, so the window is readable at 2x everywhere.
*/
namespace desktopscale
{
    /** The factor a desktop announces outside JUCE's reach: GDK_SCALE when it is a whole number
        of at least 1, otherwise Xft.dpi from `xResources` (the X resource text, "Xft.dpi: 192"
        lines) divided by 96, otherwise 1.  Anything unreadable counts as absent; the result is
        kept within 1 .. 4, so a stray setting never shrinks the window or blows it up beyond
        a screen. */
    double announcedFactor (const char* gdkScale, const juce::String& xResources);

    /** At start-up, before the first window: when JUCE's display scale is 1, sets the program's
        scale to the announced factor.  Message thread. */
    void followDesktop();
}
