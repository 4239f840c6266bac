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
        : LinkThread ("OSC connection"),
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
        udp = std::make_unique<UdpConnection> (*this, messageTag, options.udpPort,
                                               [this] (LinkMessage& packet) { judgeOnArrival (packet); });
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

        // Asked together, the transports' threads end while the send thread does.
        udp->signalThreadShouldExit();
        usb->signalThreadShouldExit();
        usb->notify();

        stopPromptly (sendThreadStopMs);

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
        sendPacket (own, std::move (packet));
    }

    void OscCom::sendPacket (DeviceSession& session, OutboundPacketPtr packet)
    {
        if (packet == nullptr || ! session.online.load() || ! fitsConnection (session, *packet))
            return;

        {
            const juce::ScopedLock lock (linkLock);
            // Asked again under the lock: a packet from the sweep thread that read "online"
            // just before the offline sequence emptied the queue would wait there for the
            // next amplifier, and reach it first.
            if (! session.online.load())
                return;
            session.queue.merge (std::move (packet), session.awaitingReply.load());
            transmitIfDue (session);
        }
        notify();   // the send thread sleeps while nothing is queued; it keeps the answer window
    }

    void OscCom::sendQuery (const char* address)
    {
        sendQuery (own, address);
    }

    void OscCom::sendQuery (DeviceSession& session, const char* address)
    {
        if (session.online.load())
            appendQuery (session, address);
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
            case Route::device: writeDatagram (*packet, own.address.load()); break;
            case Route::target: writeDatagram (*packet, queryTarget); break;
        }
    }

    void OscCom::appendQuery (DeviceSession& session, const char* address)
    {
        auto packet = codec::bare (address);
        if (packet == nullptr || ! fitsConnection (session, *packet))
            return;

        {
            const juce::ScopedLock lock (linkLock);
            session.queue.append (std::move (packet));
            transmitIfDue (session);
        }
        notify();
    }

    bool OscCom::fitsConnection (const DeviceSession& session, const OutboundPacket& packet) const
    {
        // A USB report carries at most 62 bytes; a longer request would never be answered
        // and would end in a false "connection lost".
        const bool overUsb = isOwn (session) && connectionKind.load() == ConnectionKind::usb;
        const auto limit = overUsb ? usbPayloadLimit : OutboundPacket::capacity;
        return packet.size() > 0 && packet.size() <= limit;
    }

    bool OscCom::fillMailbox (const OutboundPacket& packet)
    {
        for (int check = 0; check < mailboxChecks; ++check)
        {
            {
                // The send thread fills the mailbox under the link lock: one writer at a time.
                const juce::ScopedLock lock (linkLock);
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
        const juce::ScopedLock lock (linkLock);
        udp->send (address, packet.data(), (int) packet.size());
    }

    void OscCom::sendBare (DeviceSession& session, const char* address)
    {
        if (const auto packet = codec::bare (address))
            writeDatagram (*packet, session.address.load());
    }

    //==============================================================================
    void OscCom::work()
    {
        while (! threadShouldExit())
        {
            // An answer taken in on the receive thread sends the next request itself; this
            // thread sends the first of a burst, retransmits and reports silence.  Every
            // append and every acknowledgement on the message thread wakes it.  With
            // nothing queued anywhere it sleeps until something is; otherwise the pass
            // pause paces the retransmission checks (and a busy USB mailbox).
            const bool busy = serviceSessions();
            if (! threadShouldExit())
                wait (busy ? passPauseMs : -1);
        }
    }

    bool OscCom::serviceSessions()
    {
        const juce::ScopedLock lock (linkLock);
        serviceSession (own);
        bool busy = ! own.queue.isEmpty();
        for (auto& session : sessions)
        {
            serviceSession (*session);
            busy = busy || ! session->queue.isEmpty();
        }
        return busy;
    }

    void OscCom::serviceSession (DeviceSession& session)
    {
        switch (session.due (now()))
        {
            case DeviceSession::Due::transmit: transmitHead (session); break;
            case DeviceSession::Due::silent: reportSilence (session); break;
            case DeviceSession::Due::nothing:
            case DeviceSession::Due::waiting: break;
        }
    }

    void OscCom::transmitHead (DeviceSession& session)
    {
        const auto* head = session.queue.head();
        if (head == nullptr)
            return;

        // The transmission is noted before the request can reach the amplifier, so anyone
        // who sees the answer also sees the transmission counted.
        if (isOwn (session))
        {
            const auto kind = connectionKind.load();
            if (kind == ConnectionKind::usb)
            {
                // The USB thread writes the report once the mailbox holds it.
                if (usb->hasDevice() && usb->tryFillMailbox (head->data(), (int) head->size()))
                    session.noteTransmission (now());
                return;
            }
            if (kind != ConnectionKind::network)
                return;
        }

        // Counted even when the socket is gone, so a dead socket ends in a network error.
        session.noteTransmission (now());
        udp->send (session.address.load(), head->data(), (int) head->size());
    }

    void OscCom::transmitIfDue (DeviceSession& session)
    {
        // A request for an idle session leaves from the thread that queued or acknowledged
        // it: waking the send thread for it would cost a scheduling round (tens of
        // microseconds) at the start of every burst.
        if (session.due (now()) == DeviceSession::Due::transmit)
            transmitHead (session);
    }

    void OscCom::reportSilence (DeviceSession& session)
    {
        // Once per silence: the reaction takes the session offline, which flushes it.
        session.silenceReported = true;
        const bool overUsb = isOwn (session) && connectionKind.load() == ConnectionKind::usb;
        auto message = std::make_unique<LinkMessage> (overUsb ? LinkEvent::usbSilent : LinkEvent::networkSilent);
        message->session = session.id;
        postMessage (message.release());
    }

    void OscCom::acknowledge (const char* address)
    {
        const juce::ScopedLock lock (linkLock);
        if (own.acknowledge (address))
            transmitIfDue (own);
    }

    void OscCom::answered (DeviceSession& session, const char* address, const char* orElse)
    {
        // Judged on the receive thread already: one answer retires one request.
        if (dispatchJudged)
            return;

        // The next request leaves only once the answer has retired what it may: sent
        // between the two checks, a queued `orElse` would be retired unanswered.
        const juce::ScopedLock lock (linkLock);
        if (session.acknowledge (address) || (orElse != nullptr && session.acknowledge (orElse)))
            transmitIfDue (session);
    }

    void OscCom::judgeOnArrival (LinkMessage& packet)
    {
        const codec::InboundPacket inbound (packet.packet);
        if (! inbound.message.isValid())
            return;

        const juce::ScopedLock lock (linkLock);
        auto* session = networkSessionFor (inbound.sender);
        if (session == nullptr || session->rules == nullptr)
            return;

        const auto verdict = session->rules->judge (inbound.message.get());
        if (! verdict.known)
            return;

        packet.judged = true;
        packet.session = session->id;
        for (int i = 0; i < verdict.count && packet.transit == 0; ++i)
            packet.transit = session->acknowledgeInTransit (verdict.addresses[i]);

        // The next request leaves now, not after a round through the message thread.
        if (packet.transit != 0)
            transmitIfDue (*session);
    }

    bool OscCom::isSettled (const DeviceSession& session) const
    {
        const juce::ScopedLock lock (linkLock);
        return session.isSettled();
    }

    std::vector<juce::MemoryBlock> OscCom::queuedMessages (const DeviceSession& session) const
    {
        const juce::ScopedLock lock (linkLock);
        return session.requests();
    }

    //==============================================================================
    DeviceSession& OscCom::openSession (std::uint32_t address, SessionTarget target)
    {
        auto session = std::make_unique<DeviceSession> (++lastSessionId, address, std::move (target));
        auto& opened = *session;
        const juce::ScopedLock lock (linkLock);
        sessions.push_back (std::move (session));
        return opened;
    }

    void OscCom::closeSession (DeviceSession& session)
    {
        if (isOwn (session))
            return;
        if (session.online.load())
            goOffline (session);

        std::unique_ptr<DeviceSession> closing;
        {
            const juce::ScopedLock lock (linkLock);
            for (auto i = sessions.begin(); i != sessions.end(); ++i)
            {
                if (i->get() == &session)
                {
                    closing = std::move (*i);
                    sessions.erase (i);
                    break;
                }
            }
        }
        updateTimer();
    }

    DeviceSession* OscCom::findSession (int id)
    {
        if (id == own.id)
            return &own;
        for (auto& session : sessions)
            if (session->id == id)
                return session.get();
        return nullptr;
    }

    DeviceSession* OscCom::networkSessionFor (std::uint32_t sender)
    {
        if (own.online.load() && connectionKind.load() == ConnectionKind::network && own.address.load() == sender)
            return &own;
        for (auto& session : sessions)
            if (session->online.load() && session->address.load() == sender)
                return session.get();
        return nullptr;
    }

    DeviceSession* OscCom::sessionFor (PacketSource source, std::uint32_t sender)
    {
        const auto kind = connectionKind.load();
        if (source == PacketSource::usb)
            return own.online.load() && kind == ConnectionKind::usb ? &own : nullptr;

        // On a network connection only the connected amplifier is listened to; others may
        // share the port (and answer searches, which reach the device list regardless).
        if (own.online.load() && kind != ConnectionKind::usb
            && (kind != ConnectionKind::network || sender == own.address.load()))
            return &own;

        for (auto& session : sessions)
            if (session->online.load() && session->address.load() == sender)
                return session.get();
        return nullptr;
    }
}
