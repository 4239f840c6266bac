#pragma once

#include "LinkMessage.h"
#include <juce_events/juce_events.h>
#include <string>
#include <vector>

/** Stands where the hub would: keeps a copy of every link message a transport posts. */
struct PostRecorder : public juce::MessageListener
{
    struct Posted
    {
        int tag;
        bool isPacket;
        osc::PacketSource source;   // packets
        osc::LinkEvent event;       // events
        DeviceFamily family;        // events
        std::string bytes;          // packets: prefix and payload
    };

    void handleMessage (const juce::Message& message) override
    {
        if (auto* m = dynamic_cast<const osc::LinkMessage*> (&message))
            posted.push_back ({ m->tag, m->isPacket, m->source, m->event, m->family,
                                std::string (static_cast<const char*> (m->packet.getData()), m->packet.getSize()) });
    }

    /** Packets whose 4-byte prefix is `prefix` (a sender's address in network byte order). */
    std::vector<Posted> withPrefix (const std::string& prefix) const
    {
        std::vector<Posted> result;
        for (const auto& p : posted)
            if (p.isPacket && p.bytes.compare (0, 4, prefix) == 0)
                result.push_back (p);
        return result;
    }

    /** How many link events of `event` arrived. */
    int countEvents (osc::LinkEvent event) const
    {
        int n = 0;
        for (const auto& p : posted)
            n += ! p.isPacket && p.event == event ? 1 : 0;
        return n;
    }

    /** How many device-opened messages arrived. */
    int countOpenings() const { return countEvents (osc::LinkEvent::usbOpened); }

    std::vector<Posted> posted;
};
