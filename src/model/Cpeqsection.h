#pragma once

#include "Cpeq.h"

/** The parametric EQ section of a channel ("/channel/c/peq"): a folder of eight bands. */
class Cpeqsection : public Cnode
{
public:
    static constexpr int bandCount = 8;

    /** id = channel (1..2); bands "1" .. "8". */
    explicit Cpeqsection (int channel);

    Cpeq* bands[bandCount];
};
