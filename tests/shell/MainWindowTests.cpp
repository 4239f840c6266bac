// The main window with the real panel: what start-up leaves in place and what shut-down
// clears.  Needs a display (the window goes on the desktop); skipped without one.

#include "Croot.h"
#include "MainWindow.h"
#include "PanelFixture.h"
#include "TestDisplay.h"
#include "presetDocument.h"

TEST (MainWindow, BuildsTreePanelAndPresetsAndTearsThemDownInOrder)
{
    REQUIRE_DISPLAY();

    FakeDialogs dialogs;
    SimulatedNetwork net;
    osc::HubOptions options;
    options.makeSocket = net.socketMaker();
    options.listBroadcasts = net.broadcastLister();

    auto window = std::make_unique<MainWindow> (dialogs, options);
    EXPECT_EQ (window->getName(), "[not connected!]");
    EXPECT_TRUE (window->isVisible());
    EXPECT_FALSE (window->isResizable());

    auto* panel = dynamic_cast<RemoteControl*> (window->getContentComponent());
    ASSERT_NE (panel, nullptr);
    EXPECT_EQ (panel->getWidth(), 912);
    EXPECT_EQ (panel->getHeight(), 516);
    EXPECT_EQ (window->getContentComponentBorder().getTop() + 516 + window->getContentComponentBorder().getBottom(),
               window->getHeight());

    ASSERT_NE (globals::root, nullptr);
    auto* ampMode = findNode (globals::root, "ampmode", 7);
    ASSERT_NE (ampMode, nullptr);
    EXPECT_STREQ (ampMode->address, "/ampmode");
    EXPECT_NE (globals::hub, nullptr);
    // The preset document exists and has put the default preset into the tree.
    char text[nodeTextCapacity] {};
    findNode (globals::root, "channel/1/peq/8", 15)->toText (text, (int) sizeof text);
    EXPECT_TRUE (juce::String (text).startsWith (" HS12 ")) << text;
    EXPECT_EQ (globals::packetSink, static_cast<PacketSink*> (globals::hub));

    // Setting a model reaches the window's title through the panel.
    panel->setDeviceLabel (5);
    EXPECT_EQ (window->getName(), "[Device: TARVO-2]");

    window.reset();
    EXPECT_EQ (globals::root, nullptr);
    EXPECT_EQ (globals::hub, nullptr);
    EXPECT_EQ (globals::packetSink, nullptr);
}
