// The hub's connection control: the online and offline sequences, searching, choosing a
// network amplifier, the connect question and what a lost connection does.

#include "OscCom.h"

#include "Ciosiggen.h"
#include "Ciospeaker.h"
#include "Croot.h"
#include "DeviceCodec.h"
#include "Dialogs.h"
#include "Globals.h"
#include "HostAddress.h"
#include "UdpConnection.h"
#include "UsbConnection.h"

namespace osc
{
    namespace
    {
        constexpr int meterCheckIntervalMs = 250;
        constexpr int receiveThreadStopMs = 4000;
        constexpr int presetSlots = 20;
        constexpr float meterRequestValue = 10.0f;
    }

    std::optional<Route> OscCom::routeOf (ConnectionKind kind)
    {
        switch (kind)
        {
            case ConnectionKind::usb: return Route::usb;
            case ConnectionKind::network: return Route::device;
            case ConnectionKind::none: break;
        }
        return std::nullopt;
    }

    void OscCom::goOnline()
    {
        goOnline (own);
    }

    void OscCom::goOnline (DeviceSession& session)
    {
        // The answers' shapes come from the blocks they will decode into; taken, and the
        // requests built, before "/online" goes, so the first request follows it without a pause.
        auto rules = AnswerRules::fromBlocks (rootOf (session), speakerOf (session), siggenOf (session));

        std::vector<OutboundPacketPtr> queries;
        queries.push_back (codec::bare ("/gain"));
        if (auto* root = rootOf (session))
            forEachLeaf (root, [&queries] (Cnode* block) { queries.push_back (codec::bare (block->address)); });
        std::vector<OutboundPacketPtr> commands;
        for (int slot = 1; slot <= presetSlots; ++slot)
            commands.push_back (codec::presetCommand ("/preset/name", slot, 0, "DUMMY"));
        commands.push_back (codec::meterRequest (meterRequestValue));

        if (! isOwn (session))
            sendBare (session, "/online");
        else if (const auto route = routeOf (connectionKind.load()))
            sendNow ("/online", *route);

        {
            // Queued at once: one lock and one wake of the send thread for the whole sequence.
            const juce::ScopedLock lock (linkLock);
            session.rules = std::move (rules);
            session.online.store (true);
            session.pendingTransmissions.store (0);
            session.silenceReported = false;

            for (auto& query : queries)
                if (query != nullptr && fitsConnection (session, *query))
                    session.queue.append (std::move (query));
            for (auto& command : commands)
                if (command != nullptr && fitsConnection (session, *command))
                    session.queue.merge (std::move (command), session.awaitingReply.load());
            transmitIfDue (session);
        }
        notify();

        session.lastMeterTime = now();
        updateTimer();
    }

    void OscCom::goOffline()
    {
        goOffline (own);
    }

    void OscCom::goOffline (DeviceSession& session)
    {
        if (isOwn (session))
        {
            if (connectionKind.load() == ConnectionKind::usb)
            {
                usb->release();
                connectionKind.store (ConnectionKind::none);
                setup.forgetActiveDevice();
            }

            if (connectionKind.load() == ConnectionKind::network)
                sendNow ("/offline", Route::device);
        }
        else
            sendBare (session, "/offline");

        session.online.store (false);
        updateTimer();

        {
            const juce::ScopedLock lock (linkLock);
            session.flush();
        }

        if (auto* sessionPanel = panelOf (session))
        {
            sessionPanel->setMeters (0.0f, 0.0f, 0.0f, 0.0f);
            sessionPanel->setClipLeds (false, false, false, false);
        }
    }

    void OscCom::searchDevices (std::uint32_t target)
    {
        queryTarget = target;
        sendNow ("/info", Route::target);

        // 255.255.255.255 leaves by the default route's interface only.
        if (target == broadcastAddress)
            if (const auto query = codec::bare ("/info"))
                for (const auto address : interfaceBroadcasts())
                    writeDatagram (*query, address);

        usb->rearmAnnouncement();
    }

    void OscCom::searchDevices (const juce::String& host)
    {
        searchDevices (hostaddress::resolve (host.toStdString()).value_or (0));
    }

    void OscCom::connectNetwork (std::uint32_t address)
    {
        replaceSocket (address);
        connectionKind.store (ConnectionKind::network);
    }

    void OscCom::replaceSocket (std::uint32_t address)
    {
        udp->stopPromptly (receiveThreadStopMs);
        {
            // The old socket goes first, so the new one can take the port.
            const juce::ScopedLock lock (linkLock);
            udp->setSocket (nullptr);
        }

        auto socket = makeSocket();
        {
            const juce::ScopedLock lock (linkLock);
            udp->setSocket (std::move (socket));
            own.address.store (address);
        }
        udp->startThread();

        notePortState();
    }

