#include "PacketSink.h"
#include "Globals.h"

void sendPacket (OutboundPacketPtr packet)
{
    if (packet == nullptr)
        return;

    if (auto* sink = globals::packetSink)
        sink->sendPacket (std::move (packet));
    // Otherwise the packet goes out of scope here: offline, nothing is sent.
}
