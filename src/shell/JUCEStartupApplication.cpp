#include "JUCEStartupApplication.h"

#include "AlertDialogs.h"
#include "Globals.h"
#include "MainWindow.h"
#include "SettingsStore.h"

JUCEStartupApplication::JUCEStartupApplication() = default;
JUCEStartupApplication::~JUCEStartupApplication() = default;

void JUCEStartupApplication::initialise (const juce::String&)
{
    settings = std::make_unique<SettingsStore>();
    globals::settings = settings.get();

    // The pages get the dialogs from the window; the hub finds them in the shared cell.
    dialogs = std::make_unique<AlertDialogs>();
    globals::dialogs = dialogs.get();
    mainWindow = std::make_unique<MainWindow> (*dialogs);
}

void JUCEStartupApplication::shutdown()
{
    mainWindow.reset();
    globals::dialogs = nullptr;
    dialogs.reset();
    globals::settings = nullptr;
    settings.reset();
}

void JUCEStartupApplication::anotherInstanceStarted (const juce::String&) {}
