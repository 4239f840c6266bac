#pragma once

#include <juce_events/juce_events.h>
#include <functional>

/** Helpers for tests that need the message loop to deliver change messages and posts. */
namespace testloop
{
    /** Runs the message loop for about `milliseconds`. */
    inline void run (int milliseconds)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
    }

    /** Runs the loop until `done` is true or `timeoutMs` passes; returns done(). */
    inline bool runUntil (const std::function<bool()>& done, int timeoutMs = 3000)
    {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
        while (! done() && juce::Time::getMillisecondCounter() < end)
            run (5);
        return done();
    }
}
