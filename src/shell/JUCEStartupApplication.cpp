#include "JUCEStartupApplication.h"

#include "AlertDialogs.h"
#include "DesktopScale.h"
#include "Globals.h"
#include "InstanceChannel.h"
#include "MainWindow.h"
#include "RemoteBridge.h"
#include "RemoteControl.h"
#include "SettingsStore.h"

JUCEStartupApplication::JUCEStartupApplication (CommandLine request, std::unique_ptr<InstanceChannel> channelToServe)
    : startRequest (std::move (request)),
      channel (std::move (channelToServe))
{
}

JUCEStartupApplication::~JUCEStartupApplication() = default;

void JUCEStartupApplication::initialise (const juce::String&)
{
    settings = std::make_unique<SettingsStore>();
    globals::settings = settings.get();

    desktopscale::followDesktop();

    // The window hands the dialogs on to the panel, which gives them to its pages and the hub.
    dialogs = std::make_unique<AlertDialogs>();
    mainWindow = std::make_unique<MainWindow> (*dialogs);

    if (startRequest.presetFile != juce::File())
        mainWindow->openPresetFile (startRequest.presetFile);
    if (startRequest.remotePort)
        startRemote (*startRequest.remotePort);

    if (channel != nullptr)
        channel->listen (
            [this] (const juce::StringArray& arguments)
            {
                // The channel's thread: the work belongs to the message thread.
                juce::MessageManager::callAsync ([this, arguments] { takeHandOver (arguments); });
            });
}

void JUCEStartupApplication::shutdown()
{
    // No hand-over arrives from here on; one already posted finds no window and does nothing.
    channel.reset();
    mainWindow.reset();
    dialogs.reset();
    globals::settings = nullptr;
    settings.reset();
}

void JUCEStartupApplication::anotherInstanceStarted (const juce::String&) {}

void JUCEStartupApplication::takeHandOver (const juce::StringArray& arguments)
{
    if (mainWindow == nullptr)
        return;

    // The sender checked the arguments and made the file's path absolute.
    const auto request = CommandLine::parse (arguments, juce::File::getCurrentWorkingDirectory());
    if (request.action != CommandLine::Action::start)
        return;

    mainWindow->bringToFront();
    if (request.presetFile != juce::File())
        mainWindow->openPresetFile (request.presetFile);
    if (request.remotePort)
        startRemote (*request.remotePort);
}

void JUCEStartupApplication::startRemote (int port)
{
    // A remote already on keeps its port and its code: phones connected stay.
    if (auto* panel = dynamic_cast<RemoteControl*> (mainWindow->getContentComponent()))
        if (! panel->getRemote().isOn())
            panel->getRemote().start (port);
}
