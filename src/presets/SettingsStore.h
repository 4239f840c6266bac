#pragma once

#include <juce_gui_extra/juce_gui_extra.h>
#include <memory>

/** The program's settings file and the recently used preset files kept in it.

    The file is "ZR Series.settings" in the folder "ZR Series" of the user's configuration
    folder ($XDG_CONFIG_HOME, or ~/.config when that is not set); the list is stored under
    "recentFiles" in RecentlyOpenedFilesList's string form.  The program's store is made by
    the application object and reached as globals::settings.  Message thread only.
*/
class SettingsStore
{
public:
    /** Opens the settings file at its default place and reads the list from it. */
    SettingsStore();
    ~SettingsStore();

    /** The recent preset files, most recent first. */
    const juce::RecentlyOpenedFilesList& recentFiles() const noexcept { return recent; }

    /** Puts `file` at the front of the recent files and writes the list to the settings
        file at once, so a later crash or kill loses nothing. */
    void addRecentFile (const juce::File& file);

    /** Stores the list into the open settings file (dropping its old "keyMappings" entry)
        and closes it, then opens the settings file at its default place (read again from
        the environment), takes the list from it and drops files that no longer exist. */
    void reopen();

    /** The settings file in use. */
    juce::File getSettingsFile() const;

    /** Where the settings file belongs for the current environment. */
    static juce::File defaultSettingsFile();

private:
    void storeList();

    juce::RecentlyOpenedFilesList recent;
    std::unique_ptr<juce::PropertiesFile> properties;

    JUCE_DECLARE_NON_COPYABLE (SettingsStore)
};
