#include "DisplayCheck.h"

#include <X11/Xlib.h>

juce::String displaycheck::problemWith (const char* displayName)
{
    const juce::String prefix = "zr-remote-connect: needs a graphical desktop, but ";
    if (displayName == nullptr || *displayName == 0)
        return prefix + "no display is set (DISPLAY is empty)";

    auto* display = XOpenDisplay (displayName);
    if (display == nullptr)
        return prefix + "the display \"" + juce::String::fromUTF8 (displayName) + "\" (DISPLAY) does not open";

    XCloseDisplay (display);
    return {};
}
