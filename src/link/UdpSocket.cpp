#include "UdpSocket.h"
#include "HostAddress.h"
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
    constexpr int largestUdpPayload = 65507;

    // 127.255.255.254: on the loopback interface of every host, and used by nobody.
    constexpr std::uint32_t probeAddress = 0x7FFFFFFEu;

    bool setIntOption (int handle, int level, int option, int value)
    {
        return setsockopt (handle, level, option, &value, sizeof value) == 0;
    }

    bool bindAnyAddress (int handle, int port)
    {
        sockaddr_in local {};
        local.sin_family = AF_INET;
        local.sin_port = htons ((std::uint16_t) port);
        local.sin_addr.s_addr = htonl (INADDR_ANY);
        return ::bind (handle, reinterpret_cast<const sockaddr*> (&local), sizeof local) == 0;
    }
}

UdpSocket::UdpSocket (int port)
{
    if (! openHandle (port > 0 && port < 65536 ? port : defaultPort))
        closeHandles();
}

UdpSocket::~UdpSocket()
{
    closeHandles();
}

bool UdpSocket::openHandle (int port)
{
    handle = ::socket (AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    wakeHandle = ::eventfd (0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (handle < 0 || wakeHandle < 0)
        return false;

    bound = bindPort (port);

    return setIntOption (handle, SOL_SOCKET, SO_RCVBUF, bufferBytes)
           && setIntOption (handle, SOL_SOCKET, SO_SNDBUF, bufferBytes)
           && setIntOption (handle, SOL_SOCKET, SO_BROADCAST, 1);
}

bool UdpSocket::bindPort (int port)
{
    // Alone first: this succeeds whenever nobody else has the port.  Reuse is allowed
    // afterwards, so a simulated amplifier may still take it on a loopback address.
    if (bindAnyAddress (handle, port))
    {
        setIntOption (handle, SOL_SOCKET, SO_REUSEADDR, 1);
        return true;
    }

    if (errno != EADDRINUSE || heldOnEveryAddress (port))
        return false;

    // Only sockets on single addresses hold it (simulators on loopback addresses): share.
    setIntOption (handle, SOL_SOCKET, SO_REUSEADDR, 1);
    return bindAnyAddress (handle, port);
}

bool UdpSocket::heldOnEveryAddress (int port)
{
    // A socket on a single loopback address that nobody uses collides only with a holder of
    // every address: the system's own rule tells us whether one exists.
    const int probe = ::socket (AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return false;

    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_port = htons ((std::uint16_t) port);
    local.sin_addr.s_addr = htonl (probeAddress);

    const bool held = ::bind (probe, reinterpret_cast<const sockaddr*> (&local), sizeof local) != 0
                      && errno == EADDRINUSE;
    ::close (probe);
    return held;
}

void UdpSocket::closeHandles()
{
    if (handle >= 0)
        ::close (handle);
    if (wakeHandle >= 0)
        ::close (wakeHandle);
    handle = wakeHandle = -1;
    bound = false;
}

bool UdpSocket::isOpen() const
{
    return handle >= 0;
}

bool UdpSocket::holdsPort() const
{
    return handle >= 0 && bound;
}

bool UdpSocket::send (std::uint32_t address, int port, const void* data, int length)
{
    if (handle < 0 || data == nullptr || length <= 0 || length > largestUdpPayload || port <= 0 || port > 65535
        || hostaddress::isPlaceholder (address))
        return false;

    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons ((std::uint16_t) port);
    to.sin_addr.s_addr = address;

    const auto sent = ::sendto (handle, data, (size_t) length, MSG_NOSIGNAL | MSG_DONTWAIT,
                                reinterpret_cast<const sockaddr*> (&to), sizeof to);
    return sent == length;
}

DatagramSocket::WaitResult UdpSocket::waitForDatagram (int timeoutMs)
{
    if (handle < 0)
        return WaitResult::failed;

    pollfd entries[2] {};
    entries[0].fd = handle;
    entries[0].events = POLLIN;
    entries[1].fd = wakeHandle;
    entries[1].events = POLLIN;

    const int result = ::poll (entries, 2, timeoutMs < 0 ? -1 : timeoutMs);

    if (result < 0)
        return errno == EINTR ? WaitResult::timedOut : WaitResult::failed;

    if ((entries[1].revents & POLLIN) != 0)
    {
        std::uint64_t count = 0;
        (void) ::read (wakeHandle, &count, sizeof count);   // consumed: one wake-up ends one wait
        return WaitResult::woken;
    }

    if ((entries[0].revents & POLLNVAL) != 0 || ((entries[0].revents & POLLERR) != 0 && hasPendingError()))
        return WaitResult::failed;

    return (entries[0].revents & POLLIN) != 0 ? WaitResult::ready : WaitResult::timedOut;
}

bool UdpSocket::hasPendingError() const
{
    int pending = 0;
    socklen_t size = sizeof pending;
    return getsockopt (handle, SOL_SOCKET, SO_ERROR, &pending, &size) != 0 || pending != 0;
}

int UdpSocket::receive (void* buffer, int capacity, std::uint32_t& sender)
{
    if (handle < 0 || buffer == nullptr || capacity < 0)
        return -1;

    sockaddr_in from {};
    socklen_t fromSize = sizeof from;

    // MSG_TRUNC reports a datagram's real length, so one too long for the buffer is told
    // apart from one that fits exactly.
    const auto received = ::recvfrom (handle, buffer, (size_t) capacity, MSG_TRUNC | MSG_DONTWAIT,
                                      reinterpret_cast<sockaddr*> (&from), &fromSize);

    if (received < 0 || from.sin_family != AF_INET)
        return -1;

    sender = from.sin_addr.s_addr;
    return (int) received;
}

void UdpSocket::wake()
{
    const std::uint64_t one = 1;
    if (wakeHandle >= 0)
        (void) ::write (wakeHandle, &one, sizeof one);
}
