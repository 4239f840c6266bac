#pragma once

#include "Cblock.h"

/** The speaker setting, "/speaker" ,i: the load of output A in ohms (0 none, 2, 4, 8, 16)
    or, with a constant-voltage output, the line voltage (70, 100).

    Standalone: built by the Configuration page and sent with "/speaker". */
class Ciospeaker : public Cblock
{
public:
    Ciospeaker();

    /** 0 .. 100. */
    Cparam* value;
};
