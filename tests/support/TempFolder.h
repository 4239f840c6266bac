#pragma once

// A fresh folder for one test's files, removed with its contents afterwards.
//
// The folder is made with mkdtemp, which picks the name and creates the folder in one step.
// CTest runs test processes side by side, and a name merely found free ("does not exist yet")
// can be found free by two processes at once; they would then share, overwrite and delete each
// other's files.

#include <juce_core/juce_core.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

class TempFolder
{
public:
    explicit TempFolder (const std::string& prefix = "zr-test")
        : folder (makeFolder (prefix))
    {
    }

    ~TempFolder() { folder.deleteRecursively(); }

    TempFolder (const TempFolder&) = delete;
    TempFolder& operator= (const TempFolder&) = delete;

    juce::File get() const { return folder; }
    juce::File file (const juce::String& name) const { return folder.getChildFile (name); }

    /** Number of entries in the folder, hidden temporary files included. */
    int count() const { return (int) folder.findChildFiles (juce::File::findFilesAndDirectories, false).size(); }

private:
    static juce::File makeFolder (const std::string& prefix)
    {
        auto pattern = juce::File::getSpecialLocation (juce::File::tempDirectory)
                           .getChildFile (juce::String (prefix) + "-XXXXXX")
                           .getFullPathName()
                           .toStdString();
        if (mkdtemp (pattern.data()) == nullptr)
            throw std::runtime_error ("cannot make a temporary folder like " + pattern);
        return juce::File (pattern);
    }

    const juce::File folder;
};
