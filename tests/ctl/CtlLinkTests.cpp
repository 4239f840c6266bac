// zr-ctl's link on the simulated network and a simulated USB bus: discovery lists every
// amplifier once, the USB one too, and never connects to anything by itself.

#include "../link/HubFixture.h"
#include "CtlLink.h"

#include <atomic>
#include <thread>

using namespace hubtest;

TEST (CtlLink, DiscoverListsEachAmplifierOnceWithTheUsbOneAndConnectsToNone)
{
    SimulatedNetwork net;
    SimulatedHid bus;
    net.setInterfaceBroadcasts ({ "127.0.0.255" });

    // Hears the limited and its network's directed broadcast, and answers both.
    SimulatedNetwork::Peer amp (net, "127.0.0.2", 3456);
    amp.hearBroadcasts (true);

    SimulatedHid::Device device;
    device.path = "usb-amp";
    bus.attach (device);

    osc::HubOptions options;
    options.makeSocket = net.socketMaker();
    options.makeHidAccess = [&bus] { return bus.makeAccess(); };
    options.listBroadcasts = net.broadcastLister();
    CtlLink link (options);
    ASSERT_TRUE (link.holdsPort());

    std::atomic<bool> done { false };
    std::atomic<int> queries { 0 };
    std::thread amplifiers (
        [&]
        {
            bool usbAnswered = false;
            while (! done.load())
            {
                if (! amp.receive (10).empty())
                {
                    ++queries;
                    amp.send (info ("Stage Left", 1));
                }
                if (! usbAnswered && ! bus.written ("usb-amp").empty())
                {
                    const auto answer = info ("Desk", 5);
                    bus.queuePayload ("usb-amp", std::string (answer.begin(), answer.end()));
                    usbAnswered = true;
                }
            }
        });

    const auto devices = link.discover (1500);
    done.store (true);
    amplifiers.join();

    EXPECT_EQ (queries.load(), 2);
    ASSERT_EQ (devices.size(), 2u);
    for (const auto& d : devices)
    {
        if (d.address == "USB")
            EXPECT_EQ (std::make_pair (d.model, d.name), std::make_pair (5, std::string ("Desk")));
        else
            EXPECT_EQ (std::make_tuple (d.address, d.model, d.name),
                       std::make_tuple (std::string ("127.0.0.2"), 1, std::string ("Stage Left")));
    }

    // The connect question for the USB amplifier was answered "Cancel".
    EXPECT_FALSE (link.link().isOnline());
    EXPECT_EQ (link.link().getConnectionKind(), osc::ConnectionKind::none);
}

TEST (CtlLink, ThePortHeldElsewhereIsToldAndASilentAmplifierEndsInALostConnection)
{
    SimulatedNetwork net;
    SimulatedHid bus;
    osc::HubOptions options;
    options.makeSocket = net.socketMaker();
    options.makeHidAccess = [&bus] { return bus.makeAccess(); };
    options.listBroadcasts = net.broadcastLister();

    net.holdPortElsewhere (3456, true);
    {
        CtlLink blocked (options);
        EXPECT_FALSE (blocked.holdsPort());
    }
    net.holdPortElsewhere (3456, false);

    // Nobody answers at 127.0.0.9: the program's rule gives up after four transmissions.
    CtlLink link (options);
    std::string why;
    const auto start = juce::Time::getMillisecondCounter();
    EXPECT_FALSE (link.goOnline (SimulatedNetwork::address ("127.0.0.9"), 10000, why));
    EXPECT_EQ (why, "Network connection error! Device will be disconnected");
    EXPECT_LT (juce::Time::getMillisecondCounter() - start, 5000u);

    // A wait shorter than that ends at its own time-out.
    EXPECT_FALSE (link.goOnline (SimulatedNetwork::address ("127.0.0.9"), 300, why));
    EXPECT_EQ (why, "no answer to every request within 300 ms");
}
