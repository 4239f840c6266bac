#pragma once

#include "CommandLine.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class MainWindow;
class AlertDialogs;
class InstanceChannel;
class SettingsStore;

/** The application object: one main window, and the program later starts of the same user
    hand their requests to (see InstanceChannel). */
class JUCEStartupApplication : public juce::JUCEApplication
{
public:
    /** `startRequest` is this start's command line; `channel` (may be null: then no second
        start can reach this one) has been claimed and is served from initialise() on. */
    JUCEStartupApplication (CommandLine startRequest, std::unique_ptr<InstanceChannel> channel);
    ~JUCEStartupApplication() override;

    const juce::String getApplicationName() override { return "ZR Remote Connect"; }
    const juce::String getApplicationVersion() override { return "V1.4"; }
    /** The framework's own lock is one file for the whole machine and hands nothing over on
        Linux; the InstanceChannel keeps one program per user instead. */
    bool moreThanOneInstanceAllowed() override { return true; }

    /** Creates the main window, loads the preset file of the command line if one was named
        and starts taking hand-overs from later starts. */
    void initialise (const juce::String& commandLine) override;
    /** Stops the hand-overs, then deletes the main window (and with it the tree, the panel
        and the link threads). */
    void shutdown() override;
    /** Never called on Linux (the framework hands nothing over there); see InstanceChannel. */
    void anotherInstanceStarted (const juce::String& commandLine) override;

    /** A later start's arguments, on the message thread: its preset file is loaded as "Load"
        loads one, and the window comes to the front; --remote starts the phone remote when
        it is off. */
    void takeHandOver (const juce::StringArray& arguments);

private:
    /** --remote[=PORT]: the phone remote on, unless it is on already. */
    void startRemote (int port);

    CommandLine startRequest;
    std::unique_ptr<InstanceChannel> channel;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<AlertDialogs> dialogs;
    std::unique_ptr<MainWindow> mainWindow;
};
