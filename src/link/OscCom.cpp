#include "OscCom.h"

#include "Ciosiggen.h"
#include "Ciospeaker.h"
#include "Croot.h"
#include "Dialogs.h"
#include "Globals.h"
#include "OscMessageCheck.h"
#include "UdpConnection.h"
#include "UdpSocket.h"
#include "UsbConnection.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <cmath>
#include <cstring>

namespace osc
{
    namespace
    {
        constexpr int packetPrefix = 4;
        constexpr int largestMessage = 128;
        constexpr int usbPayloadLimit = 62;
        constexpr int meterCheckIntervalMs = 250;
        constexpr int mailboxChecks = 3;
        constexpr int mailboxRetryMs = 10;
        constexpr int receiveThreadStopMs = 4000;
        constexpr int sendThreadStopMs = 100;
        constexpr float meterRequestValue = 10.0f;

        bool startsWith (const char* text, const char* prefix)
        {
            return std::strncmp (text, prefix, std::strlen (prefix)) == 0;
        }

        /** Texts from an amplifier: UTF-8 when they are, otherwise one character per byte. */
        juce::String deviceText (const char* text)
        {
            const auto length = (int) std::strlen (text);
            if (juce::CharPointer_UTF8::isValidString (text, length))
                return juce::String::fromUTF8 (text, length);

            juce::String result;
            for (int i = 0; i < length; ++i)
                result += juce::String::charToString ((juce::juce_wchar) (std::uint8_t) text[i]);
            return result;
        }

        /** Dotted text of an IPv4 address held as its four bytes in network order. */
        juce::String dottedAddress (std::uint32_t address)
        {
            std::uint8_t bytes[4];
            std::memcpy (bytes, &address, sizeof bytes);
            return juce::String (bytes[0]) + "." + juce::String (bytes[1]) + "." + juce::String (bytes[2]) + "."
                 + juce::String (bytes[3]);
        }

