#pragma once

#include "Cblock.h"

/** The peak limiter, "/channel/c/limiter" ,fff: thres (volts peak), rel (ms), hold (ms). */
class Climiter : public Cblock
{
public:
    /** id = channel (1..2). */
    explicit Climiter (int channel);

    /** 0.1 .. 165 volts peak in 0.01 V steps. */
    Cparam* thres;
    /** 0 .. 2000 ms in 2.5 ms steps. */
    Cparam* hold;
    /** 20 .. 4000 ms in 2.5 ms steps. */
    Cparam* rel;
};
