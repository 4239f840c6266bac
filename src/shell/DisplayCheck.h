#pragma once

#include <juce_core/juce_core.h>

/** Whether the window can go anywhere: started over ssh, from a text console or with a stale
    DISPLAY, the framework would fail deep inside (a segmentation fault), so the program asks
    first and says so in words instead. */
namespace displaycheck
{
    /** Empty when the X display named by `displayName` (the DISPLAY variable; null or empty
        when unset) opens; otherwise one line for standard error saying that a graphical
        desktop is needed and which display was tried.  Opens and closes its own connection. */
    juce::String problemWith (const char* displayName);
}
