// Preset files that reach the main window from outside (the command line, a later start,
// a drop onto the window) load exactly as the Setup page's "Load" loads a chosen file; a
// drop of anything else is refused without a word.  Needs a display; skipped without one.

#include "CSetupPage.h"
#include "Croot.h"
#include "MainWindow.h"
#include "PacketRecorder.h"
#include "PanelFixture.h"
#include "TempFolder.h"
#include "TestDisplay.h"

namespace
{
    const char* const rigPreset = "Rig For The Night\r\nBEGIN_OSC_DATA\r\n/ampmode s STEREO\r\n"
                                  "/channel/1/delay fi 3.75 1\r\nEND_OSC_DATA";

    class OpenPresetFileTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            if (! testdisplay::available())
                GTEST_SKIP() << "needs a display";
            osc::HubOptions options;
            options.makeSocket = net.socketMaker();
            options.listBroadcasts = net.broadcastLister();
            window = std::make_unique<MainWindow> (dialogs, options);
            ASSERT_TRUE (rig.replaceWithText (rigPreset, false, false, nullptr));
        }

        void TearDown() override { window.reset(); }

        CSetupPage& setupPage()
        {
            auto& tabs = pagetest::widgetIn<juce::TabbedComponent> (*window->getContentComponent(), "tabs");
            return *dynamic_cast<CSetupPage*> (tabs.getTabContentComponent (RemoteControl::setupTabIndex));
        }

        juce::String field (const char* id) { return pagetest::widgetIn<EntryField> (setupPage(), id).getText(); }

        juce::String delayText()
        {
            char text[nodeTextCapacity] {};
            findNode (globals::root, "channel/1/delay", 15)->toText (text, (int) sizeof text);
            return juce::String (text).trim();
        }

        int ampMode() { return globals::root->ampmode->mode->getStep(); }

        TempFolder folder { "zr-open" };
        juce::File rig = folder.file ("rig.kvt");
        FakeDialogs dialogs;
        SimulatedNetwork net;
        std::unique_ptr<MainWindow> window;
    };
}

TEST_F (OpenPresetFileTest, ADroppedPresetFileLoadsAsLoadDoes)
{
    setupPage().selectSlot (3);
    const juce::StringArray drop { rig.getFullPathName() };
    ASSERT_TRUE (window->isInterestedInFileDrag (drop));
    window->filesDropped (drop, 100, 100);

    EXPECT_EQ (field ("fileNameEditor"), "rig.kvt");
    EXPECT_EQ (field ("presetNameEditor"), "Rig For Th");
    EXPECT_EQ (ampMode(), 1);
    EXPECT_TRUE (delayText().startsWith ("3.75")) << delayText();
    EXPECT_EQ (setupPage().getSelectedSlot(), 0);
    EXPECT_TRUE (dialogs.shown.empty()) << "nothing asked beyond what Load asks";
}

TEST_F (OpenPresetFileTest, OtherDropsAreRefusedWithoutAMessage)
{
    const auto text = folder.file ("notes.txt");
    ASSERT_TRUE (text.replaceWithText (rigPreset));
    const auto folderNamedLikeAPreset = folder.file ("folder.kvt");
    ASSERT_TRUE (folderNamedLikeAPreset.createDirectory());
    const auto other = folder.file ("other.KVT");
    ASSERT_TRUE (other.replaceWithText (rigPreset));

    for (const auto& drop : { juce::StringArray { text.getFullPathName() },
                              juce::StringArray { rig.getFullPathName(), other.getFullPathName() },
                              juce::StringArray { folderNamedLikeAPreset.getFullPathName() },
                              juce::StringArray { "rig.kvt" }, juce::StringArray {} })
    {
        EXPECT_FALSE (window->isInterestedInFileDrag (drop)) << drop.joinIntoString (",");
        window->filesDropped (drop, 100, 100);
    }
    EXPECT_TRUE (dialogs.shown.empty());
    EXPECT_EQ (field ("fileNameEditor"), "");
    EXPECT_EQ (ampMode(), 0);

    // The ending is not case-sensitive.
    EXPECT_TRUE (window->isInterestedInFileDrag ({ other.getFullPathName() }));
}

TEST_F (OpenPresetFileTest, AFileThatDoesNotLoadGetsLoadsMessageAndTheWindowStays)
{
    const auto missing = folder.file ("missing.kvt");
    window->openPresetFile (missing);

    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_TRUE (juce::String (dialogs.shown[0])
                     .startsWith ("Failed to open file...|There was an error while trying to load the file: \n"
                                  + missing.getFullPathName()))
        << dialogs.shown[0];
    EXPECT_EQ (field ("fileNameEditor"), "missing.kvt");
    EXPECT_TRUE (window->isVisible());
}

TEST_F (OpenPresetFileTest, WhileConnectedAnOpenedFileSendsEveryBlockInTreeOrder)
{
    auto& page = setupPage();
    page.addNetworkDevice (1, "Stage", "192.0.2.5");
    dialogs.answers = { true };
    page.rowClicked (1);
    ASSERT_FALSE (page.isOffline());

    PacketRecorder sent;
    window->openPresetFile (rig);

    std::vector<std::string> blocks;
    forEachLeaf (globals::root, [&blocks] (Cnode* block) { blocks.push_back (block->address); });
    ASSERT_EQ (sent.count(), blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i)
        EXPECT_EQ (sent.address (i), blocks[i]);
    EXPECT_STREQ (sent.message (0).ArgumentsBegin()->AsString(), "STEREO");
}
