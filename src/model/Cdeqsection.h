#pragma once

#include "Cdeq.h"

/** The dynamic EQ section of a channel ("/channel/c/deq"): a folder of two bands. */
class Cdeqsection : public Cnode
{
public:
    static constexpr int bandCount = 2;

    /** id = channel (1..2); bands "1" and "2". */
    explicit Cdeqsection (int channel);

    Cdeq* bands[bandCount];
};
