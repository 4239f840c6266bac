// The device link against a zr-ampsim process on loopback.
//
//   linkRoundTrip         one bare UDP request and its answer, a plain socket to the simulator:
//                         the floor under every request of the link.
//   onlineSequence        the whole online sequence of a ZR model (62 requests, stop-and-wait),
//                         with the round trip sampled just before each sequence (round_trip_ms, their median) and the link's
//                         own cost per request above it.  over_round_trips: the time per
//                         request in round trips (the answer used to travel receive thread ->
//                         message thread -> send thread before the next request left: 2 to
//                         2.7; now the receive thread sends it).  Target: at most 1.3.
//   pull                  zr-ctl's pull of the same amplifier in the same process ("/info",
//                         the online sequence, the file), timed whole (Time).  Its parts:
//                         requests_ms, from the first request leaving the socket to the last
//                         answer reaching it, and setup_ms, all the rest of the call (the hub,
//                         its threads and socket, the tree, writing the file, the end).
//                         over_round_trips: requests_ms per request in round trips.  Target:
//                         at most 1.3.  whole_over_round_trips: the same for the whole call.
//                         sent_by_receive_thread: the requests that left from the receive
//                         thread's acknowledgement (all but the first two of the sequence and "/info").
//   linkThreadsWhileMetering  CPU time of the "OSC connection", "UDP connection" and "USB
//                         connection" threads over 5 s while 30 meter messages a second
//                         arrive.  Target: under 2% of one core.
//   linkThreadsAtRest     wake-ups per second of the link threads and of the message thread
//                         over 10 s of a program at rest: the hub just made, offline, no
//                         amplifier on USB or on the network.  Every wake-up is a context
//                         switch of that thread (/proc/self/task/*/status).
//
// The message loop runs as the program's does, sleeping until the next message.  The hub
// broadcasts "/info" when it is made, so the program runs only inside
// scripts/in-private-network.sh and refuses to start anywhere else.

#include "AmpSimProcess.h"
#include "CtlRunner.h"
#include "OscCom.h"
#include "ThreadStats.h"
#include "UdpSocket.h"
#include "JuceBenchmarkMain.h"
#include "LinkProgram.h"

#include <benchmark/benchmark.h>
#include <oscpack/osc/OscOutboundPacketStream.h>

