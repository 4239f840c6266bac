// Preset files on disk: which file a name stands for, reading, and the all-or-nothing write.

#include "PresetTestSupport.h"
#include "PresetFile.h"

#include <unistd.h>

using namespace presettest;

TEST (PresetFile, NamesResolveToKvtFiles)
{
    const juce::File folder ("/presets");

    EXPECT_EQ (PresetFile::resolve (folder.getChildFile ("live.txt")), folder.getChildFile ("live.kvt"));
    EXPECT_EQ (PresetFile::resolve (folder.getChildFile ("live")), folder.getChildFile ("live.kvt"));
    EXPECT_EQ (PresetFile::resolve (folder.getChildFile ("live.kvt")), folder.getChildFile ("live.kvt"));
    EXPECT_EQ (PresetFile::resolve (folder.getChildFile ("LIVE.KVT")), folder.getChildFile ("LIVE.KVT"));
    EXPECT_EQ (PresetFile::resolve (folder.getChildFile ("club.a.txt")), folder.getChildFile ("club.a.kvt"));
    EXPECT_EQ (PresetFile::resolve (juce::File()), juce::File());
}

TEST (PresetFile, ReadsWholeFilesAndRefusesWhatIsNotOne)
{
    TempFolder temp;
    std::string text = "untouched";

    EXPECT_FALSE (PresetFile::readText (temp.file ("missing.kvt"), text));
    EXPECT_FALSE (PresetFile::readText (temp.get(), text));
    EXPECT_EQ (text, "untouched");

    const std::string bytes ("Club A\r\nBEGIN_OSC_DATA\0\xFF\r\nEND_OSC_DATA", 38);
    temp.file ("a.kvt").replaceWithData (bytes.data(), bytes.size());
    ASSERT_TRUE (PresetFile::readText (temp.file ("a.kvt"), text));
    EXPECT_EQ (text, bytes);

    temp.file ("empty.kvt").create();
    ASSERT_TRUE (PresetFile::readText (temp.file ("empty.kvt"), text));
    EXPECT_TRUE (text.empty());

    // A file saved as UTF-16 by a text editor is read as the same text.
    const char16_t utf16[] = u"\uFEFFN\u00E4me\r\nBEGIN_OSC_DATA";
    temp.file ("wide.kvt").replaceWithData (utf16, sizeof (utf16) - sizeof (char16_t));
    ASSERT_TRUE (PresetFile::readText (temp.file ("wide.kvt"), text));
    EXPECT_EQ (text, "N\xC3\xA4me\r\nBEGIN_OSC_DATA");

    // Far larger than any preset (sparse, so it costs no disk).
    const auto huge = temp.file ("huge.kvt");
    huge.create();
    ASSERT_EQ (truncate (huge.getFullPathName().toRawUTF8(), PresetFile::maximumSize + 1), 0);
    text = "untouched";
    EXPECT_FALSE (PresetFile::readText (huge, text));
    EXPECT_EQ (text, "untouched");
}

TEST (PresetFile, WritesReplaceTheTargetAndLeaveNothingBehind)
{
    TempFolder temp;
    const auto target = temp.file ("sub/folder/live.kvt");

    ASSERT_TRUE (PresetFile::writeAtomically (target, "first", 5));
    EXPECT_EQ (readBytes (target), "first");

    const std::string second ("second\r\n\0x", 10);
    ASSERT_TRUE (PresetFile::writeAtomically (target, second.data(), second.size()));
    EXPECT_EQ (readBytes (target), second);

    EXPECT_EQ ((int) target.getParentDirectory().findChildFiles (juce::File::findFilesAndDirectories, false).size(), 1);
}

TEST (PresetFile, AFailedWriteKeepsTheOldFileWhole)
{
    TempFolder temp;
    const auto target = temp.file ("live.kvt");
    ASSERT_TRUE (target.replaceWithText ("old preset"));

    const std::string big (4000, 'x');
    {
        FileSizeLimit limit (100);   // the disk "fills up" after 100 bytes
        ASSERT_TRUE (limit.isActive());
        EXPECT_FALSE (PresetFile::writeAtomically (target, big.data(), big.size()));
    }

    EXPECT_EQ (readBytes (target), "old preset");
    EXPECT_EQ (temp.count(), 1);   // no half-written temporary file left

    EXPECT_TRUE (PresetFile::writeAtomically (target, big.data(), big.size()));
    EXPECT_EQ (readBytes (target), big);
}

TEST (PresetFile, UnwritablePlacesFail)
{
    TempFolder temp;
    temp.file ("plain").replaceWithText ("a file, not a folder");
    temp.file ("folder.kvt").createDirectory();
    temp.file ("folder.kvt/inside").replaceWithText ("kept");

    EXPECT_FALSE (PresetFile::writeAtomically (temp.file ("plain/sub/live.kvt"), "x", 1));
    EXPECT_FALSE (PresetFile::writeAtomically (temp.file ("folder.kvt"), "x", 1));
    EXPECT_FALSE (PresetFile::writeAtomically (juce::File(), "x", 1));

    EXPECT_EQ (readBytes (temp.file ("plain")), "a file, not a folder");
    EXPECT_EQ (readBytes (temp.file ("folder.kvt/inside")), "kept");
    EXPECT_EQ (temp.count(), 2);

    // Without write permission (only meaningful when not running as root).
    if (geteuid() != 0)
    {
        const auto locked = temp.file ("locked");
        locked.createDirectory();
        locked.setReadOnly (true);
        EXPECT_FALSE (PresetFile::writeAtomically (locked.getChildFile ("live.kvt"), "x", 1));
        locked.setReadOnly (false);
    }
}
