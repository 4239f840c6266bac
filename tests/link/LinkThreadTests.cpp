// Stopping a link thread: the owner waits for the end of the thread's body, which must have
// been told to exit (its listeners too: the UDP transport wakes its socket from there).

#include "LinkThread.h"

#include <gtest/gtest.h>
#include <atomic>

namespace
{
    /** Waits to be woken until told to exit, then keeps working `lingerMs` more. */
    class SleepyThread : public LinkThread, private juce::Thread::Listener
    {
    public:
        explicit SleepyThread (int lingerMsToUse = 0)
            : LinkThread ("sleepy"),
              lingerMs (lingerMsToUse)
        {
            addListener (this);
        }

        ~SleepyThread() override
        {
            stopThread (1000);
            removeListener (this);
        }

        std::atomic<int> bodiesEnded { 0 };
        std::atomic<int> exitSignals { 0 };

    private:
        void work() override
        {
            while (! threadShouldExit())
                wait (-1);
            juce::Thread::sleep (lingerMs);
            ++bodiesEnded;
        }

        void exitSignalSent() override { ++exitSignals; }

        const int lingerMs;
    };
}

TEST (LinkThreadStop, WakesASleepingBodyTellsTheListenersAndReturnsOnlyOnceTheBodyHasEnded)
{
    for (const int lingerMs : { 0, 30 })
    {
        SleepyThread thread (lingerMs);
        thread.startThread();
        juce::Thread::sleep (5);   // asleep in wait() by now

        EXPECT_TRUE (thread.stopPromptly (2000)) << "linger " << lingerMs;
        EXPECT_FALSE (thread.isThreadRunning());
        EXPECT_EQ (thread.bodiesEnded.load(), 1);
        EXPECT_GE (thread.exitSignals.load(), 1);
    }
}

TEST (LinkThreadStop, StopsEveryRunOfARestartedThreadEvenOneStoppedBeforeItsBodyBegan)
{
    // The receive thread is stopped and started again on every change of socket; a stop
    // right after a start must not take the end of the run before for this one's.
    SleepyThread thread;
    constexpr int runs = 200;
    for (int run = 1; run <= runs; ++run)
    {
        thread.startThread();
        if (run % 2 == 0)
            juce::Thread::yield();
        ASSERT_TRUE (thread.stopPromptly (2000)) << "run " << run;
        ASSERT_FALSE (thread.isThreadRunning()) << "run " << run;
        ASSERT_EQ (thread.bodiesEnded.load(), run);
    }
}

TEST (LinkThreadStop, AThreadNeverStartedStopsAtOnce)
{
    SleepyThread thread;
    EXPECT_TRUE (thread.stopPromptly (2000));
    EXPECT_EQ (thread.bodiesEnded.load(), 0);
    EXPECT_EQ (thread.exitSignals.load(), 0);
}
