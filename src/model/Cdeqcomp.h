#pragma once

#include "Cblock.h"

/** A dynamic EQ band's compressor, ".../deq/b/comp" ,fff: mgain (dB), thres (dB), ratio. */
class Cdeqcomp : public Cblock
{
public:
    /** `bandId` is the band's id (channel + 256 x band); this block's id adds NodeId::deqComp. */
    explicit Cdeqcomp (int bandId);

    Cparam* mgain;
    Cparam* thres;
    Cparam* ratio;
};
