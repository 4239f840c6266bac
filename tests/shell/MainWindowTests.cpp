// The main window with the real panel: what start-up leaves in place and what shut-down
// clears.  Needs a display (the window goes on the desktop); skipped without one.

#include "Croot.h"
#include "MainWindow.h"
#include "PanelFixture.h"
#include "presetDocument.h"

#include <dlfcn.h>

namespace
{
    // Without a window manager the X server lacks atoms JUCE asks about; Xlib's default
    // handler would end the test process on the first such error.  The program installs a
    // handler of its own through the application object; a test binary has none.
    int ignoreXError (void*, void*)
    {
        return 0;
    }

    const bool xErrorsIgnored = []
    {
        if (auto* x11 = dlopen ("libX11.so.6", RTLD_NOW | RTLD_GLOBAL))
            if (auto* setHandler = reinterpret_cast<void* (*) (int (*) (void*, void*))> (dlsym (x11, "XSetErrorHandler")))
                setHandler (ignoreXError);
        return true;
    }();

    bool haveDisplay()
    {
        return juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr;
    }
}

TEST (MainWindow, BuildsTreePanelAndPresetsAndTearsThemDownInOrder)
{
    REQUIRE_PRIVATE_NETWORK();
    if (! haveDisplay())
        GTEST_SKIP() << "needs a display";

    FakeDialogs dialogs;
    ScopedGlobal<Dialogs*> dialogsInstalled { globals::dialogs, &dialogs };

    auto window = std::make_unique<MainWindow>();
    EXPECT_EQ (window->getName(), "[not connected!]");
    EXPECT_TRUE (window->isVisible());
    EXPECT_FALSE (window->isResizable());

    auto* panel = dynamic_cast<RemoteControl*> (window->getContentComponent());
    ASSERT_NE (panel, nullptr);
    EXPECT_EQ (globals::panel, panel);
    EXPECT_EQ (panel->getWidth(), 912);
    EXPECT_EQ (panel->getHeight(), 516);
    EXPECT_EQ (window->getContentComponentBorder().getTop() + 516 + window->getContentComponentBorder().getBottom(),
               window->getHeight());

    ASSERT_NE (globals::root, nullptr);
    auto* ampMode = findNode (globals::root, "ampmode", 7);
    ASSERT_NE (ampMode, nullptr);
    EXPECT_STREQ (ampMode->address, "/ampmode");
    EXPECT_NE (globals::hub, nullptr);
    EXPECT_NE (globals::presets, nullptr);
    EXPECT_EQ (globals::packetSink, static_cast<PacketSink*> (globals::hub));

    // Setting a model reaches the window's title through the panel.
    panel->setDeviceLabel (5);
    EXPECT_EQ (window->getName(), "[Device: TARVO-2]");

    window.reset();
    EXPECT_EQ (globals::root, nullptr);
    EXPECT_EQ (globals::panel, nullptr);
    EXPECT_EQ (globals::hub, nullptr);
    EXPECT_EQ (globals::packetSink, nullptr);
    EXPECT_EQ (globals::udp, nullptr);
    EXPECT_EQ (globals::usb, nullptr);
    EXPECT_EQ (globals::presets, nullptr);
}
