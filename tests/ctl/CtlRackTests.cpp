// zr-ctl on many amplifiers at once, on the simulated network: host files, the cap on how
// many are served at once, the report in the order given whatever order the answers come
// in, and a silent amplifier that fails alone.

#include "AnsweringPeer.h"
#include "CtlOptions.h"
#include "CtlRunner.h"
#include "TempFolder.h"

#include <fstream>
#include <set>
#include <sstream>

using peertest::AnsweringPeer;
using peertest::Conversations;

namespace
{
    std::vector<std::string> linesOf (const std::string& text)
    {
        std::vector<std::string> lines;
        std::istringstream in (text);
        for (std::string line; std::getline (in, line);)
            lines.push_back (line);
        return lines;
    }

    CtlOptions parsed (const std::vector<std::string>& arguments)
    {
        CtlOptions options;
        std::string error;
        EXPECT_TRUE (CtlOptions::parse (arguments, options, error)) << error;
        return options;
    }

    std::string dotted (int host)
    {
        return "127.0.0." + std::to_string (host);
    }
}

TEST (CtlHosts, AHostFileSkipsBlanksAndCommentsAndNamesEachHostOnce)
{
    EXPECT_EQ (CtlOptions::readHostList ("# rack A\n"
                                         "192.0.2.11\n"
                                         "\n"
                                         "  192.0.2.12   # stage left\r\n"
                                         "192.0.2.11\n"
                                         "   \t\n"
                                         "#192.0.2.99\n"
                                         "amp-3.local"),
               (std::vector<std::string> { "192.0.2.11", "192.0.2.12", "amp-3.local" }));
    EXPECT_TRUE (CtlOptions::readHostList ("# nothing\n\n").empty());

    TempFolder folder;
    const auto file = folder.get().getChildFile ("rack.txt");
    file.replaceWithText ("192.0.2.12\n192.0.2.11 # first rack\n192.0.2.12\n");
    auto options = parsed ({ "push", "--hosts", "@" + file.getFullPathName().toStdString(), "rig.kvt" });
    EXPECT_EQ (options.hosts, (std::vector<std::string> { "192.0.2.12", "192.0.2.11" }));
    EXPECT_EQ (options.parallel, 32);

    // A list names each host once too.
    EXPECT_EQ (parsed ({ "info", "--hosts", "a,b,a,c,b" }).hosts, (std::vector<std::string> { "a", "b", "c" }));

    options = parsed ({ "--parallel", "5", "pull", "--hosts", "@discovered", "rack.kvt" });
    EXPECT_TRUE (options.discoveredHosts);
    EXPECT_TRUE (options.hosts.empty());
    EXPECT_EQ (options.parallel, 5);

    // A missing or empty file, or a cap that is no number, is no valid call.
    CtlOptions refused;
    std::string error;
    const auto missing = folder.get().getChildFile ("missing.txt").getFullPathName().toStdString();
    EXPECT_FALSE (CtlOptions::parse ({ "info", "--hosts", "@" + missing }, refused, error));
    EXPECT_EQ (error, "cannot read the host file " + missing);
    const auto empty = folder.get().getChildFile ("empty.txt");
    empty.replaceWithText ("# only comments\n\n");
    EXPECT_FALSE (
        CtlOptions::parse ({ "info", "--hosts", "@" + empty.getFullPathName().toStdString() }, refused, error));
    EXPECT_EQ (error, "the host file " + empty.getFullPathName().toStdString() + " names no host");
    for (const auto* cap : { "0", "x", "1025", "" })
    {
        EXPECT_FALSE (CtlOptions::parse ({ "--parallel", cap, "info", "h" }, refused, error)) << cap;
        EXPECT_EQ (error, "--parallel wants a whole number from 1 to 1024");
    }
}

class CtlRack : public ::testing::Test
{
protected:
    osc::HubOptions hubOptions()
    {
        osc::HubOptions options;
        options.makeSocket = net.socketMaker();
        options.listBroadcasts = net.broadcastLister();
        return options;
    }

    /** Runs zr-ctl with `arguments`; the exit status, and the report in `out`. */
    int ctl (const std::vector<std::string>& arguments, std::string& out, int* mostAtOnce = nullptr)
    {
        const auto options = parsed (arguments);
        std::ostringstream report;
        CtlRunner runner (options, hubOptions());
        const int status = runner.run (report);
        if (mostAtOnce != nullptr)
            *mostAtOnce = runner.mostAtOnce();
        out = report.str();
        return status;
    }

    /** The most amplifiers between "/online" and "/offline" at once, in the order the
        program sent them since the last call; every one must have been left again. */
    int mostOnlineOnTheWire()
    {
        const auto all = net.sent();
        std::set<std::uint32_t> online;
        int most = 0;
        for (auto i = seen; i < all.size(); ++i)
        {
            const auto address = hubtest::addressOf (all[i].bytes);
            if (address == "/online")
                online.insert (all[i].to);
            else if (address == "/offline")
                online.erase (all[i].to);
            most = std::max (most, (int) online.size());
        }
        seen = all.size();
        EXPECT_TRUE (online.empty());
        return most;
    }

