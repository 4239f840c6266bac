// The hub's receiving side: link events and packets posted by the transports, routed by
// address to the panel, the Setup page, the standalone blocks or the tree.

#include "OscCom.h"

#include "Ciosiggen.h"
#include "Ciospeaker.h"
#include "Croot.h"
#include "DeviceCodec.h"
#include "Globals.h"
#include "HostAddress.h"

#include <cstring>

namespace osc
{
    namespace
    {
        constexpr float meterRequestValue = 10.0f;

        bool startsWith (const char* text, const char* prefix)
        {
            return std::strncmp (text, prefix, std::strlen (prefix)) == 0;
        }
    }

    // Tested in this order; an address that none begins with goes to the tree.
    const OscCom::AddressRoute OscCom::addressRoutes[] = {
        { "/meter", &OscCom::onMeter },   { "/peaklimit", &OscCom::onPeakLimit }, { "/gain", &OscCom::onGain },
        { "/preset", &OscCom::onPreset }, { "/lock", &OscCom::onLock },           { "/speaker", &OscCom::onSpeaker },
        { "/siggen", &OscCom::onSiggen }, { "/ampname", &OscCom::onAmpName },     { "/power", &OscCom::onPower },
    };

    void OscCom::handleMessage (const juce::Message& message)
    {
        const auto* link = dynamic_cast<const LinkMessage*> (&message);
        if (link == nullptr || link->tag != messageTag)
            return;

        if (link->isPacket)
            handlePacket (*link);
        else
            handleLinkEvent (*link);
    }

    void OscCom::handleLinkEvent (const LinkMessage& message)
    {
        switch (message.event)
        {
            case LinkEvent::usbOpened:
                deviceFamily = message.family;
                sendNow ("/info", Route::usb);
                break;

            case LinkEvent::usbRemoved: usbDeviceLeft(); break;

            // Only a loss on the connection still in use counts; reports queued before the
            // program went offline or changed connection are stale.
            case LinkEvent::usbSilent:
                if (message.session == own.id && own.online.load() && connectionKind.load() == ConnectionKind::usb)
                    usbConnectionError();
                break;

            case LinkEvent::networkSilent:
                if (message.session == own.id)
                {
                    if (own.online.load() && connectionKind.load() == ConnectionKind::network)
                        networkConnectionError();
                }
                else if (auto* session = findSession (message.session); session != nullptr && session->online.load())
                    sessionLost (*session);
                break;
        }
    }

    void OscCom::usbDeviceLeft()
    {
        setup.usbDeviceRemoved();

        // Unplugged while in use: no need to wait for the silence to tell.
        if (own.online.load() && connectionKind.load() == ConnectionKind::usb)
            usbConnectionError();
    }

    void OscCom::handlePacket (const LinkMessage& link)
    {
        // However the packet ends, the request it retired is done once it has been seen.
        struct TransitEnd
        {
            OscCom& hub;
            const LinkMessage& link;
            ~TransitEnd()
            {
                if (link.transit == 0)
                    return;
                const juce::ScopedLock lock (hub.linkLock);
                if (auto* session = hub.findSession (link.session))
                    session->finishTransit (link.transit);
            }
        } transitEnd { *this, link };

        const codec::InboundPacket inbound (link.packet);
        if (! inbound.message.isValid())
            return;

        const auto sender = inbound.sender;
        const auto& received = inbound.message.get();
        try
        {
            if (auto* session = sessionFor (link.source, sender))
            {
                dispatchJudged = link.judged;
                dispatch (*session, received);
                dispatchJudged = false;
            }

            if (std::strcmp (received.AddressPattern(), "/info") == 0)
                onInfo (received, link.source, sender);
        }
        catch (const osc::Exception&)
        {
            // Arguments a block cannot decode: dropped without effect or acknowledgement.
            dispatchJudged = false;
        }
    }

    void OscCom::dispatch (DeviceSession& session, const osc::ReceivedMessage& message)
    {
        const char* address = message.AddressPattern();
        for (const auto& route : addressRoutes)
        {
            if (startsWith (address, route.prefix))
            {
                (this->*route.handler) (session, message);
                return;
            }
        }
        onTreeAddress (session, message);
    }

    //==============================================================================
    template <typename Answer>
    std::optional<Answer> OscCom::accepted (DeviceSession& session, const osc::ReceivedMessage& message,
                                            std::optional<Answer> answer)
    {
        if (answer)
            answered (session, message.AddressPattern());
        return answer;
    }

