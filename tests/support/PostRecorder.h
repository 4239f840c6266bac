#pragma once

#include "LinkMessage.h"
#include <juce_events/juce_events.h>
#include <string>
#include <vector>

/** Stands where the hub would: keeps a copy of every link message a transport posts. */
struct PostRecorder : public juce::MessageListener
{
    struct Posted { int tag, kind, code; std::string bytes; };

    void handleMessage (const juce::Message& message) override
    {
        if (auto* m = dynamic_cast<const osc::LinkMessage*> (&message))
            posted.push_back ({ m->tag, m->kind, m->code,
                                std::string (static_cast<const char*> (m->packet.getData()), m->packet.getSize()) });
    }

    /** Packets whose 4-byte prefix is `prefix` (a sender's address in network byte order). */
    std::vector<Posted> withPrefix (const std::string& prefix) const
    {
        std::vector<Posted> result;
        for (const auto& p : posted)
            if (p.bytes.compare (0, 4, prefix) == 0)
                result.push_back (p);
        return result;
    }

    /** How many device-opened (link event) messages arrived. */
    int countLinkEvents() const
    {
        int n = 0;
        for (const auto& p : posted)
            n += p.kind == osc::LinkEvent ? 1 : 0;
        return n;
    }

    std::vector<Posted> posted;
};
