#include "Cioampmode.h"

const char* const Cioampmode::modeLabels[Cioampmode::modeCount] = { "DUAL", "STEREO", "BIAMP1", "BIAMP2", "BRIDGE" };

Cioampmode::Cioampmode()
    : Cblock ("ampmode", NodeKind::io, 0)
{
    mode = append (Cparam::makeEnum ("mode", NodeKind::io, modeLabels, modeCount));
}
