// The hub's connection control: the online and offline sequences, searching, choosing a
// network amplifier, the connect question and what a lost connection does.

#include "OscCom.h"

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
        if (const auto route = routeOf (connectionKind.load()))
            sendNow ("/online", *route);

        online.store (true);
        pendingTransmissions.store (0);

        sendQuery ("/gain");
        if (auto* root = globals::root)
            forEachLeaf (root, [this] (Cnode* block) { appendQuery (block->address); });

        for (int slot = 1; slot <= presetSlots; ++slot)
            sendPresetCommand ("/preset/name", slot, 0, "DUMMY");

        sendMeterRequest (meterRequestValue);

        lastMeterTime = now();
        updateTimer();
    }

    void OscCom::goOffline()
    {
        if (connectionKind.load() == ConnectionKind::usb)
        {
            usb->release();
            connectionKind.store (ConnectionKind::none);
            setup.forgetActiveDevice();
        }

        if (connectionKind.load() == ConnectionKind::network)
            sendNow ("/offline", Route::device);

        online.store (false);
        updateTimer();

        {
            const juce::ScopedLock lock (queueLock);
            queue.clear();
            awaitingReply.store (false);
            pendingTransmissions.store (0);
        }

        panel.setMeters (0.0f, 0.0f, 0.0f, 0.0f);
        panel.setClipLeds (false, false, false, false);
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
        udp->stopThread (receiveThreadStopMs);
        {
            // The old socket goes first, so the new one can take the port.
            const juce::ScopedLock lock (queueLock);
            udp->setSocket (nullptr);
        }

        auto socket = makeSocket();
        {
            const juce::ScopedLock lock (queueLock);
            udp->setSocket (std::move (socket));
            deviceAddress.store (address);
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
        replaceSocket (deviceAddress.load());

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
        if (online.load())
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

    void OscCom::updateTimer()
    {
        if (! online.load() && ! portInUse)
            stopTimer();
        else if (! isTimerRunning())
            startTimer (meterCheckIntervalMs);
    }

    void OscCom::timerCallback()
    {
        if (portInUse && now() - lastPortTry >= (std::uint32_t) portRetryMs)
            retryPort();

        if (online.load())
            watchMeters();

        updateTimer();
    }

    void OscCom::watchMeters()
    {
        const auto time = now();
        if (time - lastMeterTime < (std::uint32_t) meterSilenceMs)
            return;
        lastMeterTime = time;

        // A USB connection without an open device can transmit nothing, so the answer rule
        // would never notice it.
        if (connectionKind.load() == ConnectionKind::usb && ! usbDevicePresent())
        {
            usbConnectionError();
            return;
        }

        // A silent amplifier: ask again; if it stays silent the request goes unanswered and
        // the connection is reported lost instead of the meters freezing.
        sendMeterRequest (meterRequestValue);
    }
}
