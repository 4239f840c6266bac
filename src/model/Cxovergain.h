#pragma once

#include "Cblock.h"

/** The crossover gain, "/channel/c/xover/gain" ,f: gain (dB, -12 .. +12 in 0.5 dB steps). */
class Cxovergain : public Cblock
{
public:
    /** id channel + 512. */
    explicit Cxovergain (int id);

    Cparam* gain;
};