    void OscCom::notePortState()
    {
        // A socket that could not be made at all is no sign of another program.
        const auto* socket = udp->getSocket();
        const bool inUse = socket != nullptr && socket->isOpen() && ! socket->holdsPort();

        lastPortTry = now();
        if (inUse != portInUse)
        {
            portInUse = inUse;
            setup.showPortInUse (inUse, options.udpPort);
        }
        updateTimer();
    }

    void OscCom::retryPort()
    {
        replaceSocket (own.address.load());

        // The list fills by itself once the other program has let the port go.
        if (! portInUse)
            searchDevices (broadcastAddress);
    }

    void OscCom::connectNetwork (const juce::String& host)
    {
        connectNetwork (hostaddress::resolve (host.toStdString()).value_or (0));
    }

    bool OscCom::usbDevicePresent() const
    {
        return usb != nullptr && usb->hasDevice();
    }

    bool OscCom::isUsbAnnouncementArmed() const
    {
        return usb != nullptr && usb->isAnnouncementArmed();
    }

    void OscCom::confirmConnect (std::function<void (bool)> onAnswer)
    {
        const auto title = deviceFamily == DeviceFamily::zr ? TRANS ("ZR series connected")
                                                            : TRANS ("TARVO model connected");
        dialogs.askOkCancel (Dialogs::Icon::question, title, TRANS ("Connect to device and lose current settings?"),
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
        if (own.online.load())
            goOffline();

        if (overUsb)
            usb->release();   // not announced again until a search

        setup.forgetActiveDevice();
        connectionKind.store (ConnectionKind::none);

        // Told last, and nothing follows when the box closes: a connection made while it is
        // open (another amplifier chosen meanwhile) is the user's newer choice and stays.
        dialogs.showMessage (Dialogs::Icon::warning,
                             overUsb ? TRANS ("USB connection error!") : TRANS ("Network connection error!"),
                             TRANS ("Device will be disconnected"), TRANS ("Ok"));
    }

    void OscCom::sessionLost (DeviceSession& session)
    {
        if (isOwn (session))
            return connectionLost (connectionKind.load() == ConnectionKind::usb);

        if (session.online.load())
            goOffline (session);
        if (session.target.lost)
            session.target.lost (TRANS ("Network connection error!") + " " + TRANS ("Device will be disconnected"));
    }

    bool OscCom::anySessionOnline() const
    {
        if (own.online.load())
            return true;
        for (const auto& session : sessions)
            if (session->online.load())
                return true;
        return false;
    }

    void OscCom::updateTimer()
    {
        if (! anySessionOnline() && ! portInUse)
            stopTimer();
        else if (! isTimerRunning())
            startTimer (meterCheckIntervalMs);
    }

    void OscCom::timerCallback()
    {
        if (portInUse && now() - lastPortTry >= (std::uint32_t) portRetryMs)
            retryPort();

        if (own.online.load())
            watchMeters (own);

        // A watch may take a session offline and so close nothing, but a loss told to a
        // session's owner may close that session: walk a copy of the ids.
        std::vector<int> ids;
        for (const auto& session : sessions)
            ids.push_back (session->id);
        for (const int id : ids)
            if (auto* session = findSession (id); session != nullptr && session->online.load())
                watchMeters (*session);

        updateTimer();
    }

    void OscCom::watchMeters (DeviceSession& session)
    {
        const auto time = now();
        if (time - session.lastMeterTime < (std::uint32_t) meterSilenceMs)
            return;
        session.lastMeterTime = time;

        // A USB connection without an open device can transmit nothing, so the answer rule
        // would never notice it.
        if (isOwn (session) && connectionKind.load() == ConnectionKind::usb && ! usbDevicePresent())
        {
            usbConnectionError();
            return;
        }

        // A silent amplifier: ask again; if it stays silent the request goes unanswered and
        // the connection is reported lost instead of the meters freezing.
        sendPacket (session, codec::meterRequest (meterRequestValue));
    }

    //==============================================================================
    PanelOperations* OscCom::panelOf (DeviceSession& session)
    {
        return isOwn (session) ? &panel : session.target.panel;
    }

    SetupOperations* OscCom::setupOf (DeviceSession& session)
    {
        return isOwn (session) ? &setup : session.target.setup;
    }

    Cnode* OscCom::rootOf (const DeviceSession& session) const
    {
        return isOwn (session) ? globals::root : session.target.root;
    }

    Cnode* OscCom::speakerOf (const DeviceSession& session) const
    {
        return isOwn (session) ? static_cast<Cnode*> (globals::speaker) : session.target.speaker;
    }

    Cnode* OscCom::siggenOf (const DeviceSession& session) const
    {
        return isOwn (session) ? static_cast<Cnode*> (globals::siggen) : session.target.siggen;
    }
}
