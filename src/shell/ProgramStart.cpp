#include "ProgramStart.h"

#include "CommandLine.h"
#include "DisplayCheck.h"
#include "InstanceChannel.h"
#include "JUCEStartupApplication.h"

#include <cstdlib>
#include <iostream>

namespace
{
    // The framework makes the application object through a plain function without
    // arguments; these carry what main found over to it, once.
    CommandLine startRequest;
    std::unique_ptr<InstanceChannel> startChannel;

    juce::JUCEApplicationBase* createApplication()
    {
        return new JUCEStartupApplication (startRequest, std::move (startChannel));
    }

    void say (std::ostream& stream, const juce::String& text)
    {
        stream << text.toStdString() << std::endl;
    }

    /** A program of this user runs: it gets the request, this start ends. */
    int handOver (InstanceChannel& channel, const CommandLine& commandLine)
    {
        if (channel.handOver (commandLine.toArguments()))
            return 0;
        say (std::cerr, "zr-remote-connect: " + channel.why());
        return 1;
    }
}

int programstart::run (int argc, char* argv[])
{
    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));
    const auto commandLine = CommandLine::parse (arguments, juce::File::getCurrentWorkingDirectory());

    switch (commandLine.action)
    {
        case CommandLine::Action::help: std::cout << CommandLine::helpText(); return 0;
        case CommandLine::Action::version: say (std::cout, CommandLine::versionText()); return 0;
        case CommandLine::Action::invalid:
            say (std::cerr, "zr-remote-connect: " + commandLine.error);
            say (std::cerr, CommandLine::usageLine());
            return 2;
        case CommandLine::Action::start: break;
    }

    const auto displayProblem = displaycheck::problemWith (std::getenv ("DISPLAY"));
    if (displayProblem.isNotEmpty())
    {
        say (std::cerr, displayProblem);
        return 1;
    }

    auto channel = std::make_unique<InstanceChannel> (InstanceChannel::folderForUser());
    switch (channel->claim())
    {
        case InstanceChannel::Claim::another: return handOver (*channel, commandLine);
        case InstanceChannel::Claim::unavailable:
            // Without a safe folder the program still runs, on its own.
            say (std::cerr, "zr-remote-connect: " + channel->why() + "; a second start will not find this one");
            channel.reset();
            break;
        case InstanceChannel::Claim::first: break;
    }

    startRequest = commandLine;
    startChannel = std::move (channel);
    juce::JUCEApplicationBase::createInstance = &createApplication;
    return juce::JUCEApplicationBase::main (argc, const_cast<const char**> (argv));
}
