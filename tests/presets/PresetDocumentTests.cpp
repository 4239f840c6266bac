// The preset document on globals::root: the default preset, loading and saving files, names,
// failures, locale independence and the recent-files hand-over.

#include "PresetTestSupport.h"
#include "TestSettings.h"
#include "presetDocument.h"
#include "SettingsStore.h"
#include "TestModel.h"

#include <clocale>
#include <cstdlib>

using namespace presettest;

namespace
{
    // The tree published as globals::root for one test, and a document on it.
    struct DocumentTest : ::testing::Test
    {
        TestModel model { TestModel::publishRoot };
        Croot* const root = &model.root;
        SettingsStore& settings = testSettings();   // the recent-files list, as in the program
        TempFolder temp;

        void write (const juce::String& name, const std::string& bytes)
        {
            const auto file = temp.file (name);
            if (bytes.empty())
                file.replaceWithText ({});
            else
                file.replaceWithData (bytes.data(), bytes.size());
            ASSERT_TRUE (file.existsAsFile());
        }
    };

    std::vector<std::string> lines (const std::string& crlfText)
    {
        std::vector<std::string> result;
        std::size_t start = 0;
        for (auto at = crlfText.find ("\r\n"); at != std::string::npos; at = crlfText.find ("\r\n", start))
        {
            result.push_back (crlfText.substr (start, at - start));
            start = at + 2;
        }
        result.push_back (crlfText.substr (start));
        return result;
    }
}

TEST_F (DocumentTest, StartsWithTheDefaultPreset)
{
    setAllToMax (*root);
    presetDocument document;

    auto reference = makeTree();
    applyText (*reference, PresetText::defaultPreset);

    EXPECT_EQ (steps (*root), steps (*reference));
    EXPECT_EQ (document.presetTitle, "BEGIN_OSC_DATA");
    EXPECT_EQ (document.getDocumentTitle(), "BEGIN_OSC_DATA");
    EXPECT_EQ (document.presetLines.size(), 41);
    EXPECT_EQ (document.buildPresetText().toStdString(), PresetText::build (*root));
}

TEST_F (DocumentTest, TheExampleFileLoads)
{
    write ("club.kvt", "Club A\r\n"
                       "BEGIN_OSC_DATA\r\n"
                       "/ampmode s DUAL\r\n"
                       "/channel/1/peq/1 sfff LS12 40.0  +0.0 1.00\r\n"
                       "/channel/1/peq/5 sfff PEQ 1k00  +0.0 1.00\r\n"
                       "/channel/1/xover/gain f  +0.0\r\n"
                       "/channel/1/deq/1/time ff 50.0  1000\r\n"
                       "/channel/1/delay fi   0.00 0\r\n"
                       "/channel/1/limiter fff  100 100.0  50.0\r\n"
                       "END_OSC_DATA");
    presetDocument document;
    setAllToMax (*root);

    EXPECT_TRUE (document.loadDocument (temp.file ("club.kvt")).wasOk());
    EXPECT_EQ (document.presetTitle, "Club A");
    EXPECT_EQ (document.presetLines.size(), 10);
    EXPECT_EQ (param (*root, "ampmode/mode").step, 0);
    EXPECT_EQ (param (*root, "channel/1/peq/1/type").step, 3);
    EXPECT_EQ (param (*root, "channel/1/peq/1/freq").step, 60206);
    EXPECT_EQ (param (*root, "channel/1/peq/5/freq").step, 339794);
    EXPECT_EQ (param (*root, "channel/1/xover/gain/gain").step, 24);
    EXPECT_EQ (param (*root, "channel/1/deq/1/time/rel").step, 392);
    EXPECT_EQ (param (*root, "channel/1/delay/pol").step, 0);
    EXPECT_EQ (param (*root, "channel/1/limiter/hold").step, 20);
    EXPECT_EQ (param (*root, "channel/2/limiter/hold").step, 800);   // not in the file
}

TEST_F (DocumentTest, NamesAreTheFirstTenCharactersOfTheFirstLine)
{
    presetDocument document;

    struct Case
    {
        const char* file;
        std::string text;
        juce::String title;
    };
    const Case cases[] = {
        { "long.kvt", "My very long preset\r\nBEGIN_OSC_DATA\r\nEND_OSC_DATA", "My very lo" },
        { "begin.kvt", "BEGIN_OSC_DATA\n/ampmode s BRIDGE\nEND_OSC_DATA", "BEGIN_OSC_" },
        { "utf8.kvt",
          "\xC3\x9C"
          "bertragung S\xC3\xBC"
          "d\nBEGIN_OSC_DATA\nEND_OSC_DATA",
          juce::String::fromUTF8 ("\xC3\x9C"
                                  "bertragun") },
        { "latin1.kvt", "Caf\xE9 B\nBEGIN_OSC_DATA\nEND_OSC_DATA", juce::String::fromUTF8 ("Caf\xC3\xA9 B") },
        { "bom.kvt",
          "\xEF\xBB\xBF"
          "Club\r\nBEGIN_OSC_DATA\r\nEND_OSC_DATA",
          "Club" },
        { "nomark.kvt", "Just a note", "Just a not" },
        { "empty.kvt", "", "" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.file);
        write (c.file, c.text);
        EXPECT_TRUE (document.loadDocument (temp.file (c.file)).wasOk());
        EXPECT_EQ (document.presetTitle, c.title);
    }
    EXPECT_EQ (param (*root, "ampmode/mode").step, 4);   // from "begin.kvt"
}

