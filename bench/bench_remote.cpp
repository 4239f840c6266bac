// The phone remote's cost and delay, printed as a table:
//   - CPU of the program's threads (message thread and the remote's server thread) while the
//     meters arrive 30 times a second, with the remote off and with 4 phones connected
//     (target: under 2 % of a core more);
//   - from a phone's band change to the band's block handed to the hub (target: under 20 ms);
//   - from a desktop edit to the phone's frame that shows it (target: under 100 ms).
// The phones are plain WebSocket clients on a thread of their own ("phones"), whose CPU is
// not counted.  Everything runs on loopback in a network namespace of the program's own.
//   bench_remote [seconds per CPU run, default 10]

#include "BenchPanel.h"
#include "CPeqPage.h"
#include "MessageLoop.h"
#include "PhoneClient.h"
#include "PrivateNetwork.h"
#include "RemoteBridge.h"
#include "ThreadStats.h"

#include <pthread.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <thread>
#include <vector>

namespace
{
    using Clock = std::chrono::steady_clock;

    /** The meters as an amplifier streams them: 30 "/meter" a second into the panel. */
    class MeterSource : private juce::Timer
    {
    public:
        explicit MeterSource (RemoteControl& p)
            : panel (p)
        {
            startTimerHz (30);
        }
        ~MeterSource() override { stopTimer(); }

    private:
        void timerCallback() override
        {
            phase += 0.2f;
            const float level = 0.3f + 0.25f * std::sin (phase);
            panel.setMeters (level, level * 0.5f, level * 0.8f, level * 0.4f);
        }

        RemoteControl& panel;
        float phase = 0.0f;
    };

    /** Band blocks as they are handed to the hub: the time the watched address last came. */
    class WatchingSink : public PacketSink
    {
    public:
        explicit WatchingSink (std::string addressToWatch)
            : address (std::move (addressToWatch))
        {
        }

        void sendPacket (OutboundPacketPtr packet) override
        {
            if (packet != nullptr && address == packet->address())
            {
                std::lock_guard<std::mutex> lock (mutex);
                arrivals.push_back (Clock::now());
                arrived.notify_all();
            }
        }

        /** Waits for the next arrival after `count` earlier ones; its time, or nothing. */
        std::optional<Clock::time_point> waitForArrival (std::size_t count, int timeoutMs)
        {
            std::unique_lock<std::mutex> lock (mutex);
            if (! arrived.wait_for (lock, std::chrono::milliseconds (timeoutMs),
                                    [&] { return arrivals.size() > count; }))
                return std::nullopt;
            return arrivals[count];
        }

        std::size_t count()
        {
            std::lock_guard<std::mutex> lock (mutex);
            return arrivals.size();
        }

    private:
        const std::string address;
        std::mutex mutex;
        std::condition_variable arrived;
        std::vector<Clock::time_point> arrivals;
    };

    void nameThisThread (const char* name)
    {
        pthread_setname_np (pthread_self(), name);
    }

    /** Runs the message loop on this thread until `done` or `seconds` pass. */
    void runLoop (
        double seconds, const std::function<bool()>& done = [] { return false; })
    {
        const auto end = Clock::now() + std::chrono::duration<double> (seconds);
        while (Clock::now() < end && ! done())
            testloop::run (5);
    }

    struct CpuFigures
    {
        double messageThread = 0.0;   // % of one core
        double serverThread = 0.0;
        double meterFramesPerSecond = 0.0;   // per phone
    };

