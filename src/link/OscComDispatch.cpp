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
        constexpr std::size_t packetPrefix = 4;
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
            handlePacket (link->source, link->packet);
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
                if (online.load() && connectionKind.load() == ConnectionKind::usb)
                    usbConnectionError();
                break;

            case LinkEvent::networkSilent:
                if (online.load() && connectionKind.load() == ConnectionKind::network)
                    networkConnectionError();
                break;
        }
    }

    void OscCom::usbDeviceLeft()
    {
        setup.usbDeviceRemoved();

        // Unplugged while in use: no need to wait for the silence to tell.
        if (online.load() && connectionKind.load() == ConnectionKind::usb)
            usbConnectionError();
    }

    void OscCom::handlePacket (PacketSource source, const juce::MemoryBlock& block)
    {
        if (block.getSize() <= packetPrefix)
            return;

        std::uint32_t sender = 0;
        std::memcpy (&sender, block.getData(), sizeof sender);

        const codec::InboundMessage inbound (static_cast<const char*> (block.getData()) + packetPrefix,
                                             block.getSize() - packetPrefix);
        if (! inbound.isValid())
            return;

        const auto& received = inbound.get();
        try
        {
            if (accepts (source, sender))
                dispatch (received);

            if (std::strcmp (received.AddressPattern(), "/info") == 0)
                onInfo (received, source, sender);
        }
        catch (const osc::Exception&)
        {
            // Arguments a block cannot decode: dropped without effect or acknowledgement.
        }
    }

    bool OscCom::accepts (PacketSource source, std::uint32_t sender) const
    {
        if (! online.load())
            return false;

        const auto kind = connectionKind.load();
        if (kind == ConnectionKind::usb)
            return source == PacketSource::usb;

        if (source != PacketSource::network)
            return false;

        // On a network connection only the connected amplifier is listened to; others may
        // share the port (and answer searches, which reach the device list regardless).
        return kind != ConnectionKind::network || sender == deviceAddress.load();
    }

    void OscCom::dispatch (const osc::ReceivedMessage& message)
    {
        const char* address = message.AddressPattern();
        for (const auto& route : addressRoutes)
        {
            if (startsWith (address, route.prefix))
            {
                (this->*route.handler) (message);
                return;
            }
        }
        onTreeAddress (message);
    }

    //==============================================================================
    void OscCom::onMeter (const osc::ReceivedMessage& message)
    {
        const auto meters = codec::readMeters (message);
        if (! meters)
            return;

        acknowledge (message.AddressPattern());
        const auto& level = meters->levels;
        panel.setMeters (level[0], level[1], level[2], level[3]);
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
        if (const auto lamps = codec::readLamps (message))
            panel.setClipLeds (lamps->lit[0], lamps->lit[1], lamps->lit[2], lamps->lit[3]);
    }

    void OscCom::onGain (const osc::ReceivedMessage& message)
    {
        const auto gains = codec::readGains (message);
        if (! gains)
            return;

        acknowledge (message.AddressPattern());
        panel.setGainsFromDevice (gains->gainA, gains->gainB, gains->muteA, gains->muteB);
    }

    void OscCom::onPreset (const osc::ReceivedMessage& message)
    {
        const auto preset = codec::readPreset (message);
        if (! preset)
            return;

        acknowledge (message.AddressPattern());
        switch (preset->kind)
        {
            case codec::PresetAnswer::Kind::name: setup.setSlot (preset->slot, preset->mode, preset->name); break;
            case codec::PresetAnswer::Kind::load: setup.presetRecalled (preset->name); break;
            case codec::PresetAnswer::Kind::save: setup.presetStored (preset->slot, preset->mode, preset->name); break;
        }
    }

    void OscCom::onLock (const osc::ReceivedMessage& message)
    {
        const auto code = codec::readLockCode (message);
        if (! code)
            return;

        // "/lock" answers both requests, but one answer retires one request: the lock is
        // held across both checks so that the send thread cannot put a queued "/unlock" on
        // the wire between them and have it retired unanswered.
        {
            const juce::ScopedLock lock (queueLock);
            acknowledge (message.AddressPattern());
            acknowledge ("/unlock");
        }
        setup.showLockState (*code);
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
        acknowledge (message.AddressPattern());
    }

    void OscCom::onSiggen (const osc::ReceivedMessage& message)
    {
        if (Cnode* siggen = globals::siggen)
        {
            auto args = message.ArgumentStream();
            siggen->decode (args);
        }
        acknowledge (message.AddressPattern());
    }

    void OscCom::onAmpName (const osc::ReceivedMessage& message)
    {
        const auto name = codec::readAmpName (message);
        if (! name)
            return;

        acknowledge (message.AddressPattern());
        setup.showAmpName (*name);
    }

    void OscCom::onPower (const osc::ReceivedMessage& message)
    {
        if (codec::readPowerOff (message))
            connectionLost (connectionKind.load() == ConnectionKind::usb);
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
        acknowledge (address);
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

        if (online.load())
            setup.disconnectDevice();
        connectionKind.store (ConnectionKind::usb);
        setup.selectDevice (0);
        setup.connectDevice();
    }
}
