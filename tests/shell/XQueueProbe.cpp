#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "XQueueProbe.h"

namespace xqueue
{
    int eventsWaiting()
    {
        juce::XWindowSystemUtilities::ScopedXLock lock;
        auto* display = juce::XWindowSystem::getInstance()->getDisplay();
        return juce::X11Symbols::getInstance()->xEventsQueued (display, QueuedAlready);
    }

    void leaveEventInQueue (juce::Component& window)
    {
        auto& x = *juce::X11Symbols::getInstance();
        juce::XWindowSystemUtilities::ScopedXLock lock;
        auto* display = juce::XWindowSystem::getInstance()->getDisplay();
        XEvent event {};
        event.xclient.type = ClientMessage;
        event.xclient.window = (::Window) window.getPeer()->getNativeHandle();
        event.xclient.format = 32;
        x.xSendEvent (display, event.xclient.window, False, NoEventMask, &event);
        x.xSync (display, False);
    }
}