    /** Runs the loop for `seconds` with `phones` phones reading (none: the remote off) and
        reads what the program's threads used. */
    CpuFigures measureCpu (RemoteBridge& bridge, int phones, double seconds)
    {
        std::atomic<bool> stop { false };
        std::atomic<long> meterFrames { 0 };
        std::atomic<int> joined { 0 };
        std::thread readers;
        if (phones > 0)
        {
            bridge.start (0);
            const int port = bridge.getPort();
            const auto url = bridge.getUrls().at (0);
            const auto token = url.substr (url.find ("#k=") + 3);
            readers = std::thread (
                [&, port, token]
                {
                    nameThisThread ("phones");
                    std::vector<std::unique_ptr<PhoneClient>> clients;
                    for (int i = 0; i < phones; ++i)
                    {
                        clients.push_back (std::make_unique<PhoneClient> (port));
                        if (clients.back()->join (token))
                            ++joined;
                    }
                    while (! stop)
                        for (auto& client : clients)
                            while (auto frame = client->readFrame (1))
                                if (frame->payload.find (R"("t":"meters")") == 1)
                                    ++meterFrames;
                });
            runLoop (5.0, [&] { return joined == phones && (int) bridge.phones().size() == phones; });
            runLoop (1.0);   // settled: the first state frames are out
        }

        const auto before = threadstats::threadTicks();
        const long framesBefore = meterFrames;
        const auto started = Clock::now();
        runLoop (seconds);
        const double elapsed = std::chrono::duration<double> (Clock::now() - started).count();
        const auto after = threadstats::threadTicks();
        const long frames = meterFrames - framesBefore;

        stop = true;
        if (readers.joinable())
            readers.join();
        bridge.stop();
        runLoop (0.5);

        const double ticksPerSecond = (double) sysconf (_SC_CLK_TCK);
        const auto share = [&] (const std::string& name)
        {
            const auto a = after.count (name) ? after.at (name) : 0L;
            const auto b = before.count (name) ? before.at (name) : 0L;
            return 100.0 * (double) (a - b) / ticksPerSecond / elapsed;
        };
        CpuFigures figures;
        figures.messageThread = share (threadstats::messageThreadName);
        figures.serverThread = share ("Remote server");
        figures.meterFramesPerSecond = phones > 0 ? (double) frames / phones / elapsed : 0.0;
        return figures;
    }

    struct Spread
    {
        double median = 0.0, p95 = 0.0, worst = 0.0;
        std::size_t samples = 0;
    };

    Spread spreadOf (std::vector<double> values)
    {
        Spread s;
        s.samples = values.size();
        if (values.empty())
            return s;
        std::sort (values.begin(), values.end());
        s.median = values[values.size() / 2];
        s.p95 = values[std::min (values.size() - 1, (values.size() * 95) / 100)];
        s.worst = values.back();
        return s;
    }

    /** A phone turns band 3's gain, again and again: from its frame leaving to the block
        handed to the hub. */
    Spread measurePhoneToHub (RemoteBridge& bridge, int samples)
    {
        WatchingSink sink ("/channel/1/peq/3");
        const ScopedGlobal<PacketSink*> watching (globals::packetSink, &sink);
        bridge.start (0);
        const int port = bridge.getPort();
        const auto url = bridge.getUrls().at (0);
        const auto token = url.substr (url.find ("#k=") + 3);

        std::vector<double> delays;
        std::atomic<bool> done { false };
        std::thread phone (
            [&]
            {
                nameThisThread ("phones");
                PhoneClient client (port);
                if (! client.join (token))
                {
                    done = true;
                    return;
                }
                for (int i = 0; i < samples; ++i)
                {
                    const auto count = sink.count();
                    const double gain = (i % 2 == 0) ? 3.0 : -3.0;
                    const auto sent = Clock::now();
                    client.sendText (R"({"t":"band","ch":0,"b":3,"on":true,"gain":)" + std::to_string (gain) + "}");
                    if (const auto arrival = sink.waitForArrival (count, 1000))
                        delays.push_back (std::chrono::duration<double, std::milli> (*arrival - sent).count());
                    while (client.readFrame (0))
                    {
                    }   // keep its socket drained
                    std::this_thread::sleep_for (std::chrono::milliseconds (15));
                }
                done = true;
            });
        runLoop (60.0, [&] { return done.load(); });
        phone.join();
        bridge.stop();
        runLoop (0.3);
        return spreadOf (delays);
    }

