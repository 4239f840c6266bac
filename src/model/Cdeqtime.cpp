#include "Cdeqtime.h"
#include "CommonParams.h"

Cdeqtime::Cdeqtime (int bandId)
    : Cblock ("time", NodeKind::deq, bandId + NodeId::deqTime)
{
    att = append (Cparam::makeLinear ("att", NodeKind::deq, 0.0f, 200.0f, 400, "%4.1f"));
    rel = append (commonParams::makeRelease (NodeKind::deq));
}
