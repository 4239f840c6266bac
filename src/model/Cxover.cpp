#include "Cxover.h"
#include "CommonParams.h"

const char* const Cxover::typeLabels[Cxover::typeCount] = { "OFF",   "BUT6",  "BUT12", "BES12", "LR12", "BUT18",
                                                            "BUT24", "BES24", "LR24",  "BUT48", "LR48" };

Cxover::Cxover (const char* name, int id)
    : Cblock (name, NodeKind::xover, id)
{
    type = append (Cparam::makeEnum ("type", NodeKind::xover, typeLabels, typeCount));
    freq = append (commonParams::makeFrequency (NodeKind::xover));
}
