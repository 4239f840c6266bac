// The hub itself: its transports, the outbound queue and the "OSC connection" send thread
// that drains it one request at a time.

#include "OscCom.h"

#include "DeviceCodec.h"
#include "Globals.h"
#include "InterfaceBroadcasts.h"
#include "UdpConnection.h"
#include "UdpSocket.h"
#include "UsbConnection.h"

namespace osc
{
    namespace
    {
        constexpr std::size_t usbPayloadLimit = 62;
        constexpr int mailboxChecks = 3;
        constexpr int mailboxRetryMs = 10;
        constexpr int sendThreadStopMs = 100;
    }

    //==============================================================================
    OscCom::OscCom (PanelOperations& panelToUse, SetupOperations& setupToUse, Dialogs& dialogsToUse,
                    HubOptions optionsToUse)
        : juce::Thread ("OSC connection"),
          panel (panelToUse),
          setup (setupToUse),
          dialogs (dialogsToUse),
          options (std::move (optionsToUse))
    {
        // A MessageListener makes its weak reference lazily on the first post, and not
        // thread-safely; three threads post to the hub, so it is made here, before any starts.
        const juce::WeakReference<juce::MessageListener> listenerReference (this);
        juce::ignoreUnused (listenerReference);

        usb = std::make_unique<UsbConnection> (*this, messageTag,
                                               options.makeHidAccess ? options.makeHidAccess() : nullptr);

        // No amplifier is chosen yet: the socket hears answers to searches and sends nothing
        // directed until one is.
        udp = std::make_unique<UdpConnection> (*this, messageTag, options.udpPort);
        replaceSocket (0);

        globals::hub = this;
        globals::packetSink = this;

        startThread();

        if (options.searchAtStart)
            searchDevices (broadcastAddress);
    }

    OscCom::~OscCom()
    {
        stopTimer();
        if (globals::packetSink == this)
            globals::packetSink = nullptr;

        // Asked together, the transports' threads end while the send thread does: each stop
        // below then finds its thread gone instead of polling for it in turn.
        udp->signalThreadShouldExit();
        usb->signalThreadShouldExit();
        usb->notify();

        stopThread (sendThreadStopMs);

        udp.reset();
        usb.reset();

        if (globals::hub == this)
            globals::hub = nullptr;
    }

    std::unique_ptr<DatagramSocket> OscCom::makeSocket() const
    {
        return options.makeSocket ? options.makeSocket (options.udpPort)
                                  : std::make_unique<UdpSocket> (options.udpPort);
    }

    std::vector<std::uint32_t> OscCom::interfaceBroadcasts() const
    {
        return options.listBroadcasts ? options.listBroadcasts() : InterfaceBroadcasts::current();
    }

    std::uint32_t OscCom::now() const
    {
        return options.clock ? options.clock() : juce::Time::getMillisecondCounter();
    }

    //==============================================================================
    void OscCom::sendPacket (OutboundPacketPtr packet)
    {
        if (packet == nullptr || ! online.load() || ! fitsConnection (*packet))
            return;

        {
            const juce::ScopedLock lock (queueLock);
            // Asked again under the lock: a packet from the sweep thread that read "online"
            // just before goOffline() emptied the queue would wait there for the next
            // amplifier, and reach it first.
            if (! online.load())
                return;
            queue.merge (std::move (packet), awaitingReply.load());
        }
        notify();   // the send thread sleeps while nothing is queued
    }

    void OscCom::sendQuery (const char* address)
    {
        if (online.load())
            appendQuery (address);
    }

    void OscCom::sendInt (const char* address, int value)
    {
        sendPacket (codec::withInt (address, value));
    }

    void OscCom::sendPresetCommand (const char* address, int slot, int value, const juce::String& text)
    {
        sendPacket (codec::presetCommand (address, slot, value, text));
    }

    void OscCom::sendAmpName (const juce::String& name)
    {
        sendPacket (codec::ampName (name));
    }

    void OscCom::sendMeterRequest (float value)
    {
        sendPacket (codec::meterRequest (value));
    }

    void OscCom::sendGains (float gainA, float gainB, int muteA, int muteB)
    {
        sendPacket (codec::gains (gainA, gainB, muteA, muteB));
    }

    void OscCom::sendNow (const char* address, Route route)
    {
        const auto packet = codec::bare (address);
        if (packet == nullptr)
            return;

        switch (route)
        {
            case Route::usb: fillMailbox (*packet); break;
            case Route::device: writeDatagram (*packet, deviceAddress.load()); break;
            case Route::target: writeDatagram (*packet, queryTarget); break;
        }
    }

