#include "PrivateLan.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace
{
    constexpr const char* netnsFolder = "/run/netns";
    constexpr int firstHostNumber = 11;
    constexpr std::size_t longestHostName = 11;   // "zrv-" + name must fit an interface name

    std::string systemError (const std::string& what)
    {
        return what + ": " + std::strerror (errno);
    }
}

PrivateLan::~PrivateLan()
{
    close();
}

bool PrivateLan::run (const std::string& command)
{
    const std::string line = "PATH=\"$PATH:/usr/sbin:/sbin\"; " + command + " >/dev/null 2>&1";
    return std::system (line.c_str()) == 0;
}

bool PrivateLan::open (std::string& whyNot)
{
    close();

    // Until this succeeds nothing below may run: the caller would still be on the real network.
    if (unshare (CLONE_NEWNET | CLONE_NEWNS) != 0)
    {
        whyNot = systemError ("cannot make private network and mount namespaces");
        return false;
    }

    // Mounts made from here on stay in this mount namespace.
    if (mount (nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
    {
        whyNot = systemError ("cannot make the mounts private");
        return false;
    }
    mkdir (netnsFolder, 0755);
    if (mount ("zr-netns", netnsFolder, "tmpfs", 0, "mode=755") != 0)
    {
        whyNot = systemError ("cannot mount a private /run/netns");
        return false;
    }
    mounted = true;

    bridged = run ("ip link set lo up"
                   " && ip link add zr-lan type bridge"
                   " && ip addr add "
                   + std::string (bridgeAddress)
                   + "/24 dev zr-lan"
                     " && ip link set zr-lan up"
                     " && ip route add default dev zr-lan");
    if (! bridged)
    {
        whyNot = "cannot build the bridge (is iproute2 installed?)";
        return false;
    }
    return true;
}

std::string PrivateLan::addHost (const std::string& name)
{
    if (! bridged || name.empty() || name.size() > longestHostName)
        return {};

    const std::string ns = "zr-" + name;
    const std::string veth = "zrv-" + name;
    const std::string address = "192.0.2." + std::to_string (firstHostNumber + (int) hosts.size());

    const bool made = run ("ip netns add " + ns + " && ip link add " + veth + " type veth peer name eth0 netns " + ns
                           + " && ip link set " + veth + " master zr-lan up" + " && ip -n " + ns + " link set lo up"
                           + " && ip -n " + ns + " addr add " + address + "/24 dev eth0" + " && ip -n " + ns
                           + " link set eth0 up" + " && ip -n " + ns + " route add default dev eth0");
    hosts.push_back (name);   // removed on close even when only partly made
    return made ? address : std::string();
}

std::string PrivateLan::namespacePath (const std::string& name) const
{
    for (const auto& host : hosts)
        if (host == name)
            return std::string (netnsFolder) + "/zr-" + name;
    return {};
}

void PrivateLan::close()
{
    for (const auto& host : hosts)
        run ("ip netns del zr-" + host);
    hosts.clear();

    if (bridged)
        run ("ip link del zr-lan");
    bridged = false;

    if (mounted)
        umount2 (netnsFolder, MNT_DETACH);
    mounted = false;
}
