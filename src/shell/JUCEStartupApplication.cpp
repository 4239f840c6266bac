#include "JUCEStartupApplication.h"

#include "AlertDialogs.h"
#include "DesktopScale.h"
#include "Globals.h"
#include "MainWindow.h"
#include "RemoteBridge.h"
#include "RemoteControl.h"
#include "RemoteStartOption.h"
#include "SettingsStore.h"

JUCEStartupApplication::JUCEStartupApplication() = default;
JUCEStartupApplication::~JUCEStartupApplication() = default;

void JUCEStartupApplication::initialise (const juce::String& commandLine)
{
    settings = std::make_unique<SettingsStore>();
    globals::settings = settings.get();

    desktopscale::followDesktop();

    // The window hands the dialogs on to the panel, which gives them to its pages and the hub.
    dialogs = std::make_unique<AlertDialogs>();
    mainWindow = std::make_unique<MainWindow> (*dialogs);

    // "--remote[=PORT]": the phone remote from the start.
    if (const auto port = remotePortFromArguments (juce::StringArray::fromTokens (commandLine, true)))
        if (auto* panel = dynamic_cast<RemoteControl*> (mainWindow->getContentComponent()))
            panel->getRemote().start (*port);
}

void JUCEStartupApplication::shutdown()
{
    mainWindow.reset();
    dialogs.reset();
    globals::settings = nullptr;
    settings.reset();
}

void JUCEStartupApplication::anotherInstanceStarted (const juce::String&) {}
