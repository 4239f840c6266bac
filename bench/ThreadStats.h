#pragma once

// What the threads of this process have used so far, read from /proc/self/task: for the
// link benchmarks, which compare figures taken before and after a stretch of running.

#include <dirent.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace threadstats
{
    inline const char* const messageThreadName = "message thread";

    /** Calls `read` with the name of each thread of this process and the path of its /proc
        folder; the process's first thread, which runs the message loop, is messageThreadName. */
    inline void forEachThread (const std::function<void (const std::string& name, const std::string& folder)>& read)
    {
        DIR* tasks = opendir ("/proc/self/task");
        if (tasks == nullptr)
            return;

        while (auto* entry = readdir (tasks))
        {
            if (entry->d_name[0] == '.')
                continue;
            const std::string folder = std::string ("/proc/self/task/") + entry->d_name;
            std::ifstream comm (folder + "/comm");
            std::string name;
            std::getline (comm, name);
            read (std::string (entry->d_name) == std::to_string (getpid()) ? messageThreadName : name, folder);
        }
        closedir (tasks);
    }

    /** Clock ticks (user + system) used so far by each thread, by name. */
    inline std::map<std::string, long> threadTicks()
    {
        std::map<std::string, long> ticks;
        forEachThread ([&ticks] (const std::string& name, const std::string& folder)
        {
            std::ifstream file (folder + "/stat");
            std::string stat;
            std::getline (file, stat);

            // "tid (name) state ...": the name may hold spaces, so the fields start after ')';
            // fields 14 (utime) and 15 (stime) of the line are the 12th and 13th of those.
            std::istringstream fields (stat.substr (stat.rfind (')') + 2));
            std::vector<std::string> values;
            for (std::string v; fields >> v;)
                values.push_back (v);
            if (values.size() > 12)
                ticks[name] += std::stol (values[11]) + std::stol (values[12]);
        });
        return ticks;
    }

    /** Context switches (voluntary and not) so far of each thread, by name: a thread that
        sleeps and wakes again adds one each time. */
    inline std::map<std::string, long> threadSwitches()
    {
        std::map<std::string, long> switches;
        forEachThread ([&switches] (const std::string& name, const std::string& folder)
        {
            std::ifstream file (folder + "/status");
            for (std::string line; std::getline (file, line);)
                if (line.find ("ctxt_switches:") != std::string::npos)
                    switches[name] += std::stol (line.substr (line.find (':') + 1));
        });
        return switches;
    }
}