#include <arpa/inet.h>
#include <net/if.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
    using Clock = std::chrono::steady_clock;

    constexpr const char* simAddress = "127.0.0.2";
    constexpr const char* probeAddress = "127.0.0.3";
    constexpr int udpPort = 3456;
    constexpr double meteringSeconds = 5.0;

    double millisecondsSince (Clock::time_point start)
    {
        return std::chrono::duration<double, std::milli> (Clock::now() - start).count();
    }

    //==============================================================================
    /** True inside scripts/in-private-network.sh: the marker is set and no interface but
        loopback exists, so nothing sent can leave the machine. */
    bool insidePrivateNetwork (std::string& why)
    {
        const char* marker = std::getenv ("ZR_PRIVATE_NETWORK");
        if (marker == nullptr || std::string (marker) != "1")
        {
            why = "ZR_PRIVATE_NETWORK is not 1";
            return false;
        }

        auto* interfaces = if_nameindex();
        if (interfaces == nullptr)
        {
            why = "cannot list the network interfaces";
            return false;
        }
        std::string others;
        for (auto* i = interfaces; i->if_index != 0; ++i)
            if (std::string (i->if_name) != "lo")
                others += std::string (" ") + i->if_name;
        if_freenameindex (interfaces);

        if (! others.empty())
        {
            why = "interfaces other than loopback exist:" + others;
            return false;
        }
        return true;
    }

    //==============================================================================
    /** Runs the message loop until `done` is true or `timeoutMs` passes (the program's message
        loop sleeps until the next message: the caller sees that one comes). */
    bool runLoopUntil (const std::function<bool()>& done, double timeoutMs)
    {
        const auto start = Clock::now();
        while (! done())
        {
            if (millisecondsSince (start) > timeoutMs)
                return false;
            juce::dispatchNextMessageOnSystemQueue (false);
        }
        return true;
    }

    //==============================================================================
    /** The simulator on loopback, with its log in a folder of its own. */
    class Simulator
    {
    public:
        Simulator()
        {
            char name[] = "/tmp/zr-bench-link-XXXXXX";
            if (mkdtemp (name) != nullptr)
                folder = name;
            process = std::make_unique<AmpSimProcess> (
                ZR_AMPSIM,
                std::vector<std::string> { "--bind", simAddress, "--port", std::to_string (udpPort), "--model", "1",
                                           "--reply-delay", "0", "--meter-rate", "30" },
                "", folder, "sim");
            const auto start = Clock::now();
            while (! process->isListening() && process->isRunning() && millisecondsSince (start) < 5000)
                std::this_thread::sleep_for (std::chrono::milliseconds (5));
        }

        ~Simulator()
        {
            process.reset();
            if (! folder.empty())
                std::filesystem::remove_all (folder);
        }

        bool isReady() const { return process->isListening(); }
        std::string errors() const { return process->errors(); }

    private:
        std::string folder;
        std::unique_ptr<AmpSimProcess> process;
    };

    /** A plain UDP socket that asks the simulator for its gains ("/gain" without arguments)
        and waits for the answer: the bare round trip under every request of the link. */
    class RoundTripProbe
    {
    public:
        RoundTripProbe()
        {
            handle = ::socket (AF_INET, SOCK_DGRAM, 0);
            const sockaddr_in local = endpoint (probeAddress, 0);
            ::bind (handle, reinterpret_cast<const sockaddr*> (&local), sizeof local);

            osc::OutboundPacketStream stream (request, sizeof request);
            stream << osc::BeginMessage ("/gain") << osc::EndMessage;
            requestSize = stream.Size();
        }

        ~RoundTripProbe() { ::close (handle); }

        RoundTripProbe (const RoundTripProbe&) = delete;
        RoundTripProbe& operator= (const RoundTripProbe&) = delete;

        /** One round trip in ms; negative when no answer came within 500 ms. */
        double once()
        {
            const sockaddr_in target = endpoint (simAddress, udpPort);
            const auto start = Clock::now();
            ::sendto (handle, request, requestSize, 0, reinterpret_cast<const sockaddr*> (&target), sizeof target);
            pollfd p { handle, POLLIN, 0 };
            if (::poll (&p, 1, 500) <= 0)
                return -1.0;
            char answer[256];
            ::recv (handle, answer, sizeof answer, 0);
            return millisecondsSince (start);
        }

    private:
        static sockaddr_in endpoint (const char* address, int port)
        {
            sockaddr_in a {};
            a.sin_family = AF_INET;
            a.sin_port = htons ((std::uint16_t) port);
            ::inet_pton (AF_INET, address, &a.sin_addr);
            return a;
        }

        int handle = -1;
        char request[64];
        std::size_t requestSize = 0;
    };

    /** The simulator is up, or the benchmark is skipped with the reason. */
    bool simulatorReady (benchmark::State& state, const Simulator& sim)
    {
        if (sim.isReady())
            return true;
        state.SkipWithError (("the simulator did not start: " + sim.errors()).c_str());
        return false;
    }

    /** Bare round trips taken beside the link's calls, a few just before each, so that both
        meet the machine in the same state (on a virtual machine an idle core wakes several
        times slower than a busy one: the round trip alone swings between about 10 and 60 us). */
    class RoundTrips
    {
    public:
        /** Takes the samples before one call; false (the benchmark skipped) when the
            simulator did not answer. */
        bool sample (benchmark::State& state)
        {
            for (int i = 0; i < samplesPerCall; ++i)
            {
                const double ms = probe.once();
                if (ms < 0.0)
                {
                    state.SkipWithError ("the simulator did not answer");
                    return false;
                }
                times.push_back (ms);
            }
            return true;
        }

        double medianMs()
        {
            if (times.empty())
                return 0.0;
            std::nth_element (times.begin(), times.begin() + (std::ptrdiff_t) times.size() / 2, times.end());
            return times[times.size() / 2];
        }

    private:
        static constexpr int samplesPerCall = 25;
        RoundTripProbe probe;
        std::vector<double> times;
    };

    /** The time per request and its ratio to the round trip. */
    void perRequestCounters (benchmark::State& state, int requests, double roundTripMs, double msPerCall)
    {
        const double perRequestMs = msPerCall / requests;
        state.counters["requests"] = requests;
        state.counters["round_trip_ms"] = roundTripMs;
        state.counters["per_request_ms"] = perRequestMs;
        state.counters["over_round_trips"] = perRequestMs / roundTripMs;
    }

    //==============================================================================
    /** The real socket, noting when the first request left, when answer number
        `answersAwaited` arrived and how many requests the receive thread sent. */
    class TimedSocket : public DatagramSocket
    {
    public:
        struct Marks
        {
            explicit Marks (int answers)
                : answersAwaited (answers)
            {
            }

            const int answersAwaited;
            std::atomic<bool> sending { false };
            Clock::time_point firstSent, lastAnswer;
            std::atomic<int> received { 0 };
            std::atomic<int> sentByReceiveThread { 0 };

            /** From the first request out to the last answer in, or negative when the
                answers did not all come. */
            double requestsMs() const
            {
                if (received.load() < answersAwaited)
                    return -1.0;
                return std::chrono::duration<double, std::milli> (lastAnswer - firstSent).count();
            }
        };

        TimedSocket (int port, Marks& marksToUse)
            : socket (port),
              marks (marksToUse)
        {
        }

        bool isOpen() const override { return socket.isOpen(); }
        bool holdsPort() const override { return socket.holdsPort(); }
        WaitResult waitForDatagram (int timeoutMs) override { return socket.waitForDatagram (timeoutMs); }
        void wake() override { socket.wake(); }

        bool send (std::uint32_t address, int port, const void* data, int length) override
        {
            // Noted before it leaves: the answer cannot come before the note.
            if (! marks.sending.exchange (true))
                marks.firstSent = Clock::now();
            const auto* thread = juce::Thread::getCurrentThread();
            if (thread != nullptr && thread->getThreadName() == "UDP connection")
                ++marks.sentByReceiveThread;
            return socket.send (address, port, data, length);
        }

        int receive (void* buffer, int capacity, std::uint32_t& sender) override
        {
            const int length = socket.receive (buffer, capacity, sender);
            if (length > 0 && ++marks.received == marks.answersAwaited)
                marks.lastAnswer = Clock::now();
            return length;
        }

    private:
        UdpSocket socket;
        Marks& marks;
    };

    //==============================================================================
    const char* const linkThreads[] = { "OSC connection", "UDP connection", "USB connection" };
}

