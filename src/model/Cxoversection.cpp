#include "Cxoversection.h"

Cxoversection::Cxoversection (int channel)
    : Cnode ("xover", NodeKind::xover, channel)
{
    hp = new Cxover ("hp", channel);
    lp = new Cxover ("lp", channel + 256);
    gain = new Cxovergain (channel + 512);
    append (hp);
    append (lp);
    append (gain);
}
