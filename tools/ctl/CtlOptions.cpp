#include "CtlOptions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>

namespace
{
    constexpr int presetSlots = 20;
    constexpr double longestTimeoutSeconds = 3600.0;

    const std::map<std::string, CtlOptions::Command> commandNames {
        { "discover", CtlOptions::Command::discover }, { "info", CtlOptions::Command::info },
        { "meters", CtlOptions::Command::meters },     { "slots", CtlOptions::Command::slots },
        { "pull", CtlOptions::Command::pull },         { "push", CtlOptions::Command::push },
        { "recall", CtlOptions::Command::recall },     { "store", CtlOptions::Command::store },
        { "set", CtlOptions::Command::set },           { "help", CtlOptions::Command::help },
    };

    bool readWhole (const std::string& text, long long low, long long high, int& out)
    {
        if (text.empty() || text.size() > 9)
            return false;
        char* end = nullptr;
        const long long value = std::strtoll (text.c_str(), &end, 10);
        if (*end != 0 || value < low || value > high)
            return false;
        out = (int) value;
        return true;
    }

    bool readSeconds (const std::string& text, double& out)
    {
        char* end = nullptr;
        const double value = std::strtod (text.c_str(), &end);
        if (text.empty() || *end != 0 || ! std::isfinite (value) || value <= 0.0 || value > longestTimeoutSeconds)
            return false;
        out = value;
        return true;
    }

    std::vector<std::string> splitHosts (const std::string& list)
    {
        std::vector<std::string> hosts;
        std::size_t start = 0;
        while (start <= list.size())
        {
            const auto comma = list.find (',', start);
            const auto end = comma == std::string::npos ? list.size() : comma;
            hosts.push_back (list.substr (start, end - start));
            start = end + 1;
        }
        return hosts;
    }

    std::vector<std::string> withoutRepeats (const std::vector<std::string>& hosts)
    {
        std::vector<std::string> once;
        for (const auto& host : hosts)
            if (std::find (once.begin(), once.end(), host) == once.end())
                once.push_back (host);
        return once;
    }

    std::string trimmed (const std::string& text)
    {
        const auto first = text.find_first_not_of (" \t\r");
        if (first == std::string::npos)
            return {};
        return text.substr (first, text.find_last_not_of (" \t\r") - first + 1);
    }

    constexpr std::size_t largestHostFile = 1 << 20;

    bool readHostFile (const std::string& path, std::vector<std::string>& hosts, std::string& error)
    {
        std::ifstream file (path, std::ios::binary);
        std::string text;
        if (file)
        {
            text.resize (largestHostFile + 1);
            file.read (text.data(), (std::streamsize) text.size());
            text.resize ((std::size_t) file.gcount());
        }
        if (! file && ! file.eof())
            return (error = "cannot read the host file " + path), false;
        if (text.size() > largestHostFile)
            return (error = "the host file " + path + " is larger than 1 MiB"), false;

        hosts = CtlOptions::readHostList (text);
        if (hosts.empty())
            return (error = "the host file " + path + " names no host"), false;
        return true;
    }

    /** How many positional arguments a command takes after its host(s), and what they are. */
    struct Shape
    {
        std::size_t least, most;
        const char* names;
    };

    Shape shapeOf (CtlOptions::Command command)
    {
        switch (command)
        {
            case CtlOptions::Command::pull:
            case CtlOptions::Command::push: return { 1, 1, "FILE.kvt" };
            case CtlOptions::Command::recall: return { 1, 1, "SLOT" };
            case CtlOptions::Command::store: return { 2, 2, "SLOT NAME" };
            case CtlOptions::Command::set: return { 2, 64, "ADDRESS VALUE..." };
            default: return { 0, 0, "" };
        }
    }
}

std::vector<std::string> CtlOptions::readHostList (const std::string& text)
{
    std::vector<std::string> hosts;
    std::size_t start = 0;
    while (start < text.size())
    {
        auto end = text.find ('\n', start);
        if (end == std::string::npos)
            end = text.size();
        auto line = text.substr (start, end - start);
        line = trimmed (line.substr (0, line.find ('#')));
        if (! line.empty())
            hosts.push_back (line);
        start = end + 1;
    }
    return withoutRepeats (hosts);
}

const char* CtlOptions::usageLine()
{
    return "usage: zr-ctl [--json] [--timeout S] [--parallel N] COMMAND [--hosts A,B,...|@FILE|@discovered | HOST] "
           "[ARGUMENTS] (zr-ctl --help)";
}

