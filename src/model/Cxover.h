#pragma once

#include "Cblock.h"

/** A crossover filter, "/channel/c/xover/hp" or ".../lp" ,sf: type label, freq (Hz). */
class Cxover : public Cblock
{
public:
    /** `name` "hp" (id channel) or "lp" (id channel + 256). */
    Cxover (const char* name, int id);

    /** "OFF", then Butterworth, Bessel and Linkwitz-Riley slopes in dB per octave. */
    static constexpr int typeCount = 11;
    static const char* const typeLabels[typeCount];

    Cparam* freq;
    Cparam* type;
};
