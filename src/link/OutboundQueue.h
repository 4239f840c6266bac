#pragma once

#include "OutboundPacket.h"
#include <array>
#include <atomic>

namespace osc
{
    /** The hub's ring of outbound requests: 512 slots, at most 511 live entries, each owning
        one finished message.  The head is the request being transmitted (or next to be).

        Not thread-safe by itself: every call is made under the hub's queue lock.  The two
        indexes are atomics only so that a reader outside the lock sees whole values.
    */
    class OutboundQueue
    {
    public:
        static constexpr int slots = 512;
        static constexpr int capacity = slots - 1;

        OutboundQueue() = default;
        OutboundQueue (const OutboundQueue&) = delete;
        OutboundQueue& operator= (const OutboundQueue&) = delete;

        /** Queues `packet`, replacing a queued message of the same address in place (the
            newest such entry).  "/preset/name" requests are never merged.  An entry whose
            transmission is in flight (`headInFlight`) is not replaced: its answer will carry
            the old value, so the new one is queued behind it instead.  Returns false, and
            frees the packet, when the ring is full. */
        bool merge (OutboundPacketPtr packet, bool headInFlight);

        /** Queues `packet` at the end without merging; false (packet freed) when full. */
        bool append (OutboundPacketPtr packet);

        /** The oldest live entry, or null when empty. */
        const OutboundPacket* head() const;

        /** Retires the head when its address equals `address` (a leading '/' on either side
            is ignored).  Returns whether it did. */
        bool retireHeadIf (const char* address);

        /** The same, handing the retired head over instead of freeing it (null when it
            was not retired). */
        OutboundPacketPtr takeHeadIf (const char* address);

        /** Frees every live entry. */
        void clear();

        int size() const;
        bool isEmpty() const { return size() == 0; }

        /** Live entry `index` (0 = head), or null. */
        const OutboundPacket* entry (int index) const;

    private:
        static int wrap (int index) { return (index + slots) % slots; }
        bool store (OutboundPacketPtr packet);

        std::array<OutboundPacketPtr, slots> ring;
        std::atomic<int> readIndex { 0 };
        std::atomic<int> writeIndex { 0 };
    };
}
