#pragma once

#include <juce_events/juce_events.h>
#include <functional>

namespace juce
{
    // One step of the framework's own message loop (its Linux messaging): dispatches one
    // pending message, posted message, timer callback or async update, and returns false
    // at once when there is none.  The program's loop is this step repeated; tests step it
    // themselves, since the framework's runDispatchLoopUntil exists only with modal loops.
    bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

/** Helpers for tests that need the message loop to deliver change messages and posts. */
namespace testloop
{
    /** Runs the message loop for about `milliseconds`. */
    inline void run (int milliseconds)
    {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) juce::jmax (0, milliseconds);
        do
        {
            // Idle: a short nap rather than a busy loop, as the framework's loop does.
            if (! juce::dispatchNextMessageOnSystemQueue (true))
                juce::Thread::sleep (1);
        } while ((juce::int32) (juce::Time::getMillisecondCounter() - end) < 0);
    }

    /** Handles every message already waiting (clicks, change messages, posts) and returns
        as soon as there is none; what a handler posts is handled too. */
    inline void drain()
    {
        for (int i = 0; i < 1000 && juce::dispatchNextMessageOnSystemQueue (true); ++i)
        {
        }
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
