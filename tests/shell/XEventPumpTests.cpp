// Events left in Xlib's queue by a call that waited for an answer from the X server are
// read all the same.  The test leaves one there as such a call does (an event to the
// window, then a round trip that reads it off the socket with the answer) and runs the
// message loop.  Needs a display; skipped without one.

#include "FakeDialogs.h"
#include "MainWindow.h"
#include "MessageLoop.h"
#include "SimulatedNetwork.h"
#include "TestDisplay.h"
#include "XEventPump.h"
#include "XQueueProbe.h"

#include <gtest/gtest.h>

namespace
{
    /** Lets the framework read everything the window's appearance brought. */
    void settle()
    {
        testloop::runUntil ([] { return xqueue::eventsWaiting() == 0; }, 2000);
        testloop::run (200);
    }

    struct PlainWindow : juce::Component
    {
        PlainWindow()
        {
            setBounds (20, 20, 200, 100);
            addToDesktop (0);
            setVisible (true);
        }
    };
}

TEST (XEventPump, AnEventLeftInXlibsQueueIsRead)
{
    REQUIRE_DISPLAY();
    PlainWindow window;
    XEventPump pump (window);
    settle();

    xqueue::leaveEventInQueue (window);
    ASSERT_GT (xqueue::eventsWaiting(), 0) << "the round trip did not leave the event queued";

    EXPECT_TRUE (testloop::runUntil ([] { return xqueue::eventsWaiting() == 0; }, 1000))
        << "the event still waits in Xlib's queue";
}

TEST (XEventPump, WithoutItTheEventWaits)
{
    // What the pump is for: the framework alone leaves the event where it is.  Should a
    // later framework read it, this fails, and the pump can go.
    REQUIRE_DISPLAY();
    PlainWindow window;
    settle();

    xqueue::leaveEventInQueue (window);
    ASSERT_GT (xqueue::eventsWaiting(), 0);
    testloop::run (300);
    EXPECT_GT (xqueue::eventsWaiting(), 0);

    XEventPump pump (window);
    EXPECT_TRUE (testloop::runUntil ([] { return xqueue::eventsWaiting() == 0; }, 1000));
}

TEST (XEventPump, TheMainWindowHasOne)
{
    REQUIRE_DISPLAY();
    FakeDialogs dialogs;
    SimulatedNetwork net;
    osc::HubOptions options;
    options.makeSocket = net.socketMaker();
    options.listBroadcasts = net.broadcastLister();
    MainWindow window (dialogs, options);
    settle();

    xqueue::leaveEventInQueue (window);
    ASSERT_GT (xqueue::eventsWaiting(), 0);
    EXPECT_TRUE (testloop::runUntil ([] { return xqueue::eventsWaiting() == 0; }, 1000))
        << "an event waits in Xlib's queue behind the main window";
}
