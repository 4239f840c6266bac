#pragma once

// A hub between fakes: the panel, the Setup page, scripted dialogs, a clock that moves only
// when told, a simulated USB bus and a simulated network with an amplifier on it.  No real
// socket is opened, so these tests run anywhere, without a network namespace.

#include "FakeClock.h"
#include "FakeDialogs.h"
#include "FakePanel.h"
#include "FakeSetupPage.h"
#include "Globals.h"
#include "MessageLoop.h"
#include "OscCom.h"
#include "SimulatedHid.h"
#include "SimulatedNetwork.h"
#include "TestModel.h"
#include "UsbConnection.h"

#include <gtest/gtest.h>
#include <oscpack/osc/OscOutboundPacketStream.h>
#include <oscpack/osc/OscReceivedElements.h>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace hubtest
{
    /** One OSC message's bytes, built with oscpack into a roomy buffer. */
    template <typename Build>
    std::vector<char> oscBytes (Build&& build)
    {
        char buffer[512];
        ::osc::OutboundPacketStream s (buffer, sizeof buffer);
        build (s);
        return { s.Data(), s.Data() + s.Size() };
    }

    inline std::vector<char> bare (const char* address)
    {
        return oscBytes ([&] (::osc::OutboundPacketStream& s)
                         { s << ::osc::BeginMessage (address) << ::osc::EndMessage; });
    }

    inline std::vector<char> meters (float a, float b, float c, float d)
    {
        return oscBytes ([&] (::osc::OutboundPacketStream& s)
                         { s << ::osc::BeginMessage ("/meter") << a << b << c << d << ::osc::EndMessage; });
    }

    inline std::vector<char> gains (float a, float b, int muteA, int muteB)
    {
        return oscBytes (
            [&] (::osc::OutboundPacketStream& s) {
                s << ::osc::BeginMessage ("/gain") << a << b << (::osc::int32) muteA << (::osc::int32) muteB
                  << ::osc::EndMessage;
            });
    }

    inline std::vector<char> presetAnswer (const char* address, int slot, int mode, const char* name)
    {
        return oscBytes (
            [&] (::osc::OutboundPacketStream& s) {
                s << ::osc::BeginMessage (address) << (::osc::int32) slot << (::osc::int32) mode << name
                  << ::osc::EndMessage;
            });
    }

    inline std::vector<char> info (const char* name, int model)
    {
        return oscBytes (
            [&] (::osc::OutboundPacketStream& s)
            { s << ::osc::BeginMessage ("/info") << name << "V1.4" << (::osc::int32) model << ::osc::EndMessage; });
    }

    inline std::vector<char> oneInt (const char* address, int value)
    {
        return oscBytes ([&] (::osc::OutboundPacketStream& s)
                         { s << ::osc::BeginMessage (address) << (::osc::int32) value << ::osc::EndMessage; });
    }

    inline std::vector<char> oneString (const char* address, const char* text)
    {
        return oscBytes ([&] (::osc::OutboundPacketStream& s)
                         { s << ::osc::BeginMessage (address) << text << ::osc::EndMessage; });
    }

    inline std::string addressOf (const std::vector<char>& message)
    {
        return message.empty() ? std::string() : std::string (message.data());
    }

    inline std::string addressOf (const juce::MemoryBlock& message)
    {
        return message.getSize() == 0 ? std::string() : std::string (static_cast<const char*> (message.getData()));
    }

    /** A well-formed answer to a request of the hub's, as an amplifier would send it. */
    inline std::vector<char> answerTo (const std::string& address)
    {
        if (address == "/gain")
            return gains (-6.0f, -3.0f, 0, 0);
        if (address == "/meter")
            return meters (0.5f, 0.5f, 0.5f, 0.5f);
        if (address == "/preset/name")
            return presetAnswer ("/preset/name", 1, 5, "INIT_DATA");
        if (address == "/lock" || address == "/unlock")
            return oneInt ("/lock", 0);
        if (address == "/ampname")
            return oneString ("/ampname", "Amp");
        return bare (address.c_str());
    }

    constexpr const char* ampAddress = "127.0.0.2";

    class HubTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            amp = std::make_unique<SimulatedNetwork::Peer> (net, ampAddress, port);
            makeHub();
        }

        void TearDown() override { hub.reset(); }

        void makeHub()
        {
            osc::HubOptions options;
            options.udpPort = port;
            options.clock = clock.function();
            options.makeHidAccess = [this] { return bus.makeAccess(); };
            options.makeSocket = net.socketMaker();
            options.listBroadcasts = net.broadcastLister();
            hub = std::make_unique<osc::OscCom> (panel, setup, dialogs, options);
            setup.hub = hub.get();
        }

        /** Chooses the network amplifier and goes online, as the Setup page does. */
        void connectOverNetwork()
        {
            setup.selectDevice (1);
            setup.connectDevice();
            ASSERT_TRUE (hub->isOnline());
        }

        /** Hands the hub a packet as a transport would post it. */
        void deliver (const std::vector<char>& message, osc::PacketSource source = osc::PacketSource::network,
                      const char* sender = ampAddress)
        {
            juce::MemoryBlock block (4 + message.size(), true);
            if (source == osc::PacketSource::network)
            {
                const auto address = SimulatedNetwork::address (sender);
                block.copyFrom (&address, 0, 4);
            }
            block.copyFrom (message.data(), 4, message.size());
            hub->handleMessage (osc::LinkMessage (source, std::move (block)));
        }

        /** The next datagram that reaches the amplifier (empty after `timeoutMs`). */
        std::vector<char> nextAtAmp (int timeoutMs = 1000) { return amp->receive (timeoutMs); }

        std::vector<std::string> queuedAddresses() const
        {
            std::vector<std::string> addresses;
            for (const auto& m : hub->queuedMessages())
                addresses.push_back (addressOf (m));
            return addresses;
        }

        bool waitUntilAwaiting()
        {
            return testloop::runUntil ([this] { return hub->isAwaitingReply(); }, 2000);
        }

        /** Answers every queued request (each once transmitted) until the queue is empty. */
        void drainQueue()
        {
            for (int guard = 0; guard < 200 && ! hub->queuedMessages().empty(); ++guard)
            {
                ASSERT_TRUE (waitUntilAwaiting());
                deliver (answerTo (addressOf (hub->queuedMessages().front())));
            }
            ASSERT_TRUE (hub->queuedMessages().empty());
        }

        /** Online over the network with nothing queued and every record cleared. */
        void onlineAndIdle()
        {
            connectOverNetwork();
            drainQueue();
            panel = {};
            setup.calls.clear();
            dialogs.shown.clear();
            while (! amp->receive (20).empty())
            {
            }
        }

        /** Queues `address` as a query and waits until it is in flight. */
        void awaitQuery (const char* address)
        {
            hub->sendQuery (address);
            ASSERT_TRUE (waitUntilAwaiting());
        }

        FakeClock clock;
        FakePanel panel;
        FakeSetupPage setup;
        FakeDialogs dialogs;
        SimulatedHid bus;
        SimulatedNetwork net;
        int port = 3456;
        std::unique_ptr<SimulatedNetwork::Peer> amp;
        std::unique_ptr<osc::OscCom> hub;
    };
}
