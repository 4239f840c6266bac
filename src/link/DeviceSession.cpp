#include "DeviceSession.h"

namespace osc
{
    DeviceSession::DeviceSession (int idToUse, std::uint32_t addressToUse, SessionTarget targetToUse)
        : id (idToUse),
          target (std::move (targetToUse)),
          address (addressToUse)
    {
    }

    DeviceSession::Due DeviceSession::due (std::uint32_t now) const
    {
        if (queue.isEmpty())
            return Due::nothing;
        if (silenceReported || (awaitingReply.load() && now - sentTime.load() <= (std::uint32_t) answerWindowMs))
            return Due::waiting;
        return pendingTransmissions.load() > maxUnanswered ? Due::silent : Due::transmit;
    }

    void DeviceSession::noteTransmission (std::uint32_t now)
    {
        sentTime.store (now);
        awaitingReply.store (true);
        ++pendingTransmissions;
    }

    bool DeviceSession::acknowledge (const char* answered)
    {
        if (! awaitingReply.load() || ! queue.retireHeadIf (answered))
            return false;
        awaitingReply.store (false);
        pendingTransmissions.store (0);
        return true;
    }

    std::uint32_t DeviceSession::acknowledgeInTransit (const char* answered)
    {
        if (! awaitingReply.load())
            return 0;
        auto request = queue.takeHeadIf (answered);
        if (request == nullptr)
            return 0;

        awaitingReply.store (false);
        pendingTransmissions.store (0);
        if (++lastSerial == 0)
            ++lastSerial;
        answeredList.push_back ({ lastSerial, std::move (request) });
        return lastSerial;
    }

    void DeviceSession::finishTransit (std::uint32_t serial)
    {
        for (auto i = answeredList.begin(); i != answeredList.end(); ++i)
        {
            if (i->serial == serial)
            {
                answeredList.erase (i);
                return;
            }
        }
    }

    void DeviceSession::flush()
    {
        queue.clear();
        answeredList.clear();
        awaitingReply.store (false);
        pendingTransmissions.store (0);
        silenceReported = false;
    }

    std::vector<juce::MemoryBlock> DeviceSession::requests() const
    {
        std::vector<juce::MemoryBlock> copies;
        for (const auto& a : answeredList)
            copies.emplace_back (a.request->data(), a.request->size());
        for (int i = 0; i < queue.size(); ++i)
            copies.emplace_back (queue.entry (i)->data(), queue.entry (i)->size());
        return copies;
    }
}
