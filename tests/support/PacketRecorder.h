#pragma once

#include "PacketSink.h"
#include "Globals.h"
#include <oscpack/osc/OscReceivedElements.h>
#include <stdexcept>
#include <string>
#include <vector>

/** Installs itself as the packet sink for its lifetime and keeps every message handed over. */
class PacketRecorder : public PacketSink
{
public:
    PacketRecorder()
        : installed (globals::packetSink, this)
    {
    }

    void sendPacket (OutboundPacketPtr packet) override { packets.push_back (std::move (packet)); }

    std::size_t count() const { return packets.size(); }
    std::string address (std::size_t i) const { return packets.at (i)->address(); }
    std::vector<char> bytes (std::size_t i) const
    {
        const auto& p = *packets.at (i);
        return { p.data(), p.data() + p.size() };
    }
    /** The message parsed back, for reading its arguments. */
    osc::ReceivedMessage message (std::size_t i) const
    {
        const auto& p = *packets.at (i);
        return osc::ReceivedMessage (osc::ReceivedPacket (p.data(), (osc::osc_bundle_element_size_t) p.size()));
    }
    /** Every message's address, oldest first. */
    std::vector<std::string> addresses() const
    {
        std::vector<std::string> list;
        for (std::size_t i = 0; i < count(); ++i)
            list.push_back (address (i));
        return list;
    }

    /** Argument `index` (0 the first) of message `i`; throws, failing the test, past the last. */
    osc::ReceivedMessageArgument argument (std::size_t i, int index) const
    {
        const auto m = message (i);
        auto args = m.ArgumentsBegin();
        for (int skip = 0; skip < index && args != m.ArgumentsEnd(); ++skip)
            ++args;
        if (args == m.ArgumentsEnd())
            throw std::out_of_range ("message " + std::to_string (i) + " has no argument " + std::to_string (index));
        return *args;
    }

    void clear() { packets.clear(); }

    std::vector<OutboundPacketPtr> packets;

private:
    ScopedGlobal<PacketSink*> installed;
};
