#include "CommandLine.h"

#ifndef ZR_VERSION
#error "ZR_VERSION must name the project's version (set by the build)"
#endif

namespace
{
    const juce::String remoteOption = "--remote";

    CommandLine refused (const juce::String& why)
    {
        CommandLine result;
        result.action = CommandLine::Action::invalid;
        result.error = why;
        return result;
    }

    /** A port written as plain decimal digits, 1..65535; nothing else. */
    std::optional<int> readPort (const juce::String& text)
    {
        if (text.isEmpty() || text.length() > 5 || ! text.containsOnly ("0123456789"))
            return std::nullopt;
        const int port = text.getIntValue();
        if (port < 1 || port > 65535)
            return std::nullopt;
        return port;
    }

    juce::File fileNamed (const juce::String& argument, const juce::File& workingDirectory)
    {
        if (argument.startsWithIgnoreCase ("file://"))
            return juce::URL (argument).getLocalFile();
        return workingDirectory.getChildFile (argument);
    }

    /** --help or --version among the options (before any "--"), whichever comes first. */
    std::optional<CommandLine::Action> question (const juce::StringArray& arguments)
    {
        for (const auto& argument : arguments)
        {
            if (argument == "--")
                break;
            if (argument == "--help" || argument == "-h")
                return CommandLine::Action::help;
            if (argument == "--version")
                return CommandLine::Action::version;
        }
        return std::nullopt;
    }
}

CommandLine CommandLine::parse (const juce::StringArray& arguments, const juce::File& workingDirectory)
{
    CommandLine result;
    if (const auto asked = question (arguments))
        return (result.action = *asked), result;

    bool optionsEnded = false;
    juce::StringArray files;

    for (const auto& argument : arguments)
    {
        if (! optionsEnded && argument.startsWith ("-"))
        {
            if (argument == "--")
                optionsEnded = true;
            else if (argument == remoteOption)
                result.remotePort = defaultRemotePort;
            else if (argument.startsWith (remoteOption + "="))
            {
                result.remotePort = readPort (argument.fromFirstOccurrenceOf ("=", false, false));
                if (! result.remotePort)
                    return refused ("--remote wants a port from 1 to 65535, as --remote=8080");
            }
            else
                return refused ("unknown option " + argument);
            continue;
        }

        if (argument.isEmpty())
            return refused ("an empty file name");
        files.add (argument);
    }

    if (files.size() > 1)
        return refused ("one preset file at a time");
    if (files.size() == 1)
    {
        result.presetFile = fileNamed (files[0], workingDirectory);
        if (result.presetFile == juce::File())
            return refused ("not a file on this computer: " + files[0]);
    }
    return result;
}

juce::StringArray CommandLine::toArguments() const
{
    juce::StringArray arguments;
    if (remotePort)
        arguments.add (remoteOption + "=" + juce::String (*remotePort));
    if (presetFile != juce::File())
        arguments.addArray ({ "--", presetFile.getFullPathName() });
    return arguments;
}

juce::String CommandLine::usageLine()
{
    return "usage: zr-remote-connect [--remote[=PORT]] [FILE.kvt] (zr-remote-connect --help)";
}

juce::String CommandLine::helpText()
{
    return "zr-remote-connect: remote control and editor for ZR and TARVO amplifiers.\n"
           "\n"
           "  zr-remote-connect [FILE.kvt]       start with that preset file loaded, as \"Load\"\n"
           "                                     does; while connected its settings are sent\n"
           "  zr-remote-connect --remote[=PORT]  also start the phone remote on PORT (default 8080)\n"
           "  zr-remote-connect --help           this text\n"
           "  zr-remote-connect --version        the program's name and version\n"
           "\n"
           "One program runs for each user: a second start hands its preset file to the\n"
           "window that is open and brings that window to the front.\n"
           "\n"
           "Exit status: 0 when the program ran or handed its file over, 1 when it could\n"
           "not start (no graphical desktop, the running program does not answer), 2 for\n"
           "arguments that are not valid.\n";
}

juce::String CommandLine::versionText()
{
    return juce::String ("ZR Remote Connect ") + ZR_VERSION;
}
