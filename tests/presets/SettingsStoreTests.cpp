// The settings file and its recent-files list.  Every test of this binary runs with HOME and
// XDG_CONFIG_HOME in a private temporary folder, so the user's own settings are never read
// or written.

#include "PresetTestSupport.h"
#include "TestSettings.h"
#include "SettingsStore.h"

#include <cstdlib>

using namespace presettest;

namespace
{
    std::unique_ptr<TempFolder> privateHome;

    class PrivateHome : public ::testing::Environment
    {
    public:
        void SetUp() override
        {
            privateHome = std::make_unique<TempFolder> ("zr-home");
            setenv ("HOME", privateHome->get().getFullPathName().toRawUTF8(), 1);
            setenv ("XDG_CONFIG_HOME", privateHome->file ("config").getFullPathName().toRawUTF8(), 1);
        }

        void TearDown() override { privateHome.reset(); }
    };

    [[maybe_unused]] auto* const home = ::testing::AddGlobalTestEnvironment (new PrivateHome);

    // Points the store at another configuration folder for one test and back afterwards.
    class ConfigFolder
    {
    public:
        explicit ConfigFolder (const juce::File& folder)
            : previous (std::getenv ("XDG_CONFIG_HOME"))
        {
            setenv ("XDG_CONFIG_HOME", folder.getFullPathName().toRawUTF8(), 1);
        }
        ~ConfigFolder()
        {
            setenv ("XDG_CONFIG_HOME", previous.toRawUTF8(), 1);
            testSettings().reopen();
        }

    private:
        juce::String previous;
    };

    juce::String storedList (const juce::File& settings, const char* key = "recentFiles")
    {
        juce::PropertiesFile::Options options;
        options.millisecondsBeforeSaving = -1;
        juce::PropertiesFile file (settings, options);
        return file.getValue (key, "<none>");
    }

    void writeSettings (const juce::File& settings, const juce::StringPairArray& values)
    {
        juce::PropertiesFile::Options options;
        options.millisecondsBeforeSaving = -1;
        juce::PropertiesFile file (settings, options);
        for (const auto& key : values.getAllKeys())
            file.setValue (key, values[key]);
        ASSERT_TRUE (file.save());
    }
}

TEST (SettingsStore, TheFileLivesInTheXdgConfigFolder)
{
    const auto previous = juce::String (std::getenv ("XDG_CONFIG_HOME"));

    setenv ("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ (SettingsStore::defaultSettingsFile().getFullPathName(),
               "/somewhere/config/ZR Series/ZR Series.settings");

    unsetenv ("XDG_CONFIG_HOME");
    EXPECT_EQ (SettingsStore::defaultSettingsFile(), privateHome->file (".config/ZR Series/ZR Series.settings"));

    setenv ("XDG_CONFIG_HOME", "relative/config", 1);   // not absolute: ignored
    EXPECT_EQ (SettingsStore::defaultSettingsFile(), privateHome->file (".config/ZR Series/ZR Series.settings"));

    setenv ("XDG_CONFIG_HOME", previous.toRawUTF8(), 1);
    EXPECT_EQ (testSettings().getSettingsFile(), privateHome->file ("config/ZR Series/ZR Series.settings"));
}

TEST (SettingsStore, RecentFilesAreWrittenAtOnceAndReadBack)
{
    TempFolder temp;
    for (auto name : { "a.kvt", "b.kvt", "c.kvt" })
        temp.file (name).create();

    auto& store = testSettings();
    ConfigFolder first (temp.file ("first"));
    store.reopen();
    EXPECT_EQ (store.recentFiles().getNumFiles(), 0);

    store.addRecentFile (temp.file ("a.kvt"));
    store.addRecentFile (temp.file ("b.kvt"));
    store.addRecentFile (temp.file ("a.kvt"));   // moves to the front, no duplicate

    const auto settings = temp.file ("first/ZR Series/ZR Series.settings");
    ASSERT_TRUE (settings.existsAsFile());
    EXPECT_EQ (storedList (settings),
               temp.file ("a.kvt").getFullPathName() + "\n" + temp.file ("b.kvt").getFullPathName());

    // Another settings file, written beforehand, with a file that is gone by now.
    const auto otherSettings = temp.file ("second/ZR Series/ZR Series.settings");
    juce::StringPairArray values;
    values.set ("recentFiles", temp.file ("c.kvt").getFullPathName() + "\n" + temp.file ("gone.kvt").getFullPathName());
    values.set ("keyMappings", "<old/>");
    values.set ("other", "kept");
    writeSettings (otherSettings, values);

    {
        ConfigFolder second (temp.file ("second"));
        store.reopen();
        ASSERT_EQ (store.recentFiles().getNumFiles(), 1);
        EXPECT_EQ (store.recentFiles().getFile (0), temp.file ("c.kvt"));
    }

    // Leaving it stored the list there and dropped the old key mappings; other keys stay.
    EXPECT_EQ (storedList (otherSettings), temp.file ("c.kvt").getFullPathName());
    EXPECT_EQ (storedList (otherSettings, "keyMappings"), "<none>");
    EXPECT_EQ (storedList (otherSettings, "other"), "kept");

    store.reopen();   // back in the first folder
    ASSERT_EQ (store.recentFiles().getNumFiles(), 2);
    EXPECT_EQ (store.recentFiles().getFile (0), temp.file ("a.kvt"));
    EXPECT_EQ (store.recentFiles().getFile (1), temp.file ("b.kvt"));
}
