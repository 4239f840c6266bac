#pragma once

#include <juce_core/juce_core.h>
#include <optional>

/** What one start of the program asks for, read from its arguments.

        zr-remote-connect [--remote[=PORT]] [FILE.kvt]
        zr-remote-connect --help | --version

    The preset file may also come as a file:// address (file managers pass those).  Pure
    text work: no window, no display and no file is touched, so `--help` and `--version`
    answer anywhere.  Any thread.
*/
struct CommandLine
{
    enum class Action
    {
        start,     // open the window (or hand the request to the running one)
        help,      // print helpText() and end with status 0
        version,   // print versionText() and end with status 0
        invalid    // print `error` and usageLine() on standard error, end with status 2
    };

    static constexpr int defaultRemotePort = 8080;

    Action action = Action::start;
    /** The preset file to load, with its full path; File() when none was named. */
    juce::File presetFile;
    /** The port of the phone remote when --remote was given (1..65535, default 8080). */
    std::optional<int> remotePort;
    /** Why the arguments were refused (Action::invalid), one line. */
    juce::String error;

    /** Reads `arguments` (without the program's name).  A relative file name is taken
        from `workingDirectory`.  --help and --version answer whatever else was given. */
    static CommandLine parse (const juce::StringArray& arguments, const juce::File& workingDirectory);

    /** The same request as arguments that mean the same from any folder (the file with its
        full path): what a second start hands to the running program. */
    juce::StringArray toArguments() const;

    static juce::String usageLine();
    static juce::String helpText();
    /** The program's name and version, "ZR Remote Connect 1.4.0". */
    static juce::String versionText();
};
