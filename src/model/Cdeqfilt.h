#pragma once

#include "Cblock.h"

/** A dynamic EQ band's filter, ".../deq/b/filt" ,sff: type label, freq (Hz), qual. */
class Cdeqfilt : public Cblock
{
public:
    /** `bandId` is the band's id (channel + 256 x band); this block's id adds NodeId::deqFilt. */
    explicit Cdeqfilt (int bandId);

    /** "OFF", "BP" (band-pass), "LP6", "LP12" (low-pass), "HP6", "HP12" (high-pass). */
    static constexpr int typeCount = 6;
    static const char* const typeLabels[typeCount];

    Cparam* type;
    Cparam* freq;
    Cparam* qual;
};
