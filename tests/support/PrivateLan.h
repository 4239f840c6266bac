#pragma once

#include <string>
#include <vector>

/** A virtual LAN of the caller's own, for tests that need several hosts.

    open() moves the calling thread into fresh network and mount namespaces (so every socket
    it or its later threads open, and every process it starts, is cut off from the real
    network), mounts a private /run/netns, and builds a bridge "zr-lan" at 192.0.2.1/24 with
    the default route on it, so a broadcast to 255.255.255.255 reaches the bridge and nothing
    else.  addHost() adds one host: a namespace zr-<name> on a veth pair into the bridge, at
    192.0.2.11, .12, ... in the order added.

    Call from the thread that will own the sockets (the test's main thread, which is also the
    message thread), before any socket is made.  Each open() starts from new namespaces; the
    destructor removes the hosts, the bridge and the mount.  Needs root or a user namespace
    with the same rights; without them open() fails and nothing has changed.
*/
class PrivateLan
{
public:
    PrivateLan() = default;
    ~PrivateLan();

    PrivateLan (const PrivateLan&) = delete;
    PrivateLan& operator= (const PrivateLan&) = delete;

    /** Makes the namespaces and the bridge; false with the reason in `whyNot` otherwise. */
    bool open (std::string& whyNot);

    /** Adds host zr-<name> (at most 11 characters) and returns its dotted address, or ""
        when it could not be made. */
    std::string addHost (const std::string& name);

    /** The host's namespace file (for setns), or "" for a name never added. */
    std::string namespacePath (const std::string& name) const;

    /** The bridge's own address: where the caller's sockets send from. */
    static constexpr const char* bridgeAddress = "192.0.2.1";

    /** Runs a shell command inside the caller's namespaces; true when it succeeded. */
    static bool run (const std::string& command);

private:
    void close();

    bool mounted = false;
    bool bridged = false;
    std::vector<std::string> hosts;
};
