// The tests' own message loop (tests/support/MessageLoop.h): without modal loops the
// framework has no runDispatchLoopUntil, so every test that waits for the message thread
// relies on this delivering what the program's loop delivers.

#include "MessageLoop.h"

#include <gtest/gtest.h>

namespace
{
    struct Counts : public juce::MessageListener,
                    public juce::Timer,
                    public juce::AsyncUpdater,
                    public juce::ChangeListener
    {
        void handleMessage (const juce::Message&) override { ++messages; }
        void timerCallback() override { ++ticks; }
        void handleAsyncUpdate() override { ++updates; }
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++changes; }

        int messages = 0, ticks = 0, updates = 0, changes = 0;
    };
}

TEST (MessageLoop, DeliversPostedMessagesTimersAsyncUpdatesAndChangeMessages)
{
    Counts counts;
    juce::ChangeBroadcaster broadcaster;
    broadcaster.addChangeListener (&counts);
    bool called = false;

    // Posted from another thread, as the transports do.
    juce::Thread::launch ([&counts] { counts.postMessage (new juce::Message()); });
    counts.triggerAsyncUpdate();
    broadcaster.sendChangeMessage();
    juce::MessageManager::callAsync ([&called] { called = true; });
    counts.startTimer (5);

    ASSERT_TRUE (testloop::runUntil (
        [&] { return counts.messages == 1 && counts.updates == 1 && counts.changes == 1 && called; }));
    ASSERT_TRUE (testloop::runUntil ([&] { return counts.ticks >= 3; }));
    counts.stopTimer();

    // run() keeps the loop going for the time asked, and nothing is delivered twice.
    const auto start = juce::Time::getMillisecondCounter();
    testloop::run (60);
    EXPECT_GE (juce::Time::getMillisecondCounter() - start, 60u);
    EXPECT_EQ (counts.messages, 1);
    EXPECT_EQ (counts.updates, 1);
    EXPECT_EQ (counts.changes, 1);

    EXPECT_FALSE (testloop::runUntil ([] { return false; }, 20));
    broadcaster.removeChangeListener (&counts);
}
