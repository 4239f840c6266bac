#pragma once

#include <sched.h>
#include <cstdlib>
#include <string>

namespace testnet
{
    /** Moves this test process, once, into a network namespace of its own with only loopback
        up, so nothing a test sends (the hub broadcasts "/info" as soon as it exists) can leave
        the machine, whoever runs the test and however.  Threads started afterwards inherit
        the namespace.  `extraIpCommands` (e.g. "ip route add ...") run once inside it; the
        first caller's commands are the ones used.  False when the process may not make
        namespaces (neither root nor in a user namespace), or when ZR_NO_PRIVATE_NETWORK=1
        pretends so (to show what runs where namespaces are not available): the caller
        then skips. */
    inline bool enterPrivateNetwork (const std::string& extraIpCommands = {})
    {
        static const bool ready = [&extraIpCommands]
        {
            const char* pretend = std::getenv ("ZR_NO_PRIVATE_NETWORK");
            if (pretend != nullptr && std::string (pretend) == "1")
                return false;

            if (unshare (CLONE_NEWNET) != 0)
                return false;

            std::string script = "PATH=\"$PATH:/usr/sbin:/sbin\"; ip link set lo up";
            if (! extraIpCommands.empty())
                script += " && " + extraIpCommands;
            return std::system (script.c_str()) == 0;
        }();
        return ready;
    }
}

#define REQUIRE_PRIVATE_NETWORK(...)                                                                                   \
    if (! testnet::enterPrivateNetwork (__VA_ARGS__))                                                                  \
    GTEST_SKIP() << "needs a private network namespace (root or a user namespace)"