//==============================================================================
static void linkRoundTrip (benchmark::State& state)
{
    Simulator sim;
    if (! simulatorReady (state, sim))
        return;

    RoundTripProbe probe;
    for (auto _ : state)
    {
        const double ms = probe.once();
        if (ms < 0.0)
        {
            state.SkipWithError ("the simulator did not answer");
            return;
        }
        state.SetIterationTime (ms / 1000.0);
    }
}
BENCHMARK (linkRoundTrip)->UseManualTime()->Unit (benchmark::kMicrosecond);

static void onlineSequence (benchmark::State& state)
{
    Simulator sim;
    if (! simulatorReady (state, sim))
        return;

    benchsupport::LinkProgram program (udpPort, simAddress);
    RoundTrips roundTrips;
    int requests = 0;
    double totalMs = 0.0;
    for (auto _ : state)
    {
        if (! roundTrips.sample (state))
            return;
        const auto start = Clock::now();
        requests = program.goOnline();
        if (! program.waitIdle (10000))
        {
            state.SkipWithError ("the online sequence did not complete");
            return;
        }
        const double ms = millisecondsSince (start);
        state.SetIterationTime (ms / 1000.0);
        totalMs += ms;

        program.goOffline();
    }

    const double roundTripMs = roundTrips.medianMs();
    perRequestCounters (state, requests, roundTripMs, totalMs / (double) state.iterations());
    state.counters["overhead_ms"] = totalMs / (double) state.iterations() / requests - roundTripMs;
}
BENCHMARK (onlineSequence)->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (20);

static void pull (benchmark::State& state)
{
    Simulator sim;
    if (! simulatorReady (state, sim))
        return;

    const auto file = std::filesystem::temp_directory_path() / ("zr-bench-pull-" + std::to_string (getpid()) + ".kvt");
    CtlOptions options;
    std::string error;
    CtlOptions::parse ({ "pull", simAddress, file.string() }, options, error);

    // "/info", then the online sequence without the signal generator's query.
    constexpr int requests = 1 + 61;
    std::unique_ptr<TimedSocket::Marks> marks;
    osc::HubOptions hubOptions;
    hubOptions.udpPort = udpPort;
    hubOptions.makeSocket = [&marks] (int port) { return std::make_unique<TimedSocket> (port, *marks); };

    RoundTrips roundTrips;
    double wholeMs = 0.0, requestsMs = 0.0;
    int sentByReceiveThread = 0;
    for (auto _ : state)
    {
        if (! roundTrips.sample (state))
            break;
        marks = std::make_unique<TimedSocket::Marks> (requests);
        std::ostringstream out;
        const auto start = Clock::now();
        const int status = CtlRunner (options, hubOptions).run (out);
        const double ms = millisecondsSince (start);
        if (status != 0 || marks->requestsMs() < 0.0)
        {
            state.SkipWithError (("the pull failed: " + out.str()).c_str());
            break;
        }
        state.SetIterationTime (ms / 1000.0);
        wholeMs += ms;
        requestsMs += marks->requestsMs();
        sentByReceiveThread += marks->sentByReceiveThread.load();
    }
    std::filesystem::remove (file);

    const auto calls = (double) state.iterations();
    const double roundTripMs = roundTrips.medianMs();
    perRequestCounters (state, requests, roundTripMs, requestsMs / calls);
    state.counters["requests_ms"] = requestsMs / calls;
    state.counters["setup_ms"] = (wholeMs - requestsMs) / calls;
    state.counters["whole_over_round_trips"] = wholeMs / calls / requests / roundTripMs;
    state.counters["sent_by_receive_thread"] = sentByReceiveThread / calls;
}
BENCHMARK (pull)->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (20);

