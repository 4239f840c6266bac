// The program's command line, read without a window: what each start asks for, what is
// refused, and what a second start hands over.

#include "CommandLine.h"

#include <gtest/gtest.h>

namespace
{
    const juce::File workingDirectory ("/home/user/presets");

    CommandLine parse (std::initializer_list<const char*> arguments)
    {
        juce::StringArray list;
        for (const auto* argument : arguments)
            list.add (juce::String::fromUTF8 (argument));
        return CommandLine::parse (list, workingDirectory);
    }
}

TEST (CommandLine, NothingStartsTheWindowWithNoFileAndNoRemote)
{
    const auto request = parse ({});
    EXPECT_EQ (request.action, CommandLine::Action::start);
    EXPECT_EQ (request.presetFile, juce::File());
    EXPECT_FALSE (request.remotePort.has_value());
}

TEST (CommandLine, APresetFileIsTakenWithItsFullPath)
{
    EXPECT_EQ (parse ({ "club.kvt" }).presetFile.getFullPathName(), "/home/user/presets/club.kvt");
    EXPECT_EQ (parse ({ "../live/a b.kvt" }).presetFile.getFullPathName(), "/home/user/live/a b.kvt");
    EXPECT_EQ (parse ({ "/srv/rig.kvt" }).presetFile.getFullPathName(), "/srv/rig.kvt");
    // File managers may pass addresses; escapes are undone.
    EXPECT_EQ (parse ({ "file:///srv/Club%20Night.kvt" }).presetFile.getFullPathName(), "/srv/Club Night.kvt");
    // After "--" a name may start with a dash.
    EXPECT_EQ (parse ({ "--", "-odd.kvt" }).presetFile.getFullPathName(), "/home/user/presets/-odd.kvt");
    // Not only .kvt: the file is loaded as Load loads any file chosen.
    EXPECT_EQ (parse ({ "notes.txt" }).action, CommandLine::Action::start);
}

TEST (CommandLine, HelpAndVersionAnswerWhateverElseIsGiven)
{
    for (auto arguments : { std::initializer_list<const char*> { "--help" },
                            { "-h" },
                            { "a.kvt", "--help" },
                            { "--no-such", "--help" },
                            { "--remote=0", "--help" } })
        EXPECT_EQ (parse (arguments).action, CommandLine::Action::help);
    EXPECT_EQ (parse ({ "--version" }).action, CommandLine::Action::version);
    EXPECT_EQ (parse ({ "a.kvt", "b.kvt", "--version" }).action, CommandLine::Action::version);
    // Unless the option list ended before them: then they are file names.
    EXPECT_EQ (parse ({ "--", "--help" }).presetFile.getFileName(), "--help");

    EXPECT_TRUE (CommandLine::helpText().contains ("--remote"));
    EXPECT_TRUE (CommandLine::helpText().contains ("phone remote"));
    EXPECT_EQ (CommandLine::versionText(), "ZR Remote Connect " ZR_TEST_VERSION);
}

TEST (CommandLine, RemoteTakesAPortFromOneTo65535AndDefaultsTo8080)
{
    EXPECT_EQ (parse ({ "--remote" }).remotePort, 8080);
    EXPECT_EQ (parse ({ "--remote=1" }).remotePort, 1);
    EXPECT_EQ (parse ({ "--remote=65535" }).remotePort, 65535);
    const auto both = parse ({ "--remote=9000", "rig.kvt" });
    EXPECT_EQ (both.remotePort, 9000);
    EXPECT_EQ (both.presetFile.getFileName(), "rig.kvt");

    for (const char* bad : { "--remote=", "--remote=0", "--remote=65536", "--remote=99999999999", "--remote=-80",
                             "--remote=+80", "--remote= 80", "--remote=80x", "--remote=0x50", "--remote=8.5" })
    {
        const auto request = parse ({ bad });
        EXPECT_EQ (request.action, CommandLine::Action::invalid) << bad;
        EXPECT_TRUE (request.error.contains ("1 to 65535")) << bad;
        EXPECT_FALSE (request.remotePort.has_value()) << bad;
    }
}

TEST (CommandLine, UnknownOptionsAndSecondFilesAreRefusedWithAReason)
{
    const auto unknown = parse ({ "--verbose", "a.kvt" });
    EXPECT_EQ (unknown.action, CommandLine::Action::invalid);
    EXPECT_EQ (unknown.error, "unknown option --verbose");
    EXPECT_EQ (parse ({ "-x" }).error, "unknown option -x");
    EXPECT_EQ (parse ({ "-" }).error, "unknown option -");
    EXPECT_EQ (parse ({ "--remotes" }).error, "unknown option --remotes");

    EXPECT_EQ (parse ({ "a.kvt", "b.kvt" }).action, CommandLine::Action::invalid);
    EXPECT_EQ (parse ({ "" }).action, CommandLine::Action::invalid);
    EXPECT_TRUE (CommandLine::usageLine().startsWith ("usage: zr-remote-connect "));
    EXPECT_FALSE (CommandLine::usageLine().containsChar ('\n'));
}

TEST (CommandLine, AHandedOverRequestMeansTheSameFromAnyFolder)
{
    for (auto arguments : { std::initializer_list<const char*> {},
                            { "club.kvt" },
                            { "--remote" },
                            { "--remote=7000", "../-dash.kvt" },
                            { "--", "--version" } })
    {
        const auto original = parse (arguments);
        const auto handedOver = CommandLine::parse (original.toArguments(), juce::File ("/somewhere/else"));
        EXPECT_EQ (handedOver.action, CommandLine::Action::start);
        EXPECT_EQ (handedOver.presetFile, original.presetFile);
        EXPECT_EQ (handedOver.remotePort, original.remotePort);
    }
}
