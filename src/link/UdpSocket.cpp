#include "UdpSocket.h"
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
    /** 0.0.0.0/8 means "this network": the placeholder before a device is chosen, and
        never a destination worth a datagram. */
    bool isPlaceholder (const sockaddr_in& address)
    {
        return (ntohl (address.sin_addr.s_addr) >> 24) == 0;
    }

    bool setIntOption (int handle, int level, int option, int value)
    {
        return setsockopt (handle, level, option, &value, sizeof value) == 0;
    }
}

UdpSocket::UdpSocket (int portToBind)
    : localPort (portToBind > 0 && portToBind < 65536 ? portToBind : defaultPort)
{
    openHandle();
}

UdpSocket::~UdpSocket()
{
    close();
}

bool UdpSocket::openHandle()
{
    handle = ::socket (AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (handle < 0)
        return false;

    // Reuse lets a simulated amplifier hold the same port on another loopback address.
    setIntOption (handle, SOL_SOCKET, SO_REUSEADDR, 1);

    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_port = htons ((uint16_t) localPort);
    local.sin_addr.s_addr = htonl (INADDR_ANY);

    // A failed bind (port in use) is tolerated: sending still works from another port.
    (void) ::bind (handle, reinterpret_cast<const sockaddr*> (&local), sizeof local);
    return true;
}

bool UdpSocket::connect (const std::string& host)
{
    connected.store (false);
    hasDeviceAddress = false;

    hostName = host;
    port = localPort;

    sockaddr_in resolved {};
    bool ok = resolve (host, localPort, resolved);

    if (ok && handle < 0)
        ok = openHandle();

    if (ok)
    {
        deviceAddress = resolved;
        hasDeviceAddress = true;

        ok = setIntOption (handle, SOL_SOCKET, SO_RCVBUF, bufferBytes)
          && setIntOption (handle, SOL_SOCKET, SO_SNDBUF, bufferBytes)
          && setIntOption (handle, SOL_SOCKET, SO_BROADCAST, 1);
    }

    if (! ok)
    {
        close();
        return false;
    }

    connected.store (true);
    return true;
}

int UdpSocket::waitUntilReady (bool forReading, int timeoutMs)
{
    if (handle < 0)
        return -1;

    pollfd entry {};
    entry.fd = handle;
    entry.events = forReading ? POLLIN : POLLOUT;

    const int result = ::poll (&entry, 1, timeoutMs < 0 ? -1 : timeoutMs);

    if (result < 0)
        return errno == EINTR ? 0 : -1;   // a signal is not a socket failure

    int pending = 0;
    socklen_t size = sizeof pending;
    if (getsockopt (handle, SOL_SOCKET, SO_ERROR, &pending, &size) != 0 || pending != 0)
        return -1;

    if (result == 0)
        return 0;

    if ((entry.revents & (POLLERR | POLLNVAL)) != 0)
        return -1;

    return (entry.revents & (forReading ? POLLIN : POLLOUT)) != 0 ? 1 : 0;
}

int UdpSocket::read (juce::MemoryBlock& block)
{
    block.setSize ((size_t) (prefixSize + maxDatagram), true);

    if (handle < 0 || ! connected.load())
        return 3;

    auto* bytes = static_cast<char*> (block.getData());
    sockaddr_in sender {};
    socklen_t senderSize = sizeof sender;

    // MSG_TRUNC reports a datagram's real length, so one over 128 bytes is refused
    // instead of being cut to a plausible-looking 128.
    const auto received = ::recvfrom (handle, bytes + prefixSize, (size_t) maxDatagram, MSG_TRUNC | MSG_DONTWAIT,
                                      reinterpret_cast<sockaddr*> (&sender), &senderSize);

    if (received < 0 || received > maxDatagram || sender.sin_family != AF_INET)
        return 3;

    std::memcpy (bytes, &sender.sin_addr.s_addr, (size_t) prefixSize);
    return (int) received + prefixSize;
}

bool UdpSocket::write (const void* data, int length)
{
    if (! connected.load() || ! hasDeviceAddress)
        return false;

    return sendTo (data, length, deviceAddress);
}

bool UdpSocket::writeToTarget (const void* data, int length, const std::string& target)
{
    if (! connected.load())
        return false;

    sockaddr_in to {};
    return resolve (target, port, to) && sendTo (data, length, to);
}

bool UdpSocket::sendTo (const void* data, int length, const sockaddr_in& to)
{
    if (handle < 0 || ! usable.load() || data == nullptr || length <= 0 || isPlaceholder (to))
        return false;

    const auto sent = ::sendto (handle, data, (size_t) length, MSG_NOSIGNAL,
                                reinterpret_cast<const sockaddr*> (&to), sizeof to);
    return sent == length;
}

bool UdpSocket::resolve (const std::string& host, int portNumber, sockaddr_in& out)
{
    if (host.empty())
        return false;

    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;

    addrinfo* results = nullptr;
    if (getaddrinfo (host.c_str(), nullptr, &hints, &results) != 0 || results == nullptr)
        return false;

    bool found = false;
    if (results->ai_family == AF_INET && results->ai_addrlen >= sizeof (sockaddr_in))
    {
        std::memcpy (&out, results->ai_addr, sizeof (sockaddr_in));
        out.sin_port = htons ((uint16_t) portNumber);
        found = true;
    }

    freeaddrinfo (results);
    return found;
}

void UdpSocket::close()
{
    if (handle >= 0)
        ::close (handle);

    handle = -1;
    connected.store (false);
    hostName.clear();
    port = 0;
    hasDeviceAddress = false;
}
