#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <dlfcn.h>

namespace testdisplay
{
    // Without a window manager the X server lacks atoms JUCE asks about; Xlib's default
    // handler would end the test process on the first such error.  The program installs a
    // handler of its own through the application object; a test binary has none.
    inline int ignoreXError (void*, void*)
    {
        return 0;
    }

    /** True when windows can go on a desktop (an X display, Xvfb in the test command); the
        first call also makes X errors harmless to the test process. */
    inline bool available()
    {
        static const bool handlerInstalled = []
        {
            if (auto* x11 = dlopen ("libX11.so.6", RTLD_NOW | RTLD_GLOBAL))
                if (auto* setHandler = reinterpret_cast<void* (*) (int (*) (void*, void*))> (
                        dlsym (x11, "XSetErrorHandler")))
                    setHandler (ignoreXError);
            return true;
        }();
        juce::ignoreUnused (handlerInstalled);
        return juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr;
    }
}

#define REQUIRE_DISPLAY()                                                                                              \
    if (! testdisplay::available())                                                                                    \
    GTEST_SKIP() << "needs a display"
