#pragma once

#include "Cblock.h"

/** The amplifier mode, "/ampmode" ,s: the mode label.  The root's first child.

    Its message is one string; more arguments raise ExcessArgumentException.  A label that
    begins with none of the mode labels leaves the mode as it was.
*/
class Cioampmode : public Cblock
{
public:
    Cioampmode();

    /** Mode indices: 0 dual mono, 1 stereo, 2 and 3 the bi-amp variants, 4 bridged. */
    static constexpr int modeCount = 5;
    static const char* const modeLabels[modeCount];

    Cparam* mode;
};
