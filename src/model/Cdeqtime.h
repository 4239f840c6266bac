#pragma once

#include "Cblock.h"

/** A dynamic EQ band's timing, ".../deq/b/time" ,ff: att (ms), rel (ms). */
class Cdeqtime : public Cblock
{
public:
    /** `bandId` is the band's id (channel + 256 x band); this block's id adds NodeId::deqTime. */
    explicit Cdeqtime (int bandId);

    Cparam* att;
    Cparam* rel;
};
