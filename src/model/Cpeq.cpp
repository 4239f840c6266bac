#include "Cpeq.h"
#include "CommonParams.h"

const char* const Cpeq::typeLabels[Cpeq::typeCount] = { "OFF", "PEQ", "LS6", "LS12", "HS6", "HS12" };

Cpeq::Cpeq (int channel, int band)
    : Cblock (band, NodeKind::peq, channel + 256 * band)
{
    type = append (Cparam::makeEnum ("type", NodeKind::peq, typeLabels, typeCount));
    freq = append (commonParams::makeFrequency (NodeKind::peq));
    gain = append (commonParams::makeEqGain ("gain", NodeKind::peq));
    qual = append (commonParams::makeQuality (NodeKind::peq));
}
