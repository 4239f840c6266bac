#pragma once

#include <string>
#include <vector>

/** What one call of zr-ctl asks for, read from its command line.

    zr-ctl [--json] [--timeout S] [--parallel N] COMMAND [--hosts a,b,c | @FILE | @discovered | HOST]
           [arguments]

    Every command but discover names its amplifiers: one HOST before its arguments, or
    --hosts (then no HOST) with a comma-separated list, a file of hosts one a line (@FILE),
    or whatever a search finds (@discovered).  A host named twice is served once.  Hosts
    are dotted IPv4 addresses or names, resolved once, before anything is sent.  No
    sockets; @FILE is read while parsing.  Any thread.
*/
struct CtlOptions
{
    enum class Command
    {
        help,
        discover,
        info,
        meters,
        slots,
        pull,
        push,
        recall,
        store,
        set
    };

    Command command = Command::help;
    bool json = false;
    /** Seconds any one wait may last; 0 means the command's own default. */
    double timeoutSeconds = 0.0;
    std::vector<std::string> hosts;
    /** --hosts @discovered: the hosts are the amplifiers a search finds. */
    bool discoveredHosts = false;
    /** How many amplifiers are served at once. */
    int parallel = 32;
    std::string file;
    std::string address;
    std::vector<std::string> values;
    int slot = 0;
    std::string name;
    int count = 10;

    /** Reads `arguments` (without the program name).  False, with a one-line reason in
        `error`, for anything that is not a whole, valid call. */
    static bool parse (const std::vector<std::string>& arguments, CtlOptions& options, std::string& error);

    /** The hosts of a host file: one a line, blank lines skipped, '#' starts a comment
        that runs to the end of its line, spaces around a host ignored, a host named again
        left out. */
    static std::vector<std::string> readHostList (const std::string& text);

    /** The usage line, and the whole help text for --help. */
    static const char* usageLine();
    static const char* helpText();

    /** The wait in milliseconds: timeoutSeconds, or `defaultMs` when none was given. */
    int timeoutMs (int defaultMs) const;
};
