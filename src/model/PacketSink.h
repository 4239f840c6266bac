#pragma once

#include "OutboundPacket.h"

/** Whatever takes finished outbound messages: the hub in the program, a recorder in tests. */
class PacketSink
{
public:
    virtual ~PacketSink() = default;

    /** Takes ownership of a complete message; may be called from the sweep thread too. */
    virtual void sendPacket (OutboundPacketPtr packet) = 0;
};

/** The one outbound hand-off.  Passes the packet to globals::packetSink; with none
    installed (no hub yet) the packet is freed and nothing is sent. */
void sendPacket (OutboundPacketPtr packet);

/** Builds a message with `build` into a fresh packet and hands it to sendPacket().
    A message that does not fit 64 bytes is dropped here (oscpack throws while it is
    built) and false is returned; nothing half-built is ever sent. */
template <typename Build>
bool buildAndSend (Build&& build)
{
    auto packet = buildPacket (std::forward<Build> (build));
    if (packet == nullptr)
        return false;
    sendPacket (std::move (packet));
    return true;
}
