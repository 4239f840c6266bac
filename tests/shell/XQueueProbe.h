#pragma once

// Xlib's event queue as the tests of XEventPump see it; kept apart so that the tests need
// no X declarations (whose macros clash with GoogleTest's).

#include <juce_gui_basics/juce_gui_basics.h>

namespace xqueue
{
    /** Events Xlib holds that nobody has read yet (nothing is read from the socket). */
    int eventsWaiting();

    /** Sends `window` (on the desktop) an empty client message and waits for a round trip:
        the message is read off the socket with the answer and stays in Xlib's queue, where
        the framework's reader, which waits for the socket, does not see it. */
    void leaveEventInQueue (juce::Component& window);
}