    SimulatedNetwork net;
    Conversations conversations;
    std::size_t seen = 0;
};

TEST_F (CtlRack, NoMoreAmplifiersAreServedAtOnceThanTheCapAndAllAreServed)
{
    std::vector<std::unique_ptr<AnsweringPeer>> amps;
    std::string hosts;
    for (int host = 11; host <= 17; ++host)
    {
        amps.push_back (std::make_unique<AnsweringPeer> (net, dotted (host).c_str(), 3456, "Amp", &conversations, 1));
        hosts += (hosts.empty() ? "" : ",") + dotted (host);
    }

    std::string out;
    int mostAtOnce = 0;
    EXPECT_EQ (ctl ({ "--parallel", "3", "slots", "--hosts", hosts }, out, &mostAtOnce), 0) << out;
    EXPECT_EQ (mostAtOnce, 3);
    EXPECT_EQ (mostOnlineOnTheWire(), 3);
    EXPECT_EQ (linesOf (out).size(), 7u * 20u);
    for (const auto& amp : amps)
        EXPECT_GE (amp->answered.load(), 22) << "every amplifier went online";

    // Uncapped they are all served together.
    EXPECT_EQ (ctl ({ "slots", "--hosts", hosts }, out, &mostAtOnce), 0) << out;
    EXPECT_EQ (mostAtOnce, 7);
    EXPECT_EQ (mostOnlineOnTheWire(), 7);
}

TEST_F (CtlRack, TheReportKeepsTheOrderGivenWhateverOrderTheAnswersComeIn)
{
    // The first host is the slowest to answer, the last the quickest.
    AnsweringPeer slow (net, "127.0.0.11", 3456, "Slow", nullptr, 30);
    AnsweringPeer middle (net, "127.0.0.12", 3456, "Middle", nullptr, 10);
    AnsweringPeer quick (net, "127.0.0.13", 3456, "Quick", nullptr, 0);

    std::string out;
    EXPECT_EQ (ctl ({ "info", "--hosts", "127.0.0.11,127.0.0.12,127.0.0.13" }, out), 0);
    EXPECT_EQ (linesOf (out), (std::vector<std::string> { "127.0.0.11  ZR440  Slow", "127.0.0.12  ZR440  Middle",
                                                          "127.0.0.13  ZR440  Quick" }));

    EXPECT_EQ (
        ctl ({ "--json", "set", "--hosts", "127.0.0.13,127.0.0.11,127.0.0.12", "/channel/1/delay", "2.50 1" }, out), 0)
        << out;
    const auto document = juce::JSON::parse (juce::String (out));
    const auto* results = document["results"].getArray();
    ASSERT_NE (results, nullptr);
    ASSERT_EQ (results->size(), 3);
    EXPECT_EQ ((*results)[0]["host"].toString(), "127.0.0.13");
    EXPECT_EQ ((*results)[1]["host"].toString(), "127.0.0.11");
    EXPECT_EQ ((*results)[2]["host"].toString(), "127.0.0.12");
    for (const auto& result : *results)
        EXPECT_TRUE ((bool) result["ok"]);
}

TEST_F (CtlRack, ASilentAmplifierFailsAtItsOwnTimeOutAndTheOthersAreConfirmed)
{
    AnsweringPeer first (net, "127.0.0.11", 3456, "First");
    AnsweringPeer silent (net, "127.0.0.12", 3456, "Silent");
    AnsweringPeer last (net, "127.0.0.13", 3456, "Last");
    silent.silent.store (true);

    std::string out;
    const auto start = juce::Time::getMillisecondCounter();
    EXPECT_EQ (
        ctl ({ "set", "--hosts", "127.0.0.11,127.0.0.12,127.0.0.13,127.0.0.11", "/channel/1/delay", "2.50 1" }, out),
        1);
    const auto elapsed = juce::Time::getMillisecondCounter() - start;

    EXPECT_EQ (linesOf (out),
               (std::vector<std::string> { "127.0.0.11  sent 1 block: every value confirmed",
                                           "127.0.0.12  FAILED: Network connection error! Device will be disconnected",
                                           "127.0.0.13  sent 1 block: every value confirmed" }));
    // Four transmissions 500 ms apart, then the loss: nothing waits for more.
    EXPECT_LT (elapsed, 4000u);
    EXPECT_FLOAT_EQ (first.blocks.root.channels[0]->delay->del->getValue(), 2.5f);
    EXPECT_FLOAT_EQ (last.blocks.root.channels[0]->delay->del->getValue(), 2.5f);
    EXPECT_FLOAT_EQ (silent.blocks.root.channels[0]->delay->del->getValue(), 0.0f);
}
