#include "Climiter.h"
#include "CommonParams.h"

Climiter::Climiter (int channel)
    : Cblock ("limiter", NodeKind::limiter, channel)
{
    thres = append (Cparam::makeLinear ("thres", NodeKind::limiter, 0.1f, 165.0f, 16490, "%4.1f"));
    rel = append (commonParams::makeRelease (NodeKind::limiter));
    hold = append (Cparam::makeLinear ("hold", NodeKind::limiter, 0.0f, 2000.0f, 800, "%5.1f"));
}
