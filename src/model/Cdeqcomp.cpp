#include "Cdeqcomp.h"
#include "CommonParams.h"

Cdeqcomp::Cdeqcomp (int bandId)
    : Cblock ("comp", NodeKind::deq, bandId + NodeId::deqComp)
{
    mgain = append (commonParams::makeEqGain ("mgain", NodeKind::deq));
    thres = append (Cparam::makeLinear ("thres", NodeKind::deq, -60.0f, 0.0f, 60, "%5.1f"));
    ratio = append (Cparam::makeLinear ("ratio", NodeKind::deq, 2.0f, 100.0f, 196, "%3.1f"));
}
