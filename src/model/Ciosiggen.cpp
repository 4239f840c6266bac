#include "Ciosiggen.h"
#include "CommonParams.h"

Ciosiggen::Ciosiggen()
    : Cblock ("siggen", NodeKind::io, 0)
{
    input = append (Cparam::makeInt ("input", NodeKind::io, 0, 3, "%d"));
    gain = append (Cparam::makeLinear ("gain", NodeKind::io, -40.0f, 0.0f, 80, "%+5.1f"));
    freq = append (commonParams::makeFrequency (NodeKind::io));
    scan = append (Cparam::makeInt ("scan", NodeKind::io, 5, 30, "%d"));

    arguments[0] = input;
    arguments[1] = gain;
    arguments[2] = freq;
}

void Ciosiggen::decode (osc::ReceivedMessageArgumentStream& args)
{
    decodeArguments (arguments, argumentCount, args);
}

bool Ciosiggen::encode (osc::OutboundPacketStream& stream, const char* address) const
{
    return encodeArguments (stream, address, arguments, argumentCount);
}
