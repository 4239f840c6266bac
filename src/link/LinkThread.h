#pragma once

#include <juce_core/juce_core.h>

/** A thread of the link that its owner can stop without delay.

    The framework's stopThread() looks for the thread's end in 2 ms sleeps, so every stop
    costs a few milliseconds even when the thread ends at once: zr-ctl paid them on every
    call, and the program on every change of amplifier.  Here the end of the thread's body
    is an event the owner waits on.  The body is work(); run() is not to be overridden.
*/
class LinkThread : public juce::Thread
{
public:
    explicit LinkThread (const juce::String& threadName)
        : juce::Thread (threadName)
    {
    }

    /** Asks the thread to exit (its listeners hear it), wakes it, and waits until it has
        ended, at most `timeoutMs` (below 0: no limit).  A thread that did not end in time
        is left to stopThread() (which kills it).  Never from the thread itself. */
    bool stopPromptly (int timeoutMs);

protected:
    /** The thread's body: returns once threadShouldExit() is true. */
    virtual void work() = 0;

private:
    void run() final;

    juce::WaitableEvent ended { true };
};
