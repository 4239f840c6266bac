#include "OutboundQueue.h"
#include <cstring>

namespace osc
{
    namespace
    {
        const char* withoutSlash (const char* address)
        {
            return *address == '/' ? address + 1 : address;
        }
    }

    bool OutboundQueue::merge (OutboundPacketPtr packet, bool headInFlight)
    {
        // Preset-name queries differ only in their arguments and must all reach the amplifier.
        if (std::strcmp (packet->address(), "/preset/name") != 0)
        {
            const int head = readIndex.load();
            for (int i = writeIndex.load(); i != head;)
            {
                i = wrap (i - 1);
                if (std::strcmp (ring[(std::size_t) i]->address(), packet->address()) != 0)
                    continue;

                if (i == head && headInFlight)
                    break;

                ring[(std::size_t) i] = std::move (packet);
                return true;
            }
        }
        return store (std::move (packet));
    }

    bool OutboundQueue::append (OutboundPacketPtr packet)
    {
        return store (std::move (packet));
    }

    const OutboundPacket* OutboundQueue::head() const
    {
        return entry (0);
    }

    bool OutboundQueue::retireHeadIf (const char* address)
    {
        return takeHeadIf (address) != nullptr;
    }

    OutboundPacketPtr OutboundQueue::takeHeadIf (const char* address)
    {
        auto* first = head();
        if (first == nullptr || std::strcmp (withoutSlash (first->address()), withoutSlash (address)) != 0)
            return nullptr;

        const int index = readIndex.load();
        auto taken = std::move (ring[(std::size_t) index]);
        readIndex.store (wrap (index + 1));
        return taken;
    }

    void OutboundQueue::clear()
    {
        for (auto& slot : ring)
            slot.reset();
        readIndex.store (writeIndex.load());
    }

    int OutboundQueue::size() const
    {
        return wrap (writeIndex.load() - readIndex.load());
    }

    const OutboundPacket* OutboundQueue::entry (int index) const
    {
        if (index < 0 || index >= size())
            return nullptr;
        return ring[(std::size_t) wrap (readIndex.load() + index)].get();
    }

    bool OutboundQueue::store (OutboundPacketPtr packet)
    {
        if (size() >= capacity)
            return false;

        const int index = writeIndex.load();
        ring[(std::size_t) index] = std::move (packet);
        // Published only once the slot holds its packet.
        writeIndex.store (wrap (index + 1));
        return true;
    }
}
