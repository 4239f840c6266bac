#pragma once

// The real hub against real zr-ampsim processes, over real sockets, on a virtual LAN that
// each test builds for itself: the test process sits on the bridge at 192.0.2.1 and every
// simulator on a host of its own (192.0.2.11, .12, ...), listening on every address of its
// host so that it hears broadcasts.  The model is the program's (TestModel); the panel, the
// Setup page and the dialogs are fakes; USB is a simulated bus with nothing on it.  Without the rights to make namespaces the
// tests skip, and nothing is ever sent before the test is inside its own namespaces.

#include "AmpSimProcess.h"
#include "FakeDialogs.h"
#include "FakePanel.h"
#include "FakeSetupPage.h"
#include "MessageLoop.h"
#include "OscCom.h"
#include "PrivateLan.h"
#include "SimulatedHid.h"
#include "TestModel.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace linktest
{
    /** The amplifiers' port; free, since the namespace is the test's own. */
    constexpr int udpPort = 3456;

    /** What the sender of a logged message was: the hub's socket on the bridge. */
    inline std::string hubPeer()
    {
        return std::string (PrivateLan::bridgeAddress) + ":" + std::to_string (udpPort);
    }

    /** The address part of a logged message ("/gain ,ffii ..." gives "/gain"). */
    inline std::string addressOf (const std::string& logged)
    {
        return logged.substr (0, logged.find (' '));
    }

    /** The requests that going online must put on the wire, in order, as the simulator logs
        them: the gains, one query per block in tree order, the 20 slot names, the meter
        stream, and for a ZR model the signal generator (the Setup page's query). */
    inline std::vector<std::string> onlineRequests (Croot& root, bool zrModel)
    {
        std::vector<std::string> requests { "/gain ," };
        forEachLeaf (&root, [&] (Cnode* block) { requests.push_back (std::string (block->address) + " ,"); });
        for (int slot = 1; slot <= 20; ++slot)
            requests.push_back ("/preset/name ,iis " + std::to_string (slot) + " 0 \"DUMMY\"");
        requests.push_back ("/meter ,f 10");
        if (zrModel)
            requests.push_back ("/siggen ,");
        return requests;
    }

    class LinkIntegration : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            std::string whyNot;
            if (! lan.open (whyNot))
                GTEST_SKIP() << "needs private network namespaces: " << whyNot;

            char folderName[] = "/tmp/zr-link-integration-XXXXXX";
            ASSERT_NE (mkdtemp (folderName), nullptr);
            folder = folderName;
        }

        void TearDown() override
        {
            hub.reset();
            sims.clear();
            if (folder.empty())
                return;
            // The simulators' logs stay for a look when something failed.
            if (HasFailure())
                std::printf ("simulator logs kept in %s\n", folder.c_str());
            else
                std::filesystem::remove_all (folder);
        }

        /** Starts a simulator on host `host` (made on first use) with `args` added to its
            command line, and waits until it listens.  Its address is addresses[host]. */
        AmpSimProcess& startSim (const std::string& host, const std::vector<std::string>& args = {})
        {
            if (addresses.count (host) == 0)
                addresses[host] = lan.addHost (host);
            EXPECT_FALSE (addresses[host].empty()) << "host " << host << " could not be made";

            std::vector<std::string> all {
                "--bind", "0.0.0.0", "--port", std::to_string (udpPort), "--reply-delay", "0"
            };
            all.insert (all.end(), args.begin(), args.end());
            const std::string tag = host + "-" + std::to_string (++started);
            sims[host] = std::make_unique<AmpSimProcess> (ZR_AMPSIM, all, lan.namespacePath (host), folder, tag);

            auto& sim = *sims[host];
            EXPECT_TRUE (testloop::runUntil ([&sim] { return sim.isListening() || ! sim.isRunning(); }, 5000)
                         && sim.isListening())
                << sim.errors();
            return sim;
        }

        /** Creates the hub; its constructor broadcasts "/info" onto the LAN. */
        void makeHub()
        {
            osc::HubOptions options;
            options.udpPort = udpPort;
            options.makeHidAccess = [this] { return bus.makeAccess(); };
            hub = std::make_unique<osc::OscCom> (panel, setup, dialogs, options);
            setup.hub = hub.get();
        }

        /** Connects to the simulator on `host` the way the Setup page does: choose it, go
            online, and for a ZR model (0..3) ask for the signal generator. */
        void connect (const std::string& host, int model = 1)
        {
            setup.networkAddress = addresses[host];
            setup.selectDevice (1);
            setup.connectDevice();
            if (model <= 3)
                hub->sendQuery ("/siggen");
            ASSERT_TRUE (hub->isOnline());
        }

        /** Runs the message loop until nothing is queued. */
        bool waitIdle (int timeoutMs = 5000)
        {
            return testloop::runUntil ([this] { return hub->queuedMessages().empty(); }, timeoutMs);
        }

        /** Online with `host`, every online request answered, records cleared. */
        void connectAndSettle (const std::string& host, int model = 1)
        {
            connect (host, model);
            ASSERT_TRUE (waitIdle());
            setup.calls.clear();
            dialogs.shown.clear();
        }

        /** The requests `sim` received after its latest "/online", in order. */
        static std::vector<std::string> requestsSinceOnline (const AmpSimProcess& sim)
        {
            const auto all = sim.received();
            std::vector<std::string> since;
            for (const auto& message : all)
            {
                if (message == "/online ,")
                    since.clear();
                else
                    since.push_back (message);
            }
            return since;
        }

        /** The hub as the program leaves it after a lost connection. */
        void expectCleanlyOffline()
        {
            EXPECT_FALSE (hub->isOnline());
            EXPECT_TRUE (hub->queuedMessages().empty());
            EXPECT_FALSE (hub->isAwaitingReply());
            EXPECT_EQ (hub->getPendingTransmissions(), 0);
            EXPECT_EQ (hub->getConnectionKind(), osc::ConnectionKind::none);
            EXPECT_EQ (panel.meters, (std::array<float, 4> { 0.0f, 0.0f, 0.0f, 0.0f }));
        }

        PrivateLan lan;
        std::string folder;
        std::map<std::string, std::string> addresses;
        std::map<std::string, std::unique_ptr<AmpSimProcess>> sims;
        int started = 0;

        TestModel model { TestModel::publishAll };
        Croot& root = model.root;
        Ciosiggen& siggen = model.siggen;
        Ciospeaker& speaker = model.speaker;
        FakePanel panel;
        FakeSetupPage setup;
        FakeDialogs dialogs;
        SimulatedHid bus;
        std::unique_ptr<osc::OscCom> hub;
    };

    inline const char* const networkErrorBox = "Network connection error!|Device will be disconnected|Ok||warning";
}