    void OscCom::appendQuery (const char* address)
    {
        auto packet = codec::bare (address);
        if (packet == nullptr || ! fitsConnection (*packet))
            return;

        {
            const juce::ScopedLock lock (queueLock);
            queue.append (std::move (packet));
        }
        notify();
    }

    bool OscCom::fitsConnection (const OutboundPacket& packet) const
    {
        // A USB report carries at most 62 bytes; a longer request would never be answered
        // and would end in a false "connection lost".
        const auto limit = connectionKind.load() == ConnectionKind::usb ? usbPayloadLimit : OutboundPacket::capacity;
        return packet.size() > 0 && packet.size() <= limit;
    }

    bool OscCom::fillMailbox (const OutboundPacket& packet)
    {
        for (int check = 0; check < mailboxChecks; ++check)
        {
            {
                // The send thread fills the mailbox under the queue lock: one writer at a time.
                const juce::ScopedLock lock (queueLock);
                if (usb->tryFillMailbox (packet.data(), (int) packet.size()))
                    return true;
            }

            // Only a payload still being written can free the mailbox soon; with no device
            // open there is nothing to wait for.
            if (! usb->hasDevice())
                return false;
            juce::Thread::sleep (mailboxRetryMs);
        }
        return false;
    }

    void OscCom::writeDatagram (const OutboundPacket& packet, std::uint32_t address)
    {
        const juce::ScopedLock lock (queueLock);
        udp->send (address, packet.data(), (int) packet.size());
    }

    //==============================================================================
    void OscCom::run()
    {
        while (! threadShouldExit())
        {
            transmitHead();

            // acknowledge() ends these waits as soon as the answer retires the head: sleeping
            // them out cost about 4 ms per request, far more than the round trip itself.
            bool answered = false;
            while (awaitingReply.load() && now() - sentTime.load() <= (std::uint32_t) answerWindowMs
                   && ! threadShouldExit())
            {
                wait (passPauseMs);
                answered = ! awaitingReply.load();
            }

            // The next request follows an answer at once.  With nothing queued the thread
            // sleeps until something is (every append wakes it); otherwise (the USB mailbox
            // still full, or a retransmission due) the pass pause keeps it from spinning.
            if (! answered && ! threadShouldExit())
                wait (queue.isEmpty() ? -1 : passPauseMs);
        }
    }

    void OscCom::transmitHead()
    {
        const juce::ScopedLock lock (queueLock);
        const auto* head = queue.head();
        if (head == nullptr)
            return;

        // The transmission is noted before the request can reach the amplifier, so anyone
        // who sees the answer also sees the transmission counted.
        const auto noteTransmission = [this]
        {
            sentTime.store (now());
            awaitingReply.store (true);
            ++pendingTransmissions;
        };

        const auto kind = connectionKind.load();
        if (kind == ConnectionKind::usb && usb->hasDevice())
        {
            if (pendingTransmissions.load() > maxUnanswered)
            {
                postMessage (new LinkMessage (LinkEvent::usbSilent));
                return;
            }
            // The USB thread writes the report once the mailbox holds it.
            if (usb->tryFillMailbox (head->data(), (int) head->size()))
                noteTransmission();
        }
        else if (kind == ConnectionKind::network)
        {
            if (pendingTransmissions.load() > maxUnanswered)
            {
                postMessage (new LinkMessage (LinkEvent::networkSilent));
                return;
            }
            // Counted even when the socket is gone, so a dead socket ends in a network error.
            noteTransmission();
            udp->send (deviceAddress.load(), head->data(), (int) head->size());
        }
    }

    void OscCom::acknowledge (const char* address)
    {
        const juce::ScopedLock lock (queueLock);
        if (awaitingReply.load() && queue.retireHeadIf (address))
        {
            awaitingReply.store (false);
            pendingTransmissions.store (0);
            notify();   // the send thread goes on to the next request without sleeping out its pause
        }
    }

    std::vector<juce::MemoryBlock> OscCom::queuedMessages() const
    {
        const juce::ScopedLock lock (queueLock);
        std::vector<juce::MemoryBlock> copies;
        for (int i = 0; i < queue.size(); ++i)
            copies.emplace_back (queue.entry (i)->data(), queue.entry (i)->size());
        return copies;
    }
}
