#pragma once

#include <string>
#include <vector>

/** What one call of zr-ctl asks for, read from its command line.

    zr-ctl [--json] [--timeout S] COMMAND [--hosts a,b,c | HOST] [arguments]

    Every command but discover names its amplifiers: one HOST before its arguments, or a
    comma-separated --hosts list (then no HOST).  Hosts are dotted IPv4 addresses or names,
    resolved once, before anything is sent.  Pure text work: no sockets, any thread.
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
    std::string file;
    std::string address;
    std::vector<std::string> values;
    int slot = 0;
    std::string name;
    int count = 10;

    /** Reads `arguments` (without the program name).  False, with a one-line reason in
        `error`, for anything that is not a whole, valid call. */
    static bool parse (const std::vector<std::string>& arguments, CtlOptions& options, std::string& error);

    /** The usage line, and the whole help text for --help. */
    static const char* usageLine();
    static const char* helpText();

    /** The wait in milliseconds: timeoutSeconds, or `defaultMs` when none was given. */
    int timeoutMs (int defaultMs) const;
};