    void OscCom::onMeter (DeviceSession& session, const osc::ReceivedMessage& message)
    {
        const auto meters = accepted (session, message, codec::readMeters (message));
        if (! meters)
            return;

        const auto& level = meters->levels;
        if (auto* target = panelOf (session))
            target->setMeters (level[0], level[1], level[2], level[3]);
        session.lastMeterTime = now();

        // The amplifier streams a limited number of meter messages per request.
        if (++session.meterReplyCount > metersPerRequest)
        {
            session.meterReplyCount = 0;
            sendPacket (session, codec::meterRequest (meterRequestValue));
        }
    }

    void OscCom::onPeakLimit (DeviceSession& session, const osc::ReceivedMessage& message)
    {
        if (const auto lamps = codec::readLamps (message))
            if (auto* target = panelOf (session))
                target->setClipLeds (lamps->lit[0], lamps->lit[1], lamps->lit[2], lamps->lit[3]);
    }

    void OscCom::onGain (DeviceSession& session, const osc::ReceivedMessage& message)
    {
        if (const auto gains = accepted (session, message, codec::readGains (message)))
            if (auto* target = panelOf (session))
                target->setGainsFromDevice (gains->gainA, gains->gainB, gains->muteA, gains->muteB);
    }

    void OscCom::onPreset (DeviceSession& session, const osc::ReceivedMessage& message)
    {
        const auto preset = accepted (session, message, codec::readPreset (message));
        auto* target = setupOf (session);
        if (! preset || target == nullptr)
            return;
        switch (preset->kind)
        {
            case codec::PresetAnswer::Kind::name: target->setSlot (preset->slot, preset->mode, preset->name); break;
            case codec::PresetAnswer::Kind::load: target->presetRecalled (preset->name); break;
            case codec::PresetAnswer::Kind::save:
                target->presetStored (preset->slot, preset->mode, preset->name);
                break;
        }
    }

    void OscCom::onLock (DeviceSession& session, const osc::ReceivedMessage& message)
    {
        const auto code = codec::readLockCode (message);
        if (! code)
            return;

        // "/lock" answers both requests, but one answer retires one request.
        answered (session, message.AddressPattern(), "/unlock");
        if (auto* target = setupOf (session))
            target->showLockState (*code);
    }

    void OscCom::onSpeaker (DeviceSession& session, const osc::ReceivedMessage& message)
    {
        if (message.ArgumentCount() != 1)
            return;

        if (Cnode* speaker = speakerOf (session))
        {
            auto args = message.ArgumentStream();
            speaker->decode (args);
        }
        answered (session, message.AddressPattern());
    }

    void OscCom::onSiggen (DeviceSession& session, const osc::ReceivedMessage& message)
    {
        if (Cnode* siggen = siggenOf (session))
        {
            auto args = message.ArgumentStream();
            siggen->decode (args);
        }
        answered (session, message.AddressPattern());
    }

    void OscCom::onAmpName (DeviceSession& session, const osc::ReceivedMessage& message)
    {
        if (const auto name = accepted (session, message, codec::readAmpName (message)))
            if (auto* target = setupOf (session))
                target->showAmpName (*name);
    }

    void OscCom::onPower (DeviceSession& session, const osc::ReceivedMessage& message)
    {
        if (codec::readPowerOff (message))
            sessionLost (session);
    }

    void OscCom::onTreeAddress (DeviceSession& session, const osc::ReceivedMessage& message)
    {
        const char* address = message.AddressPattern();
        Cnode* root = rootOf (session);
        if (root == nullptr || address[0] != '/')
            return;

        Cnode* node = findNode (root, address + 1, (int) std::strlen (address + 1));
        if (node == nullptr)
            return;

        auto args = message.ArgumentStream();
        node->decode (args);
        answered (session, address);
    }

    //==============================================================================
    void OscCom::onInfo (const osc::ReceivedMessage& message, PacketSource source, std::uint32_t sender)
    {
        const auto info = codec::readInfo (message);
        if (! info)
            return;

        if (source == PacketSource::network)
        {
            setup.addNetworkDevice (info->model, info->name, hostaddress::dotted (sender));
            return;
        }

        setup.updateUsbEntry (info->model, info->name);

        // One question at a time: the device may answer again while the box is open.
        if (askingToConnect)
            return;

        askingToConnect = true;
        const juce::WeakReference<juce::MessageListener> hub (this);
        confirmConnect (
            [this, hub] (bool connect)
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
        // The amplifier may have been unplugged while the question was open.
        if (! usbDevicePresent())
            return;

        if (own.online.load())
            setup.disconnectDevice();
        connectionKind.store (ConnectionKind::usb);
        setup.selectDevice (0);
        setup.connectDevice();
    }
}
