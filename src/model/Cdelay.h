#pragma once

#include "Cblock.h"

/** Delay and polarity, "/channel/c/delay" ,fi: del (ms, float32), pol (degrees, int32). */
class Cdelay : public Cblock
{
public:
    /** id = channel (1..2). */
    explicit Cdelay (int channel);

    /** 0 .. 300 ms in 0.01 ms steps. */
    Cparam* del;
    /** 0 .. 180 degrees; 0 and 180 are the ones in use. */
    Cparam* pol;
};
