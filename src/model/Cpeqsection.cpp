#include "Cpeqsection.h"

Cpeqsection::Cpeqsection (int channel)
    : Cnode ("peq", NodeKind::peq, channel)
{
    for (int b = 0; b < bandCount; ++b)
        bands[b] = append (new Cpeq (channel, b + 1));
}
