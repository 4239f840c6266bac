#pragma once

#include "AmpMode.h"
#include "Cblock.h"

/** The amplifier mode, "/ampmode" ,s: the mode label.  The root's first child.

    Its message is one string; more arguments raise ExcessArgumentException.  A label that
    begins with none of the mode labels leaves the mode as it was.
*/
class Cioampmode : public Cblock
{
public:
    Cioampmode();

    /** Mode indices, the steps of `mode`: see AmpMode. */
    static constexpr int modeCount = AmpMode::count;
    static const char* const modeLabels[modeCount];

    /** The mode in force. */
    AmpMode getMode() const { return AmpMode::fromStep (mode->getStep()); }

    Cparam* mode;
};
