#pragma once

#include "DeviceFamily.h"
#include <juce_events/juce_events.h>
#include <cstdint>

namespace osc
{
    /** First integer of every message posted to the hub; anything else is ignored. */
    constexpr int messageTag = 0x13467925;

    /** Which transport a received packet came from. */
    enum class PacketSource
    {
        usb,
        network
    };

    /** What happened on a link, as the transports and the send thread report it. */
    enum class LinkEvent
    {
        usbOpened,      // a USB amplifier was found and opened (its family comes along)
        usbRemoved,     // the open USB amplifier went away (a read failed: unplugged)
        usbSilent,      // requests over USB went unanswered too often (the send thread)
        networkSilent   // the same over the network
    };

    /** What the transports and the send thread post to the hub's MessageListener: either a
        received packet or a link event, each carrying the hub's tag.

        A packet is a 4-byte prefix followed by the OSC bytes: the sender's IPv4 address in
        network byte order for the network, four zero bytes for USB.  The block is sized
        exactly: prefix plus the received payload, nothing after it.

        Posted from any thread with MessageListener::postMessage(); JUCE owns and frees it.
        Tests may also hand one straight to the hub's handleMessage().
    */
    class LinkMessage : public juce::Message
    {
    public:
        /** A packet received from `source`. */
        LinkMessage (PacketSource sourceToUse, juce::MemoryBlock packetToUse, int tagToUse = messageTag)
            : tag (tagToUse),
              isPacket (true),
              source (sourceToUse),
              packet (std::move (packetToUse))
        {
        }

        /** A link event; `familyToUse` tells the family of a device just opened. */
        explicit LinkMessage (LinkEvent eventToUse, DeviceFamily familyToUse = DeviceFamily::none,
                              int tagToUse = messageTag)
            : tag (tagToUse),
              isPacket (false),
              event (eventToUse),
              family (familyToUse)
        {
        }

        const int tag;
        const bool isPacket;
        const PacketSource source = PacketSource::usb;    // packets only
        const LinkEvent event = LinkEvent::usbOpened;     // events only
        const DeviceFamily family = DeviceFamily::none;   // LinkEvent::usbOpened only
        juce::MemoryBlock packet;                         // packets only

        /** The session (DeviceSession::id) an event is about, or that judged a packet. */
        int session = 0;
        /** Packets: the receive thread already judged what this answer acknowledges (and
            retired that request), so the dispatch only applies its values. */
        bool judged = false;
        /** Packets: the request this answer retired, listed until the answer is dispatched
            (DeviceSession::acknowledgeInTransit); 0 for none. */
        std::uint32_t transit = 0;
    };
}
