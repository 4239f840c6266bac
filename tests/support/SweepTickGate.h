#pragma once

#include "SiggenSweep.h"
#include <chrono>
#include <condition_variable>
#include <mutex>

/** Paces a sweep thread from a test, tick by tick: after every tick the thread waits at the
    gate until the test lets it through, so what a test sees never depends on how long
    anything takes.  The thread ticks once as it starts, before it first reaches the gate.
*/
class SweepTickGate : public SiggenSweep::Pacer
{
public:
    void waitForTick() override
    {
        std::unique_lock<std::mutex> lock (mutex);
        ++arrivals;
        changed.notify_all();
        changed.wait (lock, [this] { return permits > 0 || woken; });
        if (woken)
            woken = false;
        else
            --permits;
    }

    void wake() override
    {
        const std::lock_guard<std::mutex> lock (mutex);
        woken = true;
        changed.notify_all();
    }

    void reset() override
    {
        const std::lock_guard<std::mutex> lock (mutex);
        woken = false;
    }

    /** Times the thread has reached the gate (ticks done, counting from 1 at the first). */
    int arrivalCount()
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return arrivals;
    }

    /** Waits until the thread has reached the gate `count` times in all.  The time limit
        only keeps a broken sweep from hanging the test. */
    bool waitForArrivals (int count)
    {
        std::unique_lock<std::mutex> lock (mutex);
        return changed.wait_for (lock, std::chrono::seconds (10), [&] { return arrivals >= count; });
    }

    /** Lets the thread make `ticks` more ticks and waits until it is back at the gate. */
    bool step (int ticks = 1)
    {
        int target = 0;
        {
            const std::lock_guard<std::mutex> lock (mutex);
            permits += ticks;
            target = arrivals + ticks;
            changed.notify_all();
        }
        return waitForArrivals (target);
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    int arrivals = 0;
    int permits = 0;
    bool woken = false;
};
