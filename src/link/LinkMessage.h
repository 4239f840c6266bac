#pragma once

#include <juce_events/juce_events.h>

namespace osc
{
    /** Second integer of a posted message: a packet block is attached. */
    constexpr int PacketReceived = 0;
    /** Second integer of a posted message: a link event, its code in the third integer
        (1 or 2: a USB device of that kind was opened; -1 / -2: no answer on USB / network). */
    constexpr int LinkEvent = 1;

    /** Third integer of a packet message: where the packet came from. */
    constexpr int SourceUsb = 2;
    constexpr int SourceNetwork = 3;

    /** Routes of an immediate send: the USB mailbox, the chosen device's UDP address,
        or the query target (broadcast or one amplifier). */
    constexpr int RouteUsb = 1;
    constexpr int RouteDevice = 2;
    constexpr int RouteTarget = 3;

    /** First integer of every message posted to the hub; anything else is ignored. */
    constexpr int messageTag = 0x13467925;

    /** What the transports and the send thread post to the hub's MessageListener.

        Packet messages are (tag, PacketReceived, SourceUsb or SourceNetwork, packet) where
        `packet` is a 4-byte prefix followed by the OSC bytes: the sender's IPv4 address in
        network byte order for UDP, four zero bytes for USB.  The block is sized exactly:
        prefix plus the received payload, nothing after it.  Link events are
        (tag, LinkEvent, code) with an empty block.

        Posted from any thread with MessageListener::postMessage(); JUCE owns and frees it.
    */
    class LinkMessage : public juce::Message
    {
    public:
        LinkMessage (int tagToUse, int kindToUse, int codeToUse, juce::MemoryBlock packetToUse = {})
            : tag (tagToUse), kind (kindToUse), code (codeToUse), packet (std::move (packetToUse))
        {
        }

        int tag, kind, code;
        juce::MemoryBlock packet;
    };
}
