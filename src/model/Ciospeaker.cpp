#include "Ciospeaker.h"

Ciospeaker::Ciospeaker()
    : Cblock ("speaker", NodeKind::speaker, 0)
{
    value = append (Cparam::makeInt ("value", NodeKind::speaker, 0, 100, "%d"));
}
