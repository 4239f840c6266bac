#pragma once

#include "Cdeqcomp.h"
#include "Cdeqtime.h"
#include "Cdeqfilt.h"

/** A dynamic EQ band ("/channel/c/deq/b"): a folder of its compressor, time and filter blocks. */
class Cdeq : public Cnode
{
public:
    /** Band `band` (1..2) of channel `channel` (1..2); id channel + 256 x band. */
    Cdeq (int channel, int band);

    Cdeqcomp* comp;
    Cdeqtime* time;
    Cdeqfilt* filt;
};
