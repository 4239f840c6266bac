#include "JUCEStartupApplication.h"

#include "AlertDialogs.h"
#include "DesktopScale.h"
#include "Globals.h"
#include "MainWindow.h"
#include "SettingsStore.h"

JUCEStartupApplication::JUCEStartupApplication() = default;
JUCEStartupApplication::~JUCEStartupApplication() = default;

void JUCEStartupApplication::initialise (const juce::String&)
{
    settings = std::make_unique<SettingsStore>();
    globals::settings = settings.get();

    desktopscale::followDesktop();

    // The window hands the dialogs on to the panel, which gives them to its pages and the hub.
    dialogs = std::make_unique<AlertDialogs>();
    mainWindow = std::make_unique<MainWindow> (*dialogs);
}

void JUCEStartupApplication::shutdown()
{
    mainWindow.reset();
    dialogs.reset();
    globals::settings = nullptr;
    settings.reset();
}

void JUCEStartupApplication::anotherInstanceStarted (const juce::String&) {}
