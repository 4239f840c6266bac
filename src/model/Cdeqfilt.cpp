#include "Cdeqfilt.h"
#include "CommonParams.h"

const char* const Cdeqfilt::typeLabels[Cdeqfilt::typeCount] = { "OFF", "BP", "LP6", "LP12", "HP6", "HP12" };

Cdeqfilt::Cdeqfilt (int bandId)
    : Cblock ("filt", NodeKind::deq, bandId + NodeId::deqFilt)
{
    type = append (Cparam::makeEnum ("type", NodeKind::deq, typeLabels, typeCount));
    freq = append (commonParams::makeFrequency (NodeKind::deq));
    qual = append (commonParams::makeQuality (NodeKind::deq));
}
