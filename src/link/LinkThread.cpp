#include "LinkThread.h"

#include <thread>

namespace
{
    // Between the end of run() and the framework letting go of the thread lie a few
    // instructions; the owner yields through them rather than sleeping.
    constexpr int handOverMs = 50;
}

void LinkThread::run()
{
    ended.reset();
    work();
    ended.signal();
}

bool LinkThread::stopPromptly (int timeoutMs)
{
    if (! isThreadRunning())
        return true;

    signalThreadShouldExit();
    notify();

    // An end signalled by an earlier run (this one has not reached its body yet) is no
    // harm: the hand-over below then waits for this run, which exits at once.
    if (ended.wait (timeoutMs))
    {
        const auto giveUp = juce::Time::getMillisecondCounter() + (juce::uint32) handOverMs;
        while (isThreadRunning() && (juce::int32) (juce::Time::getMillisecondCounter() - giveUp) < 0)
            std::this_thread::yield();
    }
    return stopThread (timeoutMs);
}
