#pragma once

#include <oscpack/osc/OscOutboundPacketStream.h>
#include <atomic>
#include <cstring>
#include <memory>

/** One finished outbound OSC message in its own 64-byte buffer.

    Every message the program sends is built in one of these (never a bundle); ownership
    passes to the hub with sendPacket().  The stream points into the object's own buffer,
    so a packet is neither copied nor moved: it travels as a std::unique_ptr.
*/
class OutboundPacket
{
public:
    static constexpr std::size_t capacity = 64;

    OutboundPacket()
        : stream (buffer, capacity)
    {
        ++liveCount;
    }
    ~OutboundPacket() { --liveCount; }
    OutboundPacket (const OutboundPacket&) = delete;
    OutboundPacket& operator= (const OutboundPacket&) = delete;

    osc::OutboundPacketStream stream;

    const char* data() const { return stream.Data(); }
    std::size_t size() const { return stream.Size(); }

    /** The message's address pattern (the first OSC string of the buffer). */
    const char* address() const { return buffer; }

    /** Packets alive right now, on every thread: lets tests see that handed-over packets are freed. */
    static int live() noexcept { return liveCount.load(); }

private:
    char buffer[capacity] {};
    inline static std::atomic<int> liveCount { 0 };
};

using OutboundPacketPtr = std::unique_ptr<OutboundPacket>;

/** Builds one message with `build` into a fresh packet.  A message that does not fit the
    buffer makes oscpack throw while it is built: the result is then null, so nothing
    half-built is ever sent. */
template <typename Build>
OutboundPacketPtr buildPacket (Build&& build)
{
    auto packet = std::make_unique<OutboundPacket>();
    try
    {
        build (packet->stream);
    }
    catch (const osc::Exception&)
    {
        return nullptr;
    }
    return packet;
}
