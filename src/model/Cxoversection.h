#pragma once

#include "Cxover.h"
#include "Cxovergain.h"

/** The crossover section of a channel ("/channel/c/xover"): high-pass, low-pass and gain. */
class Cxoversection : public Cnode
{
public:
    /** id = channel (1..2). */
    explicit Cxoversection (int channel);

    Cxover* hp;
    Cxover* lp;
    Cxovergain* gain;
};
