#include "Cdeqsection.h"

Cdeqsection::Cdeqsection (int channel)
    : Cnode ("deq", NodeKind::deq, channel)
{
    for (int b = 0; b < bandCount; ++b)
        bands[b] = append (new Cdeq (channel, b + 1));
}