static void linkThreadsWhileMetering (benchmark::State& state)
{
    Simulator sim;
    if (! simulatorReady (state, sim))
        return;

    benchsupport::LinkProgram program (udpPort, simAddress);
    program.goOnline();
    if (! program.waitIdle (10000))
    {
        state.SkipWithError ("the online sequence did not complete");
        return;
    }

    for (auto _ : state)
    {
        const auto before = threadstats::threadTicks();
        const int metersBefore = program.panel.meterCalls;
        const auto start = Clock::now();
        runLoopUntil ([] { return false; }, meteringSeconds * 1000.0);
        const double seconds = millisecondsSince (start) / 1000.0;
        const auto after = threadstats::threadTicks();
        state.SetIterationTime (seconds);

        const double ticksPerSecond = (double) sysconf (_SC_CLK_TCK);
        double total = 0.0;
        for (const char* name : linkThreads)
        {
            const auto used = (double) (after.count (name) ? after.at (name) : 0)
                              - (before.count (name) ? before.at (name) : 0);
            const double percent = 100.0 * used / ticksPerSecond / seconds;
            state.counters[std::string (name).substr (0, 3) + "_cpu_pct"] = percent;
            total += percent;
        }
        state.counters["link_cpu_pct"] = total;
        state.counters["meters_per_s"] = (program.panel.meterCalls - metersBefore) / seconds;
    }
    program.goOffline();
}
BENCHMARK (linkThreadsWhileMetering)->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (1);

static void linkThreadsAtRest (benchmark::State& state)
{
    constexpr double restSeconds = 10.0;

    // Nothing is posted to a program at rest, so the message loop would never return to
    // look at the clock: a tick every 500 ms lets it (about 2 of the message thread's
    // wake-ups a second are this tick's).
    std::atomic<bool> resting { true };
    std::thread tick (
        [&resting]
        {
            while (resting.load())
            {
                std::this_thread::sleep_for (std::chrono::milliseconds (500));
                juce::MessageManager::callAsync ([] {});
            }
        });

    // The program as it starts: real transports, nothing to find.
    auto program = std::make_unique<benchsupport::LinkProgram> (udpPort, nullptr);
    runLoopUntil ([] { return false; }, 1000.0);

    for (auto _ : state)
    {
        const auto before = threadstats::threadSwitches();
        const auto start = Clock::now();
        runLoopUntil ([] { return false; }, restSeconds * 1000.0);
        const double seconds = millisecondsSince (start) / 1000.0;
        const auto after = threadstats::threadSwitches();
        state.SetIterationTime (seconds);

        const auto perSecond = [&] (const std::string& name)
        {
            const auto used = (after.count (name) ? after.at (name) : 0) - (before.count (name) ? before.at (name) : 0);
            return (double) used / seconds;
        };

        double total = 0.0;
        for (const char* name : linkThreads)
        {
            const double wakes = perSecond (name);
            state.counters[std::string (name).substr (0, 3) + "_wakes_per_s"] = wakes;
            total += wakes;
        }
        state.counters["link_wakes_per_s"] = total;
        state.counters["msg_wakes_per_s"] = perSecond (threadstats::messageThreadName);
    }
    program.reset();
    resting.store (false);
    tick.join();
}
BENCHMARK (linkThreadsAtRest)->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (1);

int main (int argc, char** argv)
{
    std::string why;
    if (! insidePrivateNetwork (why))
    {
        std::fprintf (stderr,
                      "bench_link: refusing to run outside a private network namespace (%s).\n"
                      "Run it as: scripts/in-private-network.sh %s\n",
                      why.c_str(), argv[0]);
        return 1;
    }

    return benchsupport::runWithJuce (argc, argv);
}
