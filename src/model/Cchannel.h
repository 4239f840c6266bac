#pragma once

#include "Cpeqsection.h"
#include "Cxoversection.h"
#include "Cdeqsection.h"
#include "Cdelay.h"
#include "Climiter.h"

/** One amplifier channel ("/channel/1" or "/channel/2"): a folder of its sections and blocks. */
class Cchannel : public Cnode
{
public:
    /** Channel 1 or 2 (its name and id). */
    explicit Cchannel (int channel);

    Cpeqsection* peq;
    Cxoversection* xover;
    Cdeqsection* deq;
    Cdelay* delay;
    Climiter* limiter;
};
