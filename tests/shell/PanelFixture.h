#pragma once

// The main panel as the program builds it, with a hub on a free loopback port and a
// simulated USB bus, inside a stand-in for the main window (a plain component whose name
// is the title) that owns the model and the preset document as the window does.

#include "FakeDialogs.h"
#include "SimulatedNetwork.h"
#include "LinkMessage.h"
#include "MessageLoop.h"
#include "OscCom.h"
#include "PageFixture.h"
#include "RemoteControl.h"
#include "SimulatedHid.h"
#include "TestModel.h"
#include "presetDocument.h"

#include "PrivateNetwork.h"
#include <gtest/gtest.h>
#include <oscpack/osc/OscOutboundPacketStream.h>
#include <oscpack/osc/OscReceivedElements.h>
#include <sched.h>
#include <cstdlib>
#include <memory>
#include <optional>

namespace paneltest
{
    /** The arguments of a "/gain" ,ffii message. */
    struct Gains
    {
        float a, b;
        int muteA, muteB;
    };

    class PanelTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            osc::HubOptions options;
            options.makeSocket = net.socketMaker();
            options.listBroadcasts = net.broadcastLister();
            options.makeHidAccess = [this] { return bus.makeAccess(); };
            panel = std::make_unique<RemoteControl> (window, model.root, presets, dialogs, options);
        }

        void TearDown() override { panel.reset(); }

        template <typename T>
        T& child (const juce::String& id)
        {
            return pagetest::widgetIn<T> (*panel, id);
        }

        juce::TabbedComponent& tabs() { return child<juce::TabbedComponent> ("tabs"); }
        juce::Slider& gainA() { return child<juce::Slider> ("gainA"); }
        juce::Slider& gainB() { return child<juce::Slider> ("gainB"); }
        EntryField& entryA() { return child<EntryField> ("gainEntryA"); }
        EntryField& entryB() { return child<EntryField> ("gainEntryB"); }
        juce::Button& muteA() { return child<juce::Button> ("mutegainA"); }
        juce::Button& muteB() { return child<juce::Button> ("mutegainB"); }
        juce::Button& link() { return child<juce::Button> ("linkgain"); }
        led_meter& meter (const char* id) { return child<led_meter> (id); }
        led_clip& lamp (const char* id) { return child<led_clip> (id); }

        /** The hub online with no connection to transmit on: what the panel sends stays in
            the queue, where the tests read it. */
        void holdSendsInQueue()
        {
            ASSERT_NE (globals::hub, nullptr);
            globals::hub->goOnline();
            ASSERT_TRUE (globals::hub->isOnline());
        }

        /** The queued "/gain" with arguments, if any (the online query has none). */
        std::optional<Gains> queuedGains() const
        {
            for (const auto& m : globals::hub->queuedMessages())
            {
                const osc::ReceivedPacket packet (static_cast<const char*> (m.getData()),
                                                  (osc::osc_bundle_element_size_t) m.getSize());
                const osc::ReceivedMessage message (packet);
                if (std::string (message.AddressPattern()) != "/gain" || message.ArgumentCount() != 4)
                    continue;
                Gains g {};
                osc::int32 ma, mb;
                message.ArgumentStream() >> g.a >> g.b >> ma >> mb >> osc::EndMessage;
                g.muteA = ma;
                g.muteB = mb;
                return g;
            }
            return std::nullopt;
        }

        /** Types `text` into `entry` and presses Return; runs the loop to deliver it. */
        void typeAndReturn (EntryField& entry, const juce::String& text)
        {
            pagetest::typeAndReturn (entry, text);
            settle();
        }

        /** Lets the asynchronous notifications (fader corrections, editor commands) run. */
        static void settle() { testloop::run (30); }

        /** Hands the hub a packet as a transport posts it, from a network sender. */
        void post (const std::vector<char>& oscBytes)
        {
            juce::MemoryBlock block (4 + oscBytes.size(), true);
            const std::uint8_t sender[4] = { 127, 0, 0, 2 };
            block.copyFrom (sender, 0, 4);
            block.copyFrom (oscBytes.data(), 4, oscBytes.size());
            globals::hub->postMessage (new osc::LinkMessage (osc::PacketSource::network, std::move (block)));
        }

        template <typename Build>
        static std::vector<char> message (Build&& build)
        {
            char buffer[256];
            osc::OutboundPacketStream s (buffer, sizeof buffer);
            build (s);
            return { s.Data(), s.Data() + s.Size() };
        }

        FakeDialogs dialogs;
        SimulatedNetwork net;
        SimulatedHid bus;
        juce::Component window { " Tarvo Remote Connect " };
        TestModel model { TestModel::publishRoot };
        presetDocument presets;
        std::unique_ptr<RemoteControl> panel;
    };
}