const char* CtlOptions::helpText()
{
    return "zr-ctl: the amplifier link from the command line.\n"
           "\n"
           "  zr-ctl [--json] [--timeout S] discover\n"
           "      every amplifier on every network and on USB: address, model, name\n"
           "  zr-ctl info HOST                  the amplifier's address, model and name\n"
           "  zr-ctl meters HOST [--count N]    N readings of levels (dB) and lamps (default 10)\n"
           "  zr-ctl slots HOST                 the 20 preset slots: number, mode, name\n"
           "  zr-ctl pull HOST FILE.kvt         every setting into a preset file\n"
           "  zr-ctl push HOST FILE.kvt         a preset file onto the amplifier, reporting\n"
           "                                    every value clamped or refused\n"
           "  zr-ctl recall HOST SLOT           recall preset slot 1..20\n"
           "  zr-ctl store HOST SLOT NAME       store the settings in slot 2..20\n"
           "  zr-ctl set HOST ADDRESS VALUE...  one block in the preset file's text form,\n"
           "                                    e.g. set 192.0.2.11 /channel/1/delay \"2.50 180\"\n"
           "\n"
           "  --hosts A,B,C   several amplifiers in one call, served at once, each reported\n"
           "                  on its own line in the order given (instead of HOST)\n"
           "  --hosts @FILE   the hosts of a file, one a line; blank lines are skipped and\n"
           "                  '#' starts a comment\n"
           "  --hosts @discovered  every amplifier a search finds on the networks\n"
           "  --parallel N    serve at most N amplifiers at once (default 32)\n"
           "  --json          one JSON document on standard output\n"
           "  --timeout S     the longest any one wait may last, in seconds\n"
           "\n"
           "Exit status: 0 when every amplifier confirmed everything, 1 when one failed (the\n"
           "report says which and why), 2 for a call that is not valid.\n"
           "The tool uses UDP port 3456 as the program does: the two cannot run at once.\n";
}

int CtlOptions::timeoutMs (int defaultMs) const
{
    return timeoutSeconds > 0.0 ? (int) std::lround (timeoutSeconds * 1000.0) : defaultMs;
}

bool CtlOptions::parse (const std::vector<std::string>& arguments, CtlOptions& options, std::string& error)
{
    options = {};
    std::vector<std::string> positional;
    bool commandSeen = false;
    bool hostsGiven = false;

    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();

        if (argument == "--help" || argument == "-h")
        {
            options.command = Command::help;
            return true;
        }
        if (argument == "--json")
            options.json = true;
        else if (argument == "--timeout")
        {
            if (! hasValue || ! readSeconds (arguments[++i], options.timeoutSeconds))
                return (error = "--timeout wants a number of seconds above 0"), false;
        }
        else if (argument == "--count")
        {
            if (! hasValue || ! readWhole (arguments[++i], 1, 100000, options.count))
                return (error = "--count wants a whole number from 1 to 100000"), false;
        }
        else if (argument == "--parallel")
        {
            if (! hasValue || ! readWhole (arguments[++i], 1, 1024, options.parallel))
                return (error = "--parallel wants a whole number from 1 to 1024"), false;
        }
        else if (argument == "--hosts")
        {
            if (! hasValue)
                return (error = "--hosts wants a comma-separated list, @FILE or @discovered"), false;
            const auto& value = arguments[++i];
            options.discoveredHosts = value == "@discovered";
            if (options.discoveredHosts)
                options.hosts.clear();
            else if (value.size() > 1 && value[0] == '@')
            {
                if (! readHostFile (value.substr (1), options.hosts, error))
                    return false;
            }
            else
                options.hosts = splitHosts (value);
            hostsGiven = true;
        }
        else if (argument.size() > 1 && argument[0] == '-' && argument[1] == '-')
            return (error = "unknown option " + argument), false;
        else if (! commandSeen)
        {
            const auto known = commandNames.find (argument);
            if (known == commandNames.end())
                return (error = "unknown command " + argument), false;
            options.command = known->second;
            commandSeen = true;
        }
        else
            positional.push_back (argument);
    }

    if (! commandSeen)
        return (error = "no command"), false;
    if (options.command == Command::help)
        return true;

    if (options.command == Command::discover)
    {
        if (! positional.empty() || hostsGiven)
            return (error = "discover takes no host"), false;
        return true;
    }

    if (! hostsGiven)
    {
        if (positional.empty())
            return (error = "no HOST"), false;
        options.hosts = { positional.front() };
        positional.erase (positional.begin());
    }
    for (const auto& host : options.hosts)
        if (host.empty())
            return (error = "an empty host in --hosts"), false;
    options.hosts = withoutRepeats (options.hosts);

    const auto shape = shapeOf (options.command);
    if (positional.size() < shape.least || positional.size() > shape.most)
        return (error = std::string ("wants ") + (shape.least == 0 ? "nothing" : shape.names) + " after the host"),
               false;

    switch (options.command)
    {
        case Command::pull:
        case Command::push: options.file = positional[0]; break;
        case Command::recall:
        case Command::store:
            if (! readWhole (positional[0], 1, presetSlots, options.slot))
                return (error = "SLOT is a preset slot from 1 to 20"), false;
            if (options.command == Command::store)
            {
                if (options.slot == 1)
                    return (error = "INIT_DATA is read-only! (slot 1 cannot be stored)"), false;
                options.name = positional[1];
            }
            break;
        case Command::set:
            options.address = positional[0];
            options.values.assign (positional.begin() + 1, positional.end());
            if (options.address.empty() || options.address[0] != '/')
                return (error = "ADDRESS is a block address such as /channel/1/delay"), false;
            break;
        default: break;
    }
    return true;
}
