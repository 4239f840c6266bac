// zr-ctl's pull of one amplifier on loopback, against the program's own online sequence.
//
//   pullInProcess   CtlRunner's pull (the "/info" question, the online sequence, the file
//                   written), with the program's online sequence measured in the same
//                   iteration: counter pull_over_online.
//   pullCommand     the same as an installer runs it: the zr-ctl program, started, pulling
//                   and ended, against the online sequence.
//   Target for both: pull_over_online at most 2.
//
// The simulator runs on 127.0.0.2 with no reply delay.  The program and the tool both open
// UDP sockets, so this runs only inside scripts/in-private-network.sh.

#include "AmpSimProcess.h"
#include "CtlRunner.h"
#include "JuceBenchmarkMain.h"
#include "LinkProgram.h"

#include <benchmark/benchmark.h>

#include <net/if.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

namespace
{
    using Clock = std::chrono::steady_clock;

    constexpr const char* simAddress = "127.0.0.2";
    constexpr int udpPort = 3456;

    double millisecondsSince (Clock::time_point start)
    {
        return std::chrono::duration<double, std::milli> (Clock::now() - start).count();
    }

    bool insidePrivateNetwork()
    {
        const char* marker = std::getenv ("ZR_PRIVATE_NETWORK");
        if (marker == nullptr || std::string (marker) != "1")
            return false;
        auto* interfaces = if_nameindex();
        if (interfaces == nullptr)
            return false;
        bool onlyLoopback = true;
        for (auto* i = interfaces; i->if_index != 0; ++i)
            onlyLoopback = onlyLoopback && std::string (i->if_name) == "lo";
        if_freenameindex (interfaces);
        return onlyLoopback;
    }

    /** A folder of its own for the simulator's log and the pulled files. */
    struct Folder
    {
        Folder()
        {
            char name[] = "/tmp/zr-bench-ctl-XXXXXX";
            if (mkdtemp (name) != nullptr)
                path = name;
        }
        ~Folder() { std::filesystem::remove_all (path); }
        std::string path;
    };

    std::unique_ptr<AmpSimProcess> startSimulator (const std::string& folder)
    {
        auto sim = std::make_unique<AmpSimProcess> (ZR_AMPSIM,
                                                    std::vector<std::string> { "--bind", simAddress, "--port",
                                                                               std::to_string (udpPort), "--model", "1",
                                                                               "--reply-delay", "0" },
                                                    "", folder, "sim");
        const auto start = Clock::now();
        while (! sim->isListening() && sim->isRunning() && millisecondsSince (start) < 5000)
            std::this_thread::sleep_for (std::chrono::milliseconds (5));
        return sim;
    }

    /** The program's online sequence for a ZR model, until every request was answered:
        the hub as the Setup page drives it.  Negative when it did not complete. */
    double programOnlineSequenceMs()
    {
        benchsupport::LinkProgram program (udpPort, simAddress);
        const auto start = Clock::now();
        program.goOnline();
        if (! program.waitIdle (10000))
            return -1.0;
        const double ms = millisecondsSince (start);
        program.goOffline();
        return ms;
    }
}

namespace
{
    /** Times `pull` (which returns an error text, empty on success) against the program's
        online sequence, measured in the same iteration, and reports both and their ratio. */
    template <typename Pull>
    void comparePullWithOnline (benchmark::State& state, Pull pull)
    {
        double onlineMs = 0.0, pullMs = 0.0;
        for (auto _ : state)
        {
            const double online = programOnlineSequenceMs();
            if (online < 0.0)
                return state.SkipWithError ("the online sequence did not complete");

            const auto start = Clock::now();
            const std::string error = pull();
            const double ms = millisecondsSince (start);
            if (! error.empty())
                return state.SkipWithError (error.c_str());

            state.SetIterationTime (ms / 1000.0);
            onlineMs += online;
            pullMs += ms;
        }
        const auto n = (double) state.iterations();
        state.counters["online_ms"] = onlineMs / n;
        state.counters["pull_ms"] = pullMs / n;
        state.counters["pull_over_online"] = pullMs / onlineMs;
    }
}

static void pullInProcess (benchmark::State& state)
{
    Folder folder;
    const auto sim = startSimulator (folder.path);
    if (! sim->isListening())
        return state.SkipWithError (("the simulator did not start: " + sim->errors()).c_str());

    CtlOptions options;
    std::string error;
    const auto file = folder.path + "/pulled.kvt";
    CtlOptions::parse ({ "pull", simAddress, file }, options, error);

    comparePullWithOnline (state,
                           [&options]
                           {
                               std::ostringstream out;
                               return CtlRunner (options).run (out) == 0 ? std::string() : "pull failed: " + out.str();
                           });
}
BENCHMARK (pullInProcess)->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (10);

static void pullCommand (benchmark::State& state)
{
    Folder folder;
    const auto sim = startSimulator (folder.path);
    if (! sim->isListening())
        return state.SkipWithError (("the simulator did not start: " + sim->errors()).c_str());

    const std::string command = std::string (ZR_CTL) + " pull " + simAddress + " " + folder.path
                                + "/pulled.kvt > /dev/null";
    comparePullWithOnline (state, [&command]
                           { return std::system (command.c_str()) == 0 ? std::string() : "zr-ctl pull failed"; });
}
BENCHMARK (pullCommand)->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (10);

int main (int argc, char** argv)
{
    if (! insidePrivateNetwork())
    {
        std::fprintf (stderr, "bench_ctl: run it as: scripts/in-private-network.sh %s\n", argv[0]);
        return 1;
    }

    return benchsupport::runWithJuce (argc, argv);
}