        /** The IPv4 address `host` names, as four bytes in network order; 0 when unknown. */
        std::uint32_t resolveIpv4 (const std::string& host)
        {
            in_addr parsed {};
            if (inet_pton (AF_INET, host.c_str(), &parsed) == 1)
                return parsed.s_addr;

            addrinfo hints {};
            hints.ai_family = AF_INET;
            hints.ai_socktype = SOCK_DGRAM;
            addrinfo* found = nullptr;
            if (getaddrinfo (host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
                return 0;

            const auto address = reinterpret_cast<const sockaddr_in*> (found->ai_addr)->sin_addr.s_addr;
            freeaddrinfo (found);
            return address;
        }

        /** A level the meters can show: silence for anything negative. */
        float meterLevel (float value)
        {
            return value > 0.0f ? value : 0.0f;
        }
    }

    const OscCom::Route OscCom::routes[] = {
        { "/meter", &OscCom::onMeter },
        { "/peaklimit", &OscCom::onPeakLimit },
        { "/gain", &OscCom::onGain },
        { "/preset", &OscCom::onPreset },
        { "/lock", &OscCom::onLock },
        { "/speaker", &OscCom::onSpeaker },
        { "/siggen", &OscCom::onSiggen },
        { "/ampname", &OscCom::onAmpName },
        { "/power", &OscCom::onPower },
    };

    //==============================================================================
    OscCom::OscCom (PanelOperations& panelToUse, SetupOperations& setupToUse, HubOptions optionsToUse)
        : juce::Thread ("OSC connection"), panel (panelToUse), setup (setupToUse), options (std::move (optionsToUse))
    {
        // A MessageListener makes its weak reference lazily on the first post, and not
        // thread-safely; three threads post to the hub, so it is made here, before any starts.
        const juce::WeakReference<juce::MessageListener> listenerReference (this);
        juce::ignoreUnused (listenerReference);

        usb = std::make_unique<UsbConnection> (*this, messageTag,
                                               options.makeHidAccess ? options.makeHidAccess() : nullptr);

        udp = std::make_unique<UdpConnection> (*this, messageTag);
        auto socket = std::make_unique<UdpSocket> (options.udpPort);
        socket->connect ("0.0.0.1");   // a placeholder: it receives broadcast answers, sends nothing
        {
            const juce::ScopedLock lock (queueLock);
            udp->setSocket (std::move (socket));
        }
        udp->startThread();

        globals::hub = this;
        globals::usb = usb.get();
        globals::udp = udp.get();
        globals::packetSink = this;

        startThread();

        globals::queryTarget = "255.255.255.255";
        sendNow ("/info", RouteTarget);
        usb->announce.store (true);
    }

    OscCom::~OscCom()
    {
        stopTimer();
        if (globals::packetSink == this)
            globals::packetSink = nullptr;

        stopThread (sendThreadStopMs);

        if (globals::udp == udp.get())
            globals::udp = nullptr;
        udp.reset();

        if (globals::usb == usb.get())
            globals::usb = nullptr;
        usb.reset();

        if (globals::hub == this)
            globals::hub = nullptr;
    }

    //==============================================================================
    void OscCom::sendPacket (OutboundPacketPtr packet)
    {
        if (packet == nullptr || ! online.load() || ! fitsConnection (*packet))
            return;

        {
            const juce::ScopedLock lock (queueLock);
            queue.merge (std::move (packet), awaitingReply.load());
        }
        notify();   // the send thread sleeps while nothing is queued
    }

    void OscCom::sendQuery (const char* address)
    {
        if (online.load())
            appendQuery (address);
    }

    template <typename Build>
    void OscCom::buildAndQueue (Build&& build)
    {
        auto packet = std::make_unique<OutboundPacket>();
        try
        {
            build (packet->stream);
        }
        catch (const osc::Exception&)
        {
            return;   // too long for one message: nothing half-built is sent
        }
        sendPacket (std::move (packet));
    }

    void OscCom::sendInt (const char* address, int value)
    {
        buildAndQueue ([&] (osc::OutboundPacketStream& s)
                       { s << osc::BeginMessage (address) << (osc::int32) value << osc::EndMessage; });
    }

    void OscCom::sendPresetCommand (const char* address, int slot, int value, const juce::String& text)
    {
        buildAndQueue ([&] (osc::OutboundPacketStream& s)
                       {
                           s << osc::BeginMessage (address) << (osc::int32) slot << (osc::int32) value
                             << text.toRawUTF8() << osc::EndMessage;
                       });
    }

    void OscCom::sendAmpName (const juce::String& name)
    {
        buildAndQueue ([&] (osc::OutboundPacketStream& s)
                       { s << osc::BeginMessage ("/ampname") << name.toRawUTF8() << osc::EndMessage; });
    }

    void OscCom::sendMeterRequest (float value)
    {
        buildAndQueue ([&] (osc::OutboundPacketStream& s)
                       { s << osc::BeginMessage ("/meter") << value << osc::EndMessage; });
    }

    void OscCom::sendGains (float gainA, float gainB, int muteA, int muteB)
    {
        buildAndQueue ([&] (osc::OutboundPacketStream& s)
                       {
                           s << osc::BeginMessage ("/gain") << gainA << gainB << (osc::int32) muteA
                             << (osc::int32) muteB << osc::EndMessage;
                       });
    }

    void OscCom::sendNow (const char* address, int route)
    {
        OutboundPacket packet;
        try
        {
            packet.stream << osc::BeginMessage (address) << osc::EndMessage;
        }
        catch (const osc::Exception&)
        {
            return;
        }

        if (route == RouteUsb)
            fillMailbox (packet);
        else if (route == RouteDevice || route == RouteTarget)
            writeDatagram (packet, route);
    }

    void OscCom::appendQuery (const char* address)
    {
        auto packet = std::make_unique<OutboundPacket>();
        try
        {
            packet->stream << osc::BeginMessage (address) << osc::EndMessage;
        }
        catch (const osc::Exception&)
        {
            return;
        }

        if (! fitsConnection (*packet))
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
        const auto limit = connectionKind.load() == ConnectionUsb ? (std::size_t) usbPayloadLimit
                                                                   : OutboundPacket::capacity;
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
            juce::Thread::sleep (mailboxRetryMs);
        }
        return false;
    }

