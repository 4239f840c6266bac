#include "SetupTestSupport.h"
#include "TestSettings.h"
#include "PrivateNetwork.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdlib>

extern char** environ;

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
        : address (host)
    {
        logFile = folder.getChildFile ("sim-" + juce::String (host) + ".log");
        errorFile = folder.getChildFile ("sim-" + juce::String (host) + ".err");

        const std::vector<std::string> args { ZR_AMPSIM,
                                              "--bind",
                                              host,
                                              "--port",
                                              std::to_string (port),
                                              "--name",
                                              name,
                                              "--model",
                                              std::to_string (model),
                                              "--no-stdin",
                                              "--log",
                                              logFile.getFullPathName().toStdString() };
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back (const_cast<char*> (a.c_str()));
        argv.push_back (nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init (&actions);
        posix_spawn_file_actions_addopen (&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen (&actions, 2, errorFile.getFullPathName().toRawUTF8(),
                                          O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn (&pid, ZR_AMPSIM, &actions, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy (&actions);

        // It names its address on standard error once its sockets are open.
        const bool listening = testloop::runUntil ([this] { return errorFile.loadFileAsString().contains (" on "); });
        EXPECT_TRUE (pid > 0 && listening) << errorFile.loadFileAsString();
    }

    AmpSim::~AmpSim()
    {
        stop();
    }

    void AmpSim::stop()
    {
        if (pid <= 0)
            return;
        kill (pid, SIGTERM);
        waitpid (pid, nullptr, 0);
        pid = -1;
    }

    std::vector<std::string> AmpSim::received() const
    {
        juce::StringArray lines;
        lines.addLines (logFile.loadFileAsString());
        std::vector<std::string> result;
        for (const auto& line : lines)
            if (line.contains (" recv "))
                result.push_back (line.fromFirstOccurrenceOf (" recv ", false, false).toStdString());
        return result;
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
