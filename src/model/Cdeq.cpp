#include "Cdeq.h"

Cdeq::Cdeq (int channel, int band)
    : Cnode (band, NodeKind::deq, channel + 256 * band)
{
    comp = append (new Cdeqcomp (id));
    time = append (new Cdeqtime (id));
    filt = append (new Cdeqfilt (id));
}