    void OscCom::writeDatagram (const OutboundPacket& packet, int route)
    {
        const juce::ScopedLock lock (queueLock);
        auto* socket = udp->getSocket();
        if (socket == nullptr)
            return;

        if (route == RouteDevice)
            socket->write (packet.data(), (int) packet.size());
        else
            socket->writeToTarget (packet.data(), (int) packet.size(), globals::queryTarget);
    }

    //==============================================================================
    std::uint32_t OscCom::now() const
    {
        return options.clock ? options.clock() : juce::Time::getMillisecondCounter();
    }

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

        const int kind = connectionKind.load();
        if (kind == ConnectionUsb && usb->deviceState.load() > 0)
        {
            if (pendingTransmissions.load() > maxUnanswered)
            {
                postLinkCode (-1);
                return;
            }
            // The USB thread writes the report once the mailbox holds it.
            if (usb->tryFillMailbox (head->data(), (int) head->size()))
                noteTransmission();
        }
        else if (kind == ConnectionNetwork)
        {
            if (pendingTransmissions.load() > maxUnanswered)
            {
                postLinkCode (-2);
                return;
            }
            // Counted even when the socket is gone, so a dead socket ends in a network error.
            noteTransmission();
            auto* socket = udp->getSocket();
            if (socket != nullptr && socket->isUsable())
                socket->write (head->data(), (int) head->size());
        }
    }

