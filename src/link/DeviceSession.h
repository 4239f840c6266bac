#pragma once

#include "AnswerRules.h"
#include "OutboundQueue.h"
#include "PanelOperations.h"
#include "SetupOperations.h"

#include <juce_core/juce_core.h>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class Cnode;

namespace osc
{
    /** Where the answers of a session of its own (not the program's) go: the operations
        its meters, lamps, gains and Setup answers drive, the blocks its answers decode into
        (any may be null: those answers then change nothing), and what a lost connection
        tells.  Everything is called on the message thread. */
    struct SessionTarget
    {
        PanelOperations* panel = nullptr;
        SetupOperations* setup = nullptr;
        Cnode* root = nullptr;
        Cnode* speaker = nullptr;
        Cnode* siggen = nullptr;
        /** The amplifier stopped answering or switched off; `why` in the program's words.
            The session is offline by then. */
        std::function<void (const juce::String& why)> lost;
    };

    /** One amplifier's conversation over the hub's transports: its queue of requests, the
        stop-and-wait state of the head (one request in flight, retransmitted after the
        answer window, more than maxUnanswered transmissions without an answer count as a
        lost connection) and whether it is online.  The program has one (the hub's own);
        zr-ctl has one per amplifier, all over the one UDP socket, each on its own.

        Locking: the queue, the answered list, the answer rules and silenceReported are
        used only under the hub's link lock (OscCom), as is every write of the atomics; the
        atomics let a reader outside the lock see whole values.  The meter fields belong to
        the message thread.
    */
    class DeviceSession
    {
    public:
        /** Milliseconds an answer is awaited before the request is transmitted again. */
        static constexpr int answerWindowMs = 500;
        /** Transmissions without an answer beyond which the connection counts as lost. */
        static constexpr int maxUnanswered = 3;

        /** What the head of the queue needs from the send thread at a given time. */
        enum class Due
        {
            nothing,    // nothing queued
            waiting,    // its answer is awaited, or its silence was already reported
            transmit,   // never transmitted, or its answer window has passed
            silent      // transmitted too often without an answer: report the loss
        };

        DeviceSession (int id, std::uint32_t address, SessionTarget target);

        DeviceSession (const DeviceSession&) = delete;
        DeviceSession& operator= (const DeviceSession&) = delete;

        /** 0 for the program's session; others count up from 1 and are never reused. */
        const int id;
        /** Where this session's answers go (the program's session uses the program's own). */
        const SessionTarget target;

        //==============================================================================
        // Under the link lock

        Due due (std::uint32_t now) const;

        /** The head went out now. */
        void noteTransmission (std::uint32_t now);

        /** Retires the head when its answer is awaited and `address` is its address
            (leading '/' ignored), and frees it.  True when it did. */
        bool acknowledge (const char* address);

        /** The same, but the retired request stays listed (queuedMessages) until
            finishTransit() with the returned number: its answer is on its way to the
            message thread, and until it is dispatched the request is not done.  0 when
            nothing was retired. */
        std::uint32_t acknowledgeInTransit (const char* address);

        /** The answer that retired request `serial` was dispatched (or dropped). */
        void finishTransit (std::uint32_t serial);

        /** Empties the queue and forgets the head's transmissions. */
        void flush();

        /** Nothing queued and no answer on its way to the message thread. */
        bool isSettled() const { return queue.isEmpty() && answeredList.empty(); }

        /** Copies of the requests not yet done, oldest first. */
        std::vector<juce::MemoryBlock> requests() const;

        OutboundQueue queue;
        std::shared_ptr<const AnswerRules> rules;
        bool silenceReported = false;

        //==============================================================================
        // Written under the link lock, read anywhere

        std::atomic<std::uint32_t> address;   // network byte order; 0 (a placeholder) for none
        std::atomic<bool> online { false };
        std::atomic<bool> awaitingReply { false };
        std::atomic<int> pendingTransmissions { 0 };
        std::atomic<std::uint32_t> sentTime { 0 };

        //==============================================================================
        // Message thread only

        int meterReplyCount = 0;
        std::uint32_t lastMeterTime = 0;

    private:
        struct Answered
        {
            std::uint32_t serial;
            OutboundPacketPtr request;
        };
        // Requests answered whose answers the message thread has not dispatched yet.
        std::deque<Answered> answeredList;
        std::uint32_t lastSerial = 0;
    };
}
