// Tooltips: the window that shows them exists while the pointer is over the panel, finds the
// tip of the widget under the pointer and shows it; it goes when the pointer leaves.  The
// pointer is moved through the window's peer, as the X server's events move it.  Needs a
// display; skipped without one.

#include "FakeDialogs.h"
#include "HoverTooltips.h"
#include "MainWindow.h"
#include "MessageLoop.h"
#include "RemoteControl.h"
#include "SimulatedNetwork.h"
#include "TestDisplay.h"

#include <gtest/gtest.h>

namespace
{
    /** Moves the mouse to `position` in the peer's own pixels. */
    void movePointer (juce::ComponentPeer& peer, juce::Point<float> position)
    {
        peer.handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, position, juce::ModifierKeys(),
                               juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                               juce::Time::currentTimeMillis());
    }

    /** The centre of `c` in its peer's pixels. */
    juce::Point<float> centreInPeer (juce::Component& c)
    {
        return c.getPeer()->getComponent().getLocalPoint (&c, c.getLocalBounds().getCentre()).toFloat();
    }

    juce::TooltipWindow* tooltipWindowIn (juce::Component& panel)
    {
        for (auto* child : panel.getChildren())
            if (auto* window = dynamic_cast<juce::TooltipWindow*> (child))
                return window;
        return nullptr;
    }

    juce::Component* findInside (juce::Component& parent, const juce::String& id)
    {
        for (auto* child : parent.getChildren())
        {
            if (child->getComponentID() == id)
                return child;
            if (auto* found = findInside (*child, id))
                return found;
        }
        return nullptr;
    }

    /** A window-sized component on the desktop with one button that has a tip and one
        that has none. */
    struct TipArea : juce::Component
    {
        TipArea()
        {
            withTip.setTooltip ("enable/disable");
            withTip.setBounds (10, 10, 80, 24);
            addAndMakeVisible (withTip);
            withoutTip.setBounds (110, 10, 80, 24);
            addAndMakeVisible (withoutTip);
            setBounds (20, 20, 300, 120);
            addToDesktop (0);
            setVisible (true);
            toFront (true);   // the tips show only while the program is the active one
            testloop::run (100);
        }

        juce::TextButton withTip { "Bypass" };
        juce::TextButton withoutTip { "Search" };
        HoverTooltips tips { *this };
    };
}

TEST (HoverTooltips, TheWindowExistsOnlyWhileThePointerIsOverTheArea)
{
    REQUIRE_DISPLAY();
    TipArea area;
    auto& peer = *area.getPeer();

    EXPECT_EQ (area.tips.getWindow(), nullptr) << "no window before the pointer comes";

    movePointer (peer, centreInPeer (area.withoutTip));
    auto* window = area.tips.getWindow();
    ASSERT_NE (window, nullptr);
    EXPECT_EQ (window->getParentComponent(), &area) << "drawn inside the area";

    // From one widget to another and onto the area behind them: the same window stays.
    movePointer (peer, centreInPeer (area.withTip));
    movePointer (peer, { 250.0f, 100.0f });
    EXPECT_EQ (area.tips.getWindow(), window);

    movePointer (peer, { 400.0f, 60.0f });   // past the right edge
    EXPECT_EQ (area.tips.getWindow(), nullptr);

    movePointer (peer, centreInPeer (area.withTip));
    EXPECT_NE (area.tips.getWindow(), nullptr) << "back again";
}

TEST (HoverTooltips, AButtonsTipAppearsWhenThePointerRestsOnIt)
{
    REQUIRE_DISPLAY();
    TipArea area;
    auto& peer = *area.getPeer();

    movePointer (peer, centreInPeer (area.withTip));
    auto* window = area.tips.getWindow();
    ASSERT_NE (window, nullptr);
    EXPECT_EQ (window->getTipFor (area.withTip), "enable/disable");
    EXPECT_EQ (window->getTipFor (area.withoutTip), "");

    // The framework's own delay is 700 ms of a still pointer.
    EXPECT_TRUE (testloop::runUntil ([window] { return window->isVisible(); }, 5000)) << "no tip appeared";
    EXPECT_FALSE (window->getBounds().isEmpty());
    EXPECT_TRUE (area.getLocalBounds().contains (window->getBounds())) << "the tip is drawn inside the area";
}

TEST (HoverTooltips, ThePanelShowsThePagesTips)
{
    REQUIRE_DISPLAY();
    FakeDialogs dialogs;
    SimulatedNetwork net;
    osc::HubOptions options;
    options.makeSocket = net.socketMaker();
    options.listBroadcasts = net.broadcastLister();
    MainWindow window (dialogs, options);
    window.toFront (true);
    testloop::run (100);

    auto* panel = dynamic_cast<RemoteControl*> (window.getContentComponent());
    ASSERT_NE (panel, nullptr);

    // The window opens where the display's pointer may already be: it starts off the window.
    auto& peer = *window.getPeer();
    movePointer (peer, { -40.0f, -40.0f });
    EXPECT_EQ (tooltipWindowIn (*panel), nullptr);

    auto* tabs = dynamic_cast<juce::TabbedComponent*> (panel->findChildWithID ("tabs"));
    ASSERT_NE (tabs, nullptr);
    tabs->setCurrentTabIndex (0);   // "  Configuration  "
    auto* channelLink = findInside (*panel, "channelLink");
    ASSERT_NE (channelLink, nullptr);
    ASSERT_TRUE (channelLink->isShowing());

    movePointer (peer, centreInPeer (*channelLink));
    auto* tips = tooltipWindowIn (*panel);
    ASSERT_NE (tips, nullptr) << "the panel has no tooltip window with the pointer over it";
    EXPECT_EQ (tips->getTipFor (*channelLink), "enable/disable");

    movePointer (peer, { -40.0f, -40.0f });   // off the window
    EXPECT_EQ (tooltipWindowIn (*panel), nullptr);
}