    void OscCom::postLinkCode (int code)
    {
        postMessage (new LinkMessage (messageTag, LinkEvent, code));
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

    //==============================================================================
    void OscCom::goOnline()
    {
        if (udp == nullptr && ! usbDevicePresent())
            return;

        // The route numbers of USB and the device address equal the connection kinds.
        const int kind = connectionKind.load();
        if (kind == ConnectionUsb || kind == ConnectionNetwork)
            sendNow ("/online", kind);

        online.store (true);
        pendingTransmissions.store (0);

        sendQuery ("/gain");
        if (auto* root = globals::root)
            forEachLeaf (root, [this] (Cnode* block) { appendQuery (block->address); });

        for (int slot = 1; slot <= 20; ++slot)
            sendPresetCommand ("/preset/name", slot, 0, "DUMMY");

        sendMeterRequest (meterRequestValue);

        lastMeterTime = now();
        startTimer (meterCheckIntervalMs);
    }

    void OscCom::goOffline()
    {
        if (connectionKind.load() == ConnectionUsb)
        {
            usb->deviceState.store (-1);
            connectionKind.store (ConnectionNone);
            setup.forgetActiveDevice();
        }

        if (connectionKind.load() == ConnectionNetwork)
            sendNow ("/offline", RouteDevice);

        online.store (false);
        stopTimer();

        {
            const juce::ScopedLock lock (queueLock);
            queue.clear();
            awaitingReply.store (false);
            pendingTransmissions.store (0);
        }

        panel.setMeters (0.0f, 0.0f, 0.0f, 0.0f);
        panel.setClipLeds (false, false, false, false);
    }

    void OscCom::searchDevices (const juce::String& target)
    {
        globals::queryTarget = target.toStdString();
        sendNow ("/info", RouteTarget);
        usb->announce.store (true);
    }

    void OscCom::connectNetwork (const juce::String& address)
    {
        const auto host = address.toStdString();

        udp->stopThread (receiveThreadStopMs);
        {
            // The old socket goes first, so the new one can take the port.
            const juce::ScopedLock lock (queueLock);
            udp->setSocket (nullptr);
        }

        auto socket = std::make_unique<UdpSocket> (options.udpPort);
        socket->connect (host);
        {
            const juce::ScopedLock lock (queueLock);
            udp->setSocket (std::move (socket));
        }
        udp->startThread();

        deviceAddress = resolveIpv4 (host);
        connectionKind.store (ConnectionNetwork);
    }

    bool OscCom::usbDevicePresent() const
    {
        return usb != nullptr && usb->deviceState.load() > 0;
    }

    void OscCom::confirmConnect (std::function<void (bool)> onAnswer)
    {
        if (globals::dialogs == nullptr)
        {
            onAnswer (false);
            return;
        }

        const auto title = deviceFamily == FamilyZR ? TRANS ("ZR series connected") : TRANS ("TARVO model connected");
        globals::dialogs->askOkCancel (Dialogs::Icon::question, title,
                                       TRANS ("Connect to device and lose current settings?"),
                                       TRANS ("Connect"), TRANS ("Cancel"), std::move (onAnswer));
    }

    void OscCom::usbConnectionError()
    {
        connectionLost (true);
    }

    void OscCom::networkConnectionError()
    {
        connectionLost (false);
    }

    void OscCom::connectionLost (bool overUsb)
    {
        setup.disconnectDevice();

        // The page goes offline only while it shows a connection; the hub must in any case,
        // or the send thread would go on reporting the same loss.
        if (online.load())
            goOffline();

        if (overUsb)
            usb->deviceState.store (-1);   // not announced again until a search

        setup.forgetActiveDevice();
        connectionKind.store (ConnectionNone);

        // Told last, and nothing follows when the box closes: a connection made while it is
        // open (another amplifier chosen meanwhile) is the user's newer choice and stays.
        if (globals::dialogs != nullptr)
            globals::dialogs->showMessage (Dialogs::Icon::warning,
                                           overUsb ? TRANS ("USB connection error!") : TRANS ("Network connection error!"),
                                           TRANS ("Device will be disconnected"), TRANS ("Ok"));
    }

    void OscCom::timerCallback()
    {
        if (! online.load())
        {
            stopTimer();
            return;
        }

        const auto time = now();
        if (time - lastMeterTime < (std::uint32_t) meterSilenceMs)
            return;
        lastMeterTime = time;

        // A USB connection without an open device can transmit nothing, so the answer rule
        // would never notice it.
        if (connectionKind.load() == ConnectionUsb && ! usbDevicePresent())
        {
            usbConnectionError();
            return;
        }

        // A silent amplifier: ask again; if it stays silent the request goes unanswered and
        // the connection is reported lost instead of the meters freezing.
        sendMeterRequest (meterRequestValue);
    }

    //==============================================================================
    void OscCom::handleMessage (const juce::Message& message)
    {
        const auto* link = dynamic_cast<const LinkMessage*> (&message);
        if (link == nullptr || link->tag != messageTag)
            return;

        if (link->kind == LinkEvent)
            handleLinkEvent (link->code);
        else if (link->kind == PacketReceived)
            handlePacket (link->code, link->packet);
    }

    void OscCom::handleLinkEvent (int code)
    {
        if (code > 0)
        {
            deviceFamily = code;
            sendNow ("/info", RouteUsb);
            return;
        }

        // Only a loss on the connection still in use counts; reports queued before the
        // program went offline or changed connection are stale.
        if (! online.load())
            return;

        if (code == -1 && connectionKind.load() == ConnectionUsb)
            usbConnectionError();
        else if (code == -2 && connectionKind.load() == ConnectionNetwork)
            networkConnectionError();
    }

    void OscCom::handlePacket (int source, const juce::MemoryBlock& block)
    {
        if (block.getSize() <= (std::size_t) packetPrefix || block.getSize() > (std::size_t) (packetPrefix + largestMessage))
            return;

        std::uint32_t sender = 0;
        std::memcpy (&sender, block.getData(), sizeof sender);

        // oscpack reads words in place: the message must start on a 4-byte boundary.  The
        // copy is exactly as long as the message, so nothing can be read beyond it unnoticed.
        const auto size = block.getSize() - (std::size_t) packetPrefix;
        std::vector<std::uint32_t> aligned ((size + 3) / 4);
        std::memcpy (aligned.data(), static_cast<const char*> (block.getData()) + packetPrefix, size);
        const auto* bytes = reinterpret_cast<const char*> (aligned.data());

        // oscpack trusts string padding and blob sizes; whatever it would misread is refused here.
        if (! isWellFormedOscMessage (bytes, size))
            return;

        try
        {
            const osc::ReceivedPacket packet (bytes, (osc::osc_bundle_element_size_t) size);
            const osc::ReceivedMessage received (packet);

            if (accepts (source, sender))
                dispatch (received);

            if (std::strcmp (received.AddressPattern(), "/info") == 0)
                onInfo (received, source, sender);
        }
        catch (const osc::Exception&)
        {
            // A malformed packet or wrong arguments: dropped without effect or acknowledgement.
        }
    }

    bool OscCom::accepts (int source, std::uint32_t sender) const
    {
        if (! online.load())
            return false;

        const int kind = connectionKind.load();
        if (kind == ConnectionUsb)
            return source == SourceUsb;

        if (source != SourceNetwork)
            return false;

        // On a network connection only the connected amplifier is listened to; others may
        // share the port (and answer searches, which reach the device list regardless).
        return kind != ConnectionNetwork || sender == deviceAddress;
    }

    void OscCom::dispatch (const osc::ReceivedMessage& message)
    {
        const char* address = message.AddressPattern();
        for (const auto& route : routes)
        {
            if (startsWith (address, route.prefix))
            {
                (this->*route.handler) (message);
                return;
            }
        }
        onTreeAddress (message);
    }

    void OscCom::answered (const char* address)
    {
        acknowledge (address);
    }

    //==============================================================================
    void OscCom::onMeter (const osc::ReceivedMessage& message)
    {
        if (message.ArgumentCount() != 4)
            return;

        float levels[4];
        auto args = message.ArgumentStream();
        args >> levels[0] >> levels[1] >> levels[2] >> levels[3];
        for (auto level : levels)
            if (! std::isfinite (level))
                return;

        answered (message.AddressPattern());
        panel.setMeters (meterLevel (levels[0]), meterLevel (levels[1]), meterLevel (levels[2]), meterLevel (levels[3]));
        lastMeterTime = now();

        // The amplifier streams a limited number of meter messages per request.
        if (++meterReplyCount > metersPerRequest)
        {
            meterReplyCount = 0;
            sendMeterRequest (meterRequestValue);
        }
    }

    void OscCom::onPeakLimit (const osc::ReceivedMessage& message)
    {
        if (message.ArgumentCount() != 4)
            return;

        osc::int32 lamps[4];
        auto args = message.ArgumentStream();
        args >> lamps[0] >> lamps[1] >> lamps[2] >> lamps[3];
        panel.setClipLeds (lamps[0] > 0, lamps[1] > 0, lamps[2] > 0, lamps[3] > 0);
    }

    void OscCom::onGain (const osc::ReceivedMessage& message)
    {
        if (message.ArgumentCount() != 4)
            return;

        float gainA, gainB;
        osc::int32 muteA, muteB;
        auto args = message.ArgumentStream();
        args >> gainA >> gainB >> muteA >> muteB;
        if (! std::isfinite (gainA) || ! std::isfinite (gainB))
            return;

        answered (message.AddressPattern());
        panel.setGainsFromDevice (gainA, gainB, muteA > 0, muteB > 0);
    }

    void OscCom::onPreset (const osc::ReceivedMessage& message)
    {
        if (message.ArgumentCount() != 3)
            return;

        osc::int32 slot, mode;
        const char* text;
        auto args = message.ArgumentStream();
        args >> slot >> mode >> text;

        const char* rest = message.AddressPattern() + std::strlen ("/preset");
        if (std::strcmp (rest, "/name") == 0)
        {
            answered (message.AddressPattern());
            setup.setSlot (slot, mode, deviceText (text));
        }
        else if (std::strcmp (rest, "/load") == 0)
        {
            answered (message.AddressPattern());
            setup.presetRecalled (deviceText (text));
        }
        else if (std::strcmp (rest, "/save") == 0)
        {
            answered (message.AddressPattern());
            setup.presetStored (slot, mode, deviceText (text));
        }
    }

    void OscCom::onLock (const osc::ReceivedMessage& message)
    {
        if (message.ArgumentCount() != 1)
            return;

        osc::int32 code;
        auto args = message.ArgumentStream();
        args >> code;

        // "/lock" answers both requests, but one answer retires one request: the lock is
        // held across both checks so that the send thread cannot put a queued "/unlock" on
        // the wire between them and have it retired unanswered.
        {
            const juce::ScopedLock lock (queueLock);
            answered (message.AddressPattern());
            answered ("/unlock");
        }
        setup.showLockState (code);
    }

    void OscCom::onSpeaker (const osc::ReceivedMessage& message)
    {
        if (message.ArgumentCount() != 1)
            return;

        if (Cnode* speaker = globals::speaker)
        {
            auto args = message.ArgumentStream();
            speaker->decode (args);
        }
        answered (message.AddressPattern());
    }

    void OscCom::onSiggen (const osc::ReceivedMessage& message)
    {
        if (Cnode* siggen = globals::siggen)
        {
            auto args = message.ArgumentStream();
            siggen->decode (args);
        }
        answered (message.AddressPattern());
    }

    void OscCom::onAmpName (const osc::ReceivedMessage& message)
    {
        if (message.ArgumentCount() != 1)
            return;

        const char* name;
        auto args = message.ArgumentStream();
        args >> name;

        answered (message.AddressPattern());
        setup.showAmpName (deviceText (name));
    }

    void OscCom::onPower (const osc::ReceivedMessage& message)
    {
        if (message.ArgumentCount() != 1)
            return;

        const char* state;
        auto args = message.ArgumentStream();
        args >> state;

        if (std::strcmp (state, "OFF") == 0)
            connectionLost (connectionKind.load() == ConnectionUsb);
    }

    void OscCom::onTreeAddress (const osc::ReceivedMessage& message)
    {
        const char* address = message.AddressPattern();
        Cnode* root = globals::root;
        if (root == nullptr || address[0] != '/')
            return;

        Cnode* node = findNode (root, address + 1, (int) std::strlen (address + 1));
        if (node == nullptr)
            return;

        auto args = message.ArgumentStream();
        node->decode (args);
        answered (address);
    }

    void OscCom::onInfo (const osc::ReceivedMessage& message, int source, std::uint32_t sender)
    {
        if (message.ArgumentCount() != 3)
            return;

        const char* name;
        const char* secondText;
        osc::int32 model;
        auto args = message.ArgumentStream();
        args >> name >> secondText >> model;
        juce::ignoreUnused (secondText);

        // Only the eight known models can be shown or configured.
        if (model < 0 || model > 7)
            return;

        if (source == SourceNetwork)
        {
            setup.addNetworkDevice (model, deviceText (name), dottedAddress (sender));
            return;
        }

        if (source != SourceUsb)
            return;

        setup.updateUsbEntry (model, deviceText (name));

        // One question at a time: the device may answer again while the box is open.
        if (askingToConnect)
            return;

        askingToConnect = true;
        const juce::WeakReference<juce::MessageListener> hub (this);
        confirmConnect ([this, hub] (bool connect)
        {
            if (hub == nullptr)
                return;
            askingToConnect = false;
            if (connect)
                connectUsbDevice();
        });
    }

    void OscCom::connectUsbDevice()
    {
        if (online.load())
            setup.disconnectDevice();
        connectionKind.store (ConnectionUsb);
        setup.selectDevice (0);
        setup.connectDevice();
    }
}
