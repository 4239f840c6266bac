// The X declarations of the framework (its Xlib binding and the display it opened) are
// needed here, and only here.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "XEventPump.h"

XEventPump::XEventPump (juce::Component& windowToWatch)
    : window (windowToWatch),
      refresh (&windowToWatch, [this] { wakeReaderIfEventsWait(); })
{
}

void XEventPump::wakeReaderIfEventsWait()
{
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    auto* peer = window.getPeer();
    if (windowSystem == nullptr || windowSystem->getDisplay() == nullptr || peer == nullptr)
        return;

    auto* display = windowSystem->getDisplay();
    auto& x = *juce::X11Symbols::getInstance();
    juce::XWindowSystemUtilities::ScopedXLock lock;

    // Only what Xlib already holds: nothing is read from the socket here.
    if (x.xEventsQueued (display, QueuedAlready) == 0)
        return;

    // A client message of no type: the framework reads it with the others and ignores it.
    XEvent wake {};
    wake.xclient.type = ClientMessage;
    wake.xclient.window = (::Window) peer->getNativeHandle();
    wake.xclient.format = 32;
    x.xSendEvent (display, wake.xclient.window, False, NoEventMask, &wake);
    x.xFlush (display);
}
