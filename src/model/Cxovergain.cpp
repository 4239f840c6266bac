#include "Cxovergain.h"

Cxovergain::Cxovergain (int id)
    : Cblock ("gain", NodeKind::xover, id)
{
    gain = append (Cparam::makeLinear ("gain", NodeKind::xover, -12.0f, 12.0f, 48, "%+5.1f"));
}
