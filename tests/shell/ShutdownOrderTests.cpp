// The program's order of destruction, with a page that listens to a block of the tree as
// the editor pages do: the page deregisters in its destructor, so it must go while the
// block still exists.  The test command runs this binary again in an AddressSanitizer
// build, where touching the freed tree fails the run.

#include "Croot.h"
#include "FakeDialogs.h"
#include "Globals.h"
#include "MainWindow.h"
#include "MessageLoop.h"
#include "SimulatedNetwork.h"
#include "RemoteControl.h"
#include "TestDisplay.h"

#include <gtest/gtest.h>

namespace
{
    /** Built as every page is: listens to a block from its constructor to its destructor. */
    class ListeningPage : public juce::Component, private juce::ChangeListener
    {
    public:
        ListeningPage (Cnode& blockToWatch, bool& treeThereAtTheEnd)
            : block (blockToWatch),
              treeThere (treeThereAtTheEnd)
        {
            block.addChangeListener (this);
        }

        ~ListeningPage() override
        {
            treeThere = globals::root != nullptr;
            block.removeChangeListener (this);
        }

        int changes = 0;

    private:
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++changes; }

        Cnode& block;
        bool& treeThere;
    };
}

TEST (ShutdownOrder, PagesListeningToBlocksGoBeforeTheTreeTheyListenTo)
{
    REQUIRE_DISPLAY();

    FakeDialogs dialogs;
    SimulatedNetwork net;
    osc::HubOptions options;
    options.makeSocket = net.socketMaker();
    options.listBroadcasts = net.broadcastLister();
    auto window = std::make_unique<MainWindow> (dialogs, options);

    auto* panel = dynamic_cast<RemoteControl*> (window->getContentComponent());
    ASSERT_NE (panel, nullptr);
    auto* tabs = dynamic_cast<juce::TabbedComponent*> (panel->findChildWithID ("tabs"));
    ASSERT_NE (tabs, nullptr);
    auto* ampMode = findNode (globals::root, "ampmode", 7);
    ASSERT_NE (ampMode, nullptr);

    // Owned by the tabs like the panel's own pages, and deleted with them.
    bool treeThereAtTheEnd = false;
    auto* page = new ListeningPage (*ampMode, treeThereAtTheEnd);
    tabs->addTab ("listening", juce::Colours::black, page, true);
    ampMode->sendChangeMessage();
    ASSERT_TRUE (testloop::runUntil ([page] { return page->changes > 0; }));

    window.reset();
    EXPECT_TRUE (treeThereAtTheEnd);
    EXPECT_EQ (globals::root, nullptr);
}
