// Whatever an amplifier, or anything else on the port, sends must leave the hub standing:
// arbitrary bytes arrive as USB payloads and as datagrams from the connected amplifier or
// from a stranger, while the hub is online or offline, with the whole tree, the standalone
// blocks, the panel and the Setup page behind the dispatch.
//
// The hub opens a UDP socket and broadcasts at start-up, so this program refuses to run
// anywhere but in a private network namespace with loopback only (unshare -n).

#include "FakeDialogs.h"
#include "FakePanel.h"
#include "FakeSetupPage.h"
#include "NoUsbDevices.h"
#include "OscCom.h"
#include "TestModel.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace
{

    bool onlyLoopbackExists()
    {
        ifaddrs* list = nullptr;
        if (getifaddrs (&list) != 0)
            return false;
        bool onlyLoopback = true;
        for (auto* i = list; i != nullptr; i = i->ifa_next)
            onlyLoopback = onlyLoopback && std::strcmp (i->ifa_name, "lo") == 0;
        freeifaddrs (list);
        return onlyLoopback;
    }

    struct World
    {
        World()
        {
            osc::HubOptions options;
            options.udpPort = 43456;
            options.clock = [] { return (std::uint32_t) 0; };   // no retransmissions, no silence checks
            options.makeHidAccess = [] { return std::make_unique<NoUsbDevices>(); };
            hub = std::make_unique<osc::OscCom> (panel, setup, dialogs, options);
            setup.hub = hub.get();
            setup.networkAddress = "127.0.0.2";
            setup.selectDevice (1);
        }

        ~World() { hub.reset(); }

        juce::ScopedJuceInitialiser_GUI juce;
        TestModel model { TestModel::publishAll };
        FakePanel panel;
        FakeSetupPage setup;
        FakeDialogs dialogs;
        std::unique_ptr<osc::OscCom> hub;
    };

    World* world = nullptr;
}

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    if (! onlyLoopbackExists())
    {
        std::fprintf (stderr, "fuzz_link_hub: run me in a private network namespace (unshare -n)\n");
        std::exit (1);
    }
    world = new World();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;

    // First byte: bit 0 USB or network, bit 1 go offline first, bit 2 from a stranger,
    // bits 3 and 5 answer "Connect" to a connect question, bit 6 stay offline, bits 4-7 = 15:
    // a link event instead.  Changing connection makes a new socket each time, so most
    // inputs keep the state.
    const auto control = data[0];
    auto& w = *world;

    if ((control & 2) != 0 && w.hub->isOnline())
        w.setup.disconnectDevice();

    if ((control & 0x40) == 0 && ! w.hub->isOnline())
    {
        if (w.hub->getConnectionKind() != osc::ConnectionKind::network)
            w.setup.selectDevice (1);
        w.setup.connectDevice();
    }
    w.dialogs.defaultAnswer = (control & 0x28) == 0x28;

    if ((control >> 4) == 15)
    {
        // Second byte: which event (low bits), and the family of an opened device (top bit).
        static const osc::LinkEvent events[] = { osc::LinkEvent::usbOpened, osc::LinkEvent::usbRemoved,
                                                 osc::LinkEvent::usbSilent, osc::LinkEvent::networkSilent };
        const auto pick = size > 1 ? data[1] : 0;
        const auto family = (pick & 0x80) != 0 ? DeviceFamily::tarvo : DeviceFamily::zr;
        w.hub->handleMessage (osc::LinkMessage (events[pick % std::size (events)], family));
        return 0;
    }

    const bool overUsb = (control & 1) != 0;
    juce::MemoryBlock block (4 + (size - 1), true);
    if (! overUsb)
    {
        in_addr sender {};
        inet_pton (AF_INET, (control & 4) != 0 ? "127.0.0.3" : "127.0.0.2", &sender);
        block.copyFrom (&sender, 0, 4);
    }
    block.copyFrom (data + 1, 4, size - 1);

    w.hub->handleMessage (
        osc::LinkMessage (overUsb ? osc::PacketSource::usb : osc::PacketSource::network, std::move (block)));
    w.setup.calls.clear();
    w.dialogs.shown.clear();
    return 0;
}
