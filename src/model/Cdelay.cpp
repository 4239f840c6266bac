#include "Cdelay.h"

Cdelay::Cdelay (int channel)
    : Cblock ("delay", NodeKind::delay, channel)
{
    del = append (Cparam::makeLinear ("del", NodeKind::delay, 0.0f, 300.0f, 30000, "%6.2f"));
    pol = append (Cparam::makeInt ("pol", NodeKind::delay, 0, 180, "%d"));
}
