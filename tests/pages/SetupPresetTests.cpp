// The "PC Presets" area: loading and saving preset files through the scripted choosers.

#include "SetupPageFixture.h"
#include "TestSettings.h"

using namespace setuptest;

namespace
{
    const char* const clubPreset = "Club Night Long\nBEGIN_OSC_DATA\n/ampmode s STEREO\nEND_OSC_DATA\n";
}

TEST_F (PageTest, LoadedFileSetsTheTreeAndGoesToTheAmplifierOnlyWhileConnected)
{
    const auto file = folder.getChildFile ("club.kvt");
    ASSERT_TRUE (file.replaceWithText (clubPreset));

    page->selectSlot (4);
    dialogs.openAnswer = file;
    page->loadPresetFile();

    ASSERT_EQ (dialogs.opens.size(), 1u);
    EXPECT_EQ (dialogs.opens[0].title, "Please select the preset you want to load...");
    EXPECT_EQ (dialogs.opens[0].patterns, "*.kvt");
    EXPECT_EQ (root.ampmode->mode->getStep(), 1);
    EXPECT_EQ (widget<EntryField> ("fileNameEditor").getText(), "club.kvt");
    EXPECT_EQ (widget<EntryField> ("presetNameEditor").getText(), "Club Night");
    EXPECT_EQ (page->getSelectedSlot(), 0);
    EXPECT_FALSE (widget<juce::Button> ("slotToggle4").getToggleState());
    EXPECT_EQ (sent.count(), 0u);

    page->addNetworkDevice (1, "Stage", "192.0.2.5");
    dialogs.answers = { true };
    page->rowClicked (1);
    page->loadPresetFile();

    EXPECT_EQ (dialogs.opens[1].initial, file);   // the last file loaded
    std::vector<std::string> blocks;
    forEachLeaf (&root, [&blocks] (Cnode* block) { blocks.push_back (block->address); });
    ASSERT_EQ (blocks.size(), 39u);
    ASSERT_EQ (sent.count(), 39u);
    for (std::size_t i = 0; i < blocks.size(); ++i)
        EXPECT_EQ (sent.address (i), blocks[i]);
    EXPECT_STREQ (sent.message (0).ArgumentsBegin()->AsString(), "STEREO");
}

TEST_F (PageTest, CancelledLoadChangesNothingAndAFailedOneSaysSo)
{
    page->loadPresetFile();   // the chooser answers "cancelled"
    EXPECT_TRUE (dialogs.shown.empty());
    EXPECT_EQ (widget<EntryField> ("fileNameEditor").getText(), "");

    dialogs.openAnswer = folder.getChildFile ("missing.kvt");
    page->loadPresetFile();
    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_TRUE (juce::String (dialogs.shown[0])
                     .startsWith ("Failed to open file...|There was an error while trying "
                                  "to load the file: \n"
                                  + folder.getFullPathName()));
    EXPECT_EQ (widget<EntryField> ("fileNameEditor").getText(), "missing.kvt");
    EXPECT_EQ (root.ampmode->mode->getStep(), 0);
}

TEST_F (PageTest, SaveProposesTheLastFolderAndWritesAPresetFile)
{
    auto& fileName = widget<EntryField> ("fileNameEditor");
    auto& presetName = widget<EntryField> ("presetNameEditor");

    page->savePresetFile();   // nothing saved yet: the home folder; then cancelled
    ASSERT_EQ (dialogs.saves.size(), 1u);
    EXPECT_EQ (dialogs.saves[0].title, "Save as preset file...");
    EXPECT_EQ (dialogs.saves[0].patterns, "*.kvt");
    EXPECT_EQ (dialogs.saves[0].initial, juce::File::getSpecialLocation (juce::File::userHomeDirectory));

    page->selectSlot (2);
    presetName.setText ("Live Set");
    dialogs.saveAnswer = folder.getChildFile ("live.txt");
    page->savePresetFile();

    const auto written = folder.getChildFile ("live.kvt");
    EXPECT_EQ (dialogs.saves[1].initial,
               juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("Live Set"));
    EXPECT_FALSE (folder.getChildFile ("live.txt").exists());
    EXPECT_TRUE (written.loadFileAsString().startsWith ("Live Set\r\nBEGIN_OSC_DATA\r\n/ampmode s DUAL"));
    EXPECT_EQ (fileName.getText(), "live.kvt");
    EXPECT_EQ (page->getSelectedSlot(), 0);
    EXPECT_EQ (testSettings().recentFiles().getFile (0), written);

    fileName.clear();
    presetName.clear();
    page->savePresetFile();
    EXPECT_EQ (dialogs.saves[2].initial, folder);   // the folder and "/", nothing after it

    presetName.setText ("A/B: live");
    page->savePresetFile();
    EXPECT_EQ (dialogs.saves[3].initial, folder.getChildFile ("AB live"));
}

TEST_F (PageTest, AnotherPresetFileIsReplacedOnlyWhenTheUserSaysSo)
{
    const auto existing = folder.getChildFile ("gig.kvt");
    ASSERT_TRUE (existing.replaceWithText ("old"));
    widget<EntryField> ("presetNameEditor").setText ("Gig");
    dialogs.saveAnswer = folder.getChildFile ("gig.txt");

    dialogs.answers = { false };
    page->savePresetFile();
    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_TRUE (juce::String (dialogs.shown[0])
                     .startsWith ("File already exists|There's already a file called: " + existing.getFullPathName()));
    EXPECT_EQ (existing.loadFileAsString(), "old");

    dialogs.answers = { true };
    page->savePresetFile();
    EXPECT_TRUE (existing.loadFileAsString().startsWith ("Gig\r\n"));

    // A file inside a file cannot be written: the user is told.
    dialogs.saveAnswer = existing.getChildFile ("inner.kvt");
    page->savePresetFile();
    EXPECT_TRUE (juce::String (dialogs.shown.back()).startsWith ("Error writing to file...|"));
}
