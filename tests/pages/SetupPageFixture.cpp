#include "SetupPageFixture.h"
#include "TestSettings.h"
#include "PrivateNetwork.h"

#include <cstdlib>

namespace setuptest
{
    namespace
    {
        constexpr int udpPort = 3456;   // the namespace is the test's own, so the real port is free

        /** Inside the test's own network namespace: a route that delivers broadcasts on
            loopback from 127.0.0.1 (without a source address they would leave from 0.0.0.0,
            which no amplifier answers). */
        const char* const broadcastOnLoopback = "ip route add 255.255.255.255/32 dev lo src 127.0.0.1";
    }

    //==============================================================================
    PageTest::PageTest()
    {
        // A settings file of the test's own: the recent-files list starts empty.
        setenv ("XDG_CONFIG_HOME", folder.getChildFile ("config").getFullPathName().toRawUTF8(), 1);
        testSettings().reopen();

        document = std::make_unique<presetDocument>();   // on the published tree
        page = std::make_unique<CSetupPage> (root, *document, dialogs, panel, hubForwarder);
    }

    //==============================================================================
    AmpSim::AmpSim (const juce::File& folder, const std::string& host, int port, const std::string& name, int model)
        : AmpSimProcess (
            ZR_AMPSIM,
            { "--bind", host, "--port", std::to_string (port), "--name", name, "--model", std::to_string (model) }, "",
            folder.getFullPathName().toStdString(), "sim-" + host),
          address (host)
    {
        EXPECT_TRUE (testloop::runUntil ([this] { return isListening() || ! isRunning(); }) && isListening())
            << errors();
    }

    //==============================================================================
    void LinkTest::SetUp()
    {
        if (! testnet::enterPrivateNetwork (broadcastOnLoopback))
            GTEST_SKIP() << "needs a private network namespace (root or user namespace)";

        port = udpPort;
        osc::HubOptions options;
        options.udpPort = port;
        options.makeHidAccess = [this] { return bus.makeAccess(); };
        hub = std::make_unique<osc::OscCom> (hubPanel, *page, dialogs, options);
        hubForwarder.attach (hub.get());
    }

    void LinkTest::TearDown()
    {
        hubForwarder.attach (nullptr);
        hub.reset();
        amps.clear();
        PageTest::TearDown();
    }

    AmpSim& LinkTest::addAmp (int host, const std::string& name, int model)
    {
        amps.push_back (std::make_unique<AmpSim> (folder, "127.0.0." + std::to_string (host), port, name, model));
        auto& amp = *amps.back();
        hub->searchDevices (amp.address);
        EXPECT_TRUE (testloop::runUntil (
            [this, &amp]
            {
                for (auto* row : page->getDeviceList().getChildIterator())
                    if (row->getStringAttribute ("IPorUSB") == juce::String (amp.address))
                        return true;
                return false;
            }))
            << amp.address << " never answered";
        return amp;
    }

    void LinkTest::connectRow (int row)
    {
        dialogs.answers.push_back (true);
        page->rowClicked (row);
        ASSERT_TRUE (hub->isOnline());
        ASSERT_TRUE (waitIdle());
    }

    bool LinkTest::waitIdle (int timeoutMs)
    {
        return testloop::runUntil ([this] { return hub->queuedMessages().empty(); }, timeoutMs);
    }

    std::vector<std::string> LinkTest::queued() const
    {
        std::vector<std::string> addresses;
        for (const auto& m : hub->queuedMessages())
            addresses.emplace_back (static_cast<const char*> (m.getData()));
        return addresses;
    }
}