TEST_F (DocumentTest, SavingWritesCrLfLinesAndTheKvtName)
{
    presetDocument document;
    document.presetTitle = "Live";

    ASSERT_TRUE (document.saveDocument (temp.file ("live.txt")).wasOk());
    EXPECT_FALSE (temp.file ("live.txt").exists());
    ASSERT_TRUE (temp.file ("live.kvt").existsAsFile());

    const auto bytes = readBytes (temp.file ("live.kvt"));
    const auto written = lines (bytes);
    ASSERT_EQ (written.size(), 42u);
    EXPECT_EQ (written[0], "Live");
    EXPECT_EQ (written[1], "BEGIN_OSC_DATA");
    EXPECT_EQ (written[2], "/ampmode s DUAL");
    EXPECT_EQ (written[11], "/channel/1/xover/hp sf OFF 30.0");
    EXPECT_EQ (written[41], "END_OSC_DATA");
    EXPECT_EQ (bytes.find ('\n'), bytes.find ("\r\n") + 1);   // every LF is part of a CR LF
    EXPECT_EQ (std::count (bytes.begin(), bytes.end(), '\n'), 41);
    EXPECT_EQ (std::count (bytes.begin(), bytes.end(), '\r'), 41);

    const auto blocks = PresetText::blockLines (*root);
    EXPECT_EQ (std::vector<std::string> (written.begin() + 2, written.end() - 1), blocks);
    EXPECT_EQ (document.presetLines.size(), 42);
    EXPECT_EQ (document.presetLines[0], "Live");
}

TEST_F (DocumentTest, TheTextForAnAmplifiersNameIsByteForByteWhatSavingWrites)
{
    // zr-ctl writes PresetText::fileText with the amplifier's name as the title.
    presetDocument document;
    applyText (*root, "BEGIN_OSC_DATA\n/channel/2/delay fi 12.5 1\nEND_OSC_DATA");
    document.presetTitle = juce::String::fromUTF8 ("B\xc3\xbchne\r\nlinks");

    ASSERT_TRUE (document.saveDocument (temp.file ("stage.kvt")).wasOk());
    const auto bytes = readBytes (temp.file ("stage.kvt"));
    EXPECT_EQ (bytes, PresetText::fileText ("B\xc3\xbchne\r\nlinks", *root));
    EXPECT_EQ (lines (bytes)[0], "B\xc3\xbchne  links");
}

TEST_F (DocumentTest, SaveThenLoadReproducesTheTree)
{
    presetDocument document;
    juce::Random random (5);
    forEachParam (*root, [&random] (Cparam& p) { p.step = p.minStep + random.nextInt (p.maxStep - p.minStep + 1); });

    // Settle the tree on values its text can express (a high frequency may take a few
    // rounds, see the text tests), then check that a file round trip is exact.
    for (int round = 0; round < 100; ++round)
    {
        const auto text = PresetText::build (*root);
        applyText (*root, text);
        if (PresetText::build (*root) == text)
            break;
    }
    const auto before = steps (*root);

    document.presetTitle = "Round trip with a long name";
    ASSERT_TRUE (document.saveDocument (temp.file ("trip.kvt")).wasOk());

    setAllToMax (*root);
    ASSERT_TRUE (document.loadDocument (temp.file ("trip.kvt")).wasOk());
    EXPECT_EQ (steps (*root), before);
    EXPECT_EQ (document.presetTitle, "Round trip");
}

TEST_F (DocumentTest, ANameWithLineBreaksStaysOneLine)
{
    presetDocument document;
    document.presetTitle = "END_OSC_DATA\nBEGIN_OSC_DATA\r\n/ampmode s BRIDGE";
    param (*root, "ampmode/mode").step = 1;
    ASSERT_TRUE (document.saveDocument (temp.file ("odd.kvt")).wasOk());

    param (*root, "ampmode/mode").step = 2;
    ASSERT_TRUE (document.loadDocument (temp.file ("odd.kvt")).wasOk());
    EXPECT_EQ (param (*root, "ampmode/mode").step, 1);
    EXPECT_EQ (document.presetLines.size(), 42);
}

TEST_F (DocumentTest, AFileThatCannotBeReadIsAFailureAndChangesNothing)
{
    presetDocument document;
    document.presetTitle = "Kept";
    setAllToMax (*root);
    const auto before = steps (*root);

    // "live.txt" stands for "live.kvt", which does not exist.
    write ("live.txt", "Other\nBEGIN_OSC_DATA\n/ampmode s DUAL\nEND_OSC_DATA");
    temp.file ("dir.kvt").createDirectory();

    for (const auto& file : { temp.file ("live.txt"), temp.file ("missing.kvt"), temp.file ("dir.kvt"), juce::File() })
    {
        const auto result = document.loadDocument (file);
        EXPECT_TRUE (result.failed());
        EXPECT_EQ (result.getErrorMessage(), "Not a valid Preset (.kvt) file");
    }

    EXPECT_EQ (document.presetTitle, "Kept");
    EXPECT_EQ (steps (*root), before);
}

