#pragma once

#include "Cblock.h"

/** One parametric EQ band, "/channel/c/peq/b" ,sfff: type label, freq (Hz), gain (dB), qual. */
class Cpeq : public Cblock
{
public:
    /** Band `band` (1..8) of channel `channel` (1..2); id channel + 256 x band. */
    Cpeq (int channel, int band);

    /** "OFF", "PEQ" (peaking), "LS6", "LS12" (low shelves), "HS6", "HS12" (high shelves). */
    static constexpr int typeCount = 6;
    static const char* const typeLabels[typeCount];

    Cparam* type;
    Cparam* freq;
    Cparam* gain;
    Cparam* qual;
};