    /** The desktop turns band 5's gain knob: from the turn to the phone's frame showing it. */
    Spread measureDesktopToPhone (RemoteBridge& bridge, CPeqPage& peqPage, int samples)
    {
        bridge.start (0);
        const int port = bridge.getPort();
        const auto url = bridge.getUrls().at (0);
        const auto token = url.substr (url.find ("#k=") + 3);

        std::mutex mutex;
        std::condition_variable seen;
        std::string wanted;
        Clock::time_point seenAt {};
        bool found = false;
        std::atomic<bool> stop { false };
        std::atomic<bool> ready { false };
        std::thread phone (
            [&]
            {
                nameThisThread ("phones");
                PhoneClient client (port);
                ready = client.join (token);
                while (! stop)
                    if (auto frame = client.readFrame (5))
                    {
                        std::lock_guard<std::mutex> lock (mutex);
                        if (! wanted.empty() && ! found && frame->payload.find (wanted) != std::string::npos)
                        {
                            found = true;
                            seenAt = Clock::now();
                            seen.notify_all();
                        }
                    }
            });
        runLoop (5.0, [&] { return ready.load() && ! bridge.phones().empty(); });
        runLoop (0.5);

        std::vector<double> delays;
        auto& knob = peqPage.tab (0).column (4).gainKnob;
        for (int i = 0; i < samples; ++i)
        {
            const double gain = (i % 2 == 0) ? 6.0 : -6.0;
            {
                std::lock_guard<std::mutex> lock (mutex);
                wanted = "\"gain\":" + std::string (gain > 0 ? "6" : "-6") + ",\"q\"";
                found = false;
            }
            const auto turned = Clock::now();
            knob.setValue (gain, juce::sendNotificationSync);
            runLoop (1.0,
                     [&]
                     {
                         std::lock_guard<std::mutex> lock (mutex);
                         return found;
                     });
            std::lock_guard<std::mutex> lock (mutex);
            if (found)
                delays.push_back (std::chrono::duration<double, std::milli> (seenAt - turned).count());
        }
        stop = true;
        phone.join();
        bridge.stop();
        runLoop (0.3);
        return spreadOf (delays);
    }
}

int main (int argc, char** argv)
{
    if (! testnet::enterPrivateNetwork())
    {
        std::fprintf (stderr, "bench_remote needs a private network namespace (root or a user namespace)\n");
        return 1;
    }
    const double seconds = argc > 1 ? std::max (2.0, std::atof (argv[1])) : 10.0;
    std::cout.rdbuf (nullptr);   // the addresses the remote prints at each start would cut the table

    juce::ScopedJuceInitialiser_GUI juce;
    BenchPanel rig (false);
    auto& panel = rig.panel;
    panel->setDeviceLabel (1);   // a ZR440: every control the phones see
    auto& bridge = panel->getRemote();
    auto* peqPage = dynamic_cast<CPeqPage*> (
        dynamic_cast<juce::TabbedComponent*> (panel->findChildWithID ("tabs"))->getTabContentComponent (2));

    std::printf ("The phone remote: CPU over %.0f s per row, meters arriving 30 times a second\n\n", seconds);
    std::printf ("%-26s %16s %16s %12s %18s\n", "", "message thread", "server thread", "together", "meter frames/s");
    std::vector<std::pair<const char*, CpuFigures>> rows;
    {
        MeterSource meters (*panel);
        runLoop (1.0);
        rows.push_back ({ "remote off", measureCpu (bridge, 0, seconds) });
        rows.push_back ({ "remote on, 4 phones", measureCpu (bridge, 4, seconds) });
    }
    for (const auto& [name, f] : rows)
        std::printf ("%-26s %14.2f %% %14.2f %% %10.2f %% %18.1f\n", name, f.messageThread, f.serverThread,
                     f.messageThread + f.serverThread, f.meterFramesPerSecond);
    const double more = (rows[1].second.messageThread + rows[1].second.serverThread)
                        - (rows[0].second.messageThread + rows[0].second.serverThread);
    std::printf ("%-26s %47.2f %% of a core (target: under 2 %%)\n\n", "4 phones cost", more);

    const auto toHub = measurePhoneToHub (bridge, 200);
    const auto toPhone = measureDesktopToPhone (bridge, *peqPage, 100);
    std::printf ("%-40s %10s %10s %10s %8s   %s\n", "delay, ms", "median", "95 %", "worst", "samples", "target");
    std::printf ("%-40s %10.2f %10.2f %10.2f %8zu   under 20\n", "phone's band change to the block at the hub",
                 toHub.median, toHub.p95, toHub.worst, toHub.samples);
    std::printf ("%-40s %10.2f %10.2f %10.2f %8zu   under 100\n", "desktop edit to the phone's frame", toPhone.median,
                 toPhone.p95, toPhone.worst, toPhone.samples);

    panel.reset();
    return 0;
}