TEST_F (DocumentTest, AFailedSaveReportsItAndKeepsTheOldFile)
{
    presetDocument document;
    write ("live.kvt", "Old\r\nBEGIN_OSC_DATA\r\nEND_OSC_DATA");
    write ("plain", "not a folder");

    {
        FileSizeLimit limit (200);
        ASSERT_TRUE (limit.isActive());
        const auto result = document.saveDocument (temp.file ("live.kvt"));
        EXPECT_TRUE (result.failed());
        EXPECT_EQ (result.getErrorMessage(), "Couldn't write to the file.");
    }
    EXPECT_EQ (readBytes (temp.file ("live.kvt")), "Old\r\nBEGIN_OSC_DATA\r\nEND_OSC_DATA");
    EXPECT_EQ (temp.count(), 2);

    EXPECT_EQ (document.saveDocument (temp.file ("plain/live.kvt")).getErrorMessage(), "Couldn't write to the file.");
    EXPECT_EQ (document.saveDocument (juce::File()).getErrorMessage(), "Couldn't write to the file.");
    EXPECT_EQ (temp.count(), 2);
}

TEST_F (DocumentTest, LoadingAndSavingThroughTheDocumentKeepRecentFiles)
{
    presetDocument document;
    write ("a.kvt", "A\nBEGIN_OSC_DATA\n/ampmode s STEREO\nEND_OSC_DATA");

    EXPECT_TRUE (document.loadFrom (temp.file ("a.kvt"), false, false).wasOk());
    EXPECT_EQ (document.getFile(), temp.file ("a.kvt"));
    EXPECT_EQ (document.getLastDocumentOpened(), temp.file ("a.kvt"));
    EXPECT_EQ (param (*root, "ampmode/mode").step, 1);

    document.setLastDocumentOpened (temp.file ("b.kvt"));
    EXPECT_EQ (document.getLastDocumentOpened(), temp.file ("b.kvt"));
    EXPECT_EQ (testSettings().recentFiles().getFile (1), temp.file ("a.kvt"));
}

namespace
{
    // Makes a comma-decimal locale current (generating one into a private folder when the
    // system has none) and puts "C" back afterwards.
    class CommaLocale
    {
    public:
        CommaLocale()
        {
            for (const char* name : { "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE" })
                if (use (name))
                    return;

            const auto target = folder.file ("de_DE.UTF-8").getFullPathName();
            const auto command = "localedef -i de_DE -f UTF-8 '" + target + "' >/dev/null 2>&1";
            if (std::system (command.toRawUTF8()) == 0)
            {
                setenv ("LOCPATH", folder.get().getFullPathName().toRawUTF8(), 1);
                use ("de_DE.UTF-8");
            }
        }

        ~CommaLocale()
        {
            std::setlocale (LC_ALL, "C");
            unsetenv ("LOCPATH");
        }

        bool isActive() const { return active; }

    private:
        bool use (const char* name)
        {
            active = std::setlocale (LC_ALL, name) != nullptr && *std::localeconv()->decimal_point == ',';
            if (! active)
                std::setlocale (LC_ALL, "C");
            return active;
        }

        TempFolder folder { "zr-locale" };
        bool active = false;
    };
}

TEST_F (DocumentTest, FilesAreTheSameUnderACommaDecimalLocale)
{
    presetDocument document;
    juce::Random random (11);
    forEachParam (*root, [&random] (Cparam& p) { p.step = p.minStep + random.nextInt (p.maxStep - p.minStep + 1); });
    document.presetTitle = "Locale";
    ASSERT_TRUE (document.saveDocument (temp.file ("c.kvt")).wasOk());

    setAllToMax (*root);
    ASSERT_TRUE (document.loadDocument (temp.file ("c.kvt")).wasOk());
    const auto loadedInC = steps (*root);

    CommaLocale comma;
    if (! comma.isActive())
        GTEST_SKIP() << "no comma-decimal locale available or could be generated";

    ASSERT_TRUE (document.saveDocument (temp.file ("comma.kvt")).wasOk());
    EXPECT_EQ (readBytes (temp.file ("comma.kvt")), readBytes (temp.file ("c.kvt")));

    setAllToMax (*root);
    ASSERT_TRUE (document.loadDocument (temp.file ("c.kvt")).wasOk());
    EXPECT_EQ (steps (*root), loadedInC);

    document.applyPresetText (PresetText::defaultPreset);
    EXPECT_EQ (param (*root, "channel/1/xover/hp/freq").step, 35247);
    EXPECT_EQ (param (*root, "channel/1/delay/del").step, 0);
}
