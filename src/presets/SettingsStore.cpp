#include "SettingsStore.h"

#include <cstdlib>

namespace
{
    const char* const applicationName = "ZR Series";
    const char* const recentFilesKey = "recentFiles";

    juce::PropertiesFile::Options settingsOptions()
    {
        juce::PropertiesFile::Options options;
        options.applicationName = applicationName;
        options.filenameSuffix = "settings";
        options.storageFormat = juce::PropertiesFile::storeAsXML;
        options.millisecondsBeforeSaving = -1;   // saved explicitly, never from a timer
        return options;
    }
}

SettingsStore::SettingsStore()
{
    reopen();
}

SettingsStore::~SettingsStore() = default;

juce::File SettingsStore::defaultSettingsFile()
{
    // The XDG rule: a relative XDG_CONFIG_HOME is invalid and ignored.
    juce::File configFolder;
    const juce::String xdg (std::getenv ("XDG_CONFIG_HOME"));

    if (juce::File::isAbsolutePath (xdg))
        configFolder = juce::File (xdg);
    else
        configFolder = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (".config");

    return configFolder.getChildFile (applicationName).getChildFile (juce::String (applicationName) + ".settings");
}

void SettingsStore::reopen()
{
    if (properties != nullptr)
    {
        storeList();
        properties->removeValue ("keyMappings");
        properties->saveIfNeeded();
        properties.reset();
    }

    properties = std::make_unique<juce::PropertiesFile> (defaultSettingsFile(), settingsOptions());
    recent.restoreFromString (properties->getValue (recentFilesKey));
    recent.removeNonExistentFiles();
}

void SettingsStore::addRecentFile (const juce::File& file)
{
    recent.addFile (file);
    storeList();
    properties->saveIfNeeded();
}

juce::File SettingsStore::getSettingsFile() const
{
    return properties->getFile();
}

void SettingsStore::storeList()
{
    properties->setValue (recentFilesKey, recent.toString());
}
