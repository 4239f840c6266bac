#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class MainWindow;
class AlertDialogs;
class SettingsStore;

/** The application object: one instance at a time, one main window. */
class JUCEStartupApplication : public juce::JUCEApplication
{
public:
    JUCEStartupApplication();
    ~JUCEStartupApplication() override;

    const juce::String getApplicationName() override { return "ZR Remote Connect"; }
    const juce::String getApplicationVersion() override { return "V1.4"; }
    bool moreThanOneInstanceAllowed() override { return false; }

    /** Creates the main window; the command line is not used. */
    void initialise (const juce::String& commandLine) override;
    /** Deletes the main window (and with it the tree, the panel and the link threads). */
    void shutdown() override;
    /** A second start hands its command line over and exits; nothing to do with it here. */
    void anotherInstanceStarted (const juce::String& commandLine) override;

private:
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<AlertDialogs> dialogs;
    std::unique_ptr<MainWindow> mainWindow;
};
