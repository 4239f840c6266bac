#include "Cchannel.h"

Cchannel::Cchannel (int channel)
    : Cnode (channel, NodeKind::channel, channel)
{
    peq = append (new Cpeqsection (channel));
    xover = append (new Cxoversection (channel));
    deq = append (new Cdeqsection (channel));
    delay = append (new Cdelay (channel));
    limiter = append (new Climiter (channel));
}
