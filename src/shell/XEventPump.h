#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Keeps the window system's events moving on Linux.

    The framework reads X events when the X connection's socket has data.  But a call that
    waits for an answer from the X server (the framework asks where the pointer is fifty
    times a second while a text editor is open) also reads the events that arrived meanwhile,
    and keeps them in Xlib's queue: the socket is empty again and they wait there, unread,
    until some later event arrives.  On a busy machine a key or button release is caught so:
    Escape does not close a box, a click does nothing, until the mouse moves.

    At every display refresh (the framework's own timer: this adds no wake-up) this looks
    whether Xlib holds events nobody has read, and then sends the window an empty message of
    its own: the socket has data, and the framework reads the whole queue in order.  Message
    thread only.
*/
class XEventPump
{
public:
    /** Watches while `window` (the main window) is on the desktop; `window` must outlive this. */
    explicit XEventPump (juce::Component& window);

private:
    void wakeReaderIfEventsWait();

    juce::Component& window;
    juce::VBlankAttachment refresh;

    JUCE_DECLARE_NON_COPYABLE (XEventPump)
};
