#include "SimServer.h"
#include "SimAmplifier.h"
#include "SimLog.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{
    constexpr std::uint32_t broadcastAddress = 0xFFFFFFFF;
    // Longest sleep of the loop: moving meters change lamps between scheduled events.
    constexpr double maxWaitMs = 20.0;
    // Datagrams handled per socket and wake-up, so a flood cannot starve the timers.
    constexpr int maxDatagramsPerWake = 64;

    std::string systemError (const std::string& what)
    {
        return what + ": " + std::strerror (errno);
    }

    int makeUdpSocket (const Endpoint& bindTo, std::string& error)
    {
        const int fd = socket (AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
        {
            error = systemError ("socket");
            return -1;
        }
        const int yes = 1;
        const auto address = bindTo.toSockaddr();
        if (setsockopt (fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0
            || bind (fd, reinterpret_cast<const sockaddr*> (&address), sizeof address) != 0)
        {
            error = systemError ("bind " + bindTo.toString());
            ::close (fd);
            return -1;
        }
        return fd;
    }

    void closeFd (int& fd)
    {
        if (fd >= 0)
            ::close (fd);
        fd = -1;
    }
}

SimServer::SimServer (const SimOptions& opts, SimAmplifier& amp, SimLog& logTo)
    : options (opts),
      amplifier (amp),
      log (logTo),
      start (std::chrono::steady_clock::now())
{
}

SimServer::~SimServer()
{
    closeAll();
}

double SimServer::nowMs() const
{
    return std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count();
}

//==============================================================================
bool SimServer::open (std::string& error)
{
    int pipeFds[2];
    if (pipe2 (pipeFds, O_NONBLOCK | O_CLOEXEC) != 0)
    {
        error = systemError ("pipe");
        return false;
    }
    wakeRead = pipeFds[0];
    wakeWrite = pipeFds[1];

    if (! openSocket (error) || ! openBroadcastListener (error) || ! openFifo (error))
    {
        closeAll();
        return false;
    }
    if (options.readStdin)
        stdinFd = STDIN_FILENO;
    return true;
}

bool SimServer::openSocket (std::string& error)
{
    const auto first = options.bindAddress >> 24;
    if (options.bindAddress == broadcastAddress || (first >= 224 && first <= 239))
    {
        error = "--bind needs a unicast address (or 0.0.0.0)";
        return false;
    }

    socketFd = makeUdpSocket ({ options.bindAddress, (std::uint16_t) options.port }, error);
    if (socketFd < 0)
        return false;

    sockaddr_in bound {};
    socklen_t length = sizeof bound;
    if (getsockname (socketFd, reinterpret_cast<sockaddr*> (&bound), &length) != 0)
    {
        error = systemError ("getsockname");
        return false;
    }
    local = Endpoint::fromSockaddr (bound);
    return true;
}

bool SimServer::openBroadcastListener (std::string& error)
{
    // A socket bound to every address hears broadcasts already.
    if (local.address == 0)
        return true;
    broadcastFd = makeUdpSocket ({ broadcastAddress, local.port }, error);
    return broadcastFd >= 0;
}

bool SimServer::openFifo (std::string& error)
{
    if (options.controlPath.empty())
        return true;

    struct stat info
    {
    };
    if (stat (options.controlPath.c_str(), &info) != 0)
    {
        if (errno != ENOENT || mkfifo (options.controlPath.c_str(), 0600) != 0)
        {
            error = systemError ("--control " + options.controlPath);
            return false;
        }
        madeFifo = true;
    }
    else if (! S_ISFIFO (info.st_mode))
    {
        error = "--control " + options.controlPath + " exists and is not a FIFO";
        return false;
    }

    // Opened for writing too, so the FIFO never reads as ended between two writers.
    fifoFd = ::open (options.controlPath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fifoFd < 0)
    {
        error = systemError ("--control " + options.controlPath);
        return false;
    }
    return true;
}

void SimServer::closeAll()
{
    closeFd (socketFd);
    closeFd (broadcastFd);
    closeFd (fifoFd);
    closeFd (wakeRead);
    closeFd (wakeWrite);
    stdinFd = -1;
    if (madeFifo)
        unlink (options.controlPath.c_str());
    madeFifo = false;
}

void SimServer::requestStop() noexcept
{
    stopping = true;
    if (wakeWrite >= 0)
    {
        const char byte = 1;
        [[maybe_unused]] const auto written = write (wakeWrite, &byte, 1);
    }
}

//==============================================================================
int SimServer::run()
{
    if (socketFd < 0)
        return 1;

    log.note (nowMs(), "listening on " + local.toString() + (broadcastFd >= 0 ? " and for broadcasts" : ""));

    while (! stopping)
    {
        amplifier.tick (nowMs());
        flushDue();

        const double wait = std::clamp (amplifier.nextDueMs() - nowMs(), 0.0, maxWaitMs);
        pollfd fds[5];
        nfds_t count = 0;
        for (int fd : { socketFd, broadcastFd, stdinFd, fifoFd, wakeRead })
            if (fd >= 0)
                fds[count++] = { fd, POLLIN, 0 };

        const int ready = poll (fds, count, (int) std::ceil (wait));
        if (ready < 0 && errno != EINTR)
        {
            log.note (nowMs(), systemError ("poll"));
            return 1;
        }
        for (nfds_t i = 0; ready > 0 && i < count; ++i)
        {
            if (fds[i].revents == 0)
                continue;
            const int fd = fds[i].fd;
            if (fd == socketFd || fd == broadcastFd)
                receiveFrom (fd);
            else if (fd == stdinFd)
                readControl (stdinFd, stdinLines, true);
            else if (fd == fifoFd)
                readControl (fifoFd, fifoLines, false);
            else if (fd == wakeRead)
            {
                char drain[64];
                while (read (wakeRead, drain, sizeof drain) > 0)
                {
                }
            }
        }
    }
    flushDue();
    log.note (nowMs(), "stopped");
    return 0;
}

void SimServer::receiveFrom (int fd)
{
    for (int n = 0; n < maxDatagramsPerWake; ++n)
    {
        alignas (8) char buffer[2048];
        sockaddr_in sender {};
        socklen_t length = sizeof sender;
        // MSG_TRUNC gives the datagram's true size, so an oversized one is recognised.
        const auto received = recvfrom (fd, buffer, sizeof buffer, MSG_DONTWAIT | MSG_TRUNC,
                                        reinterpret_cast<sockaddr*> (&sender), &length);
        if (received < 0)
            return;

        const auto from = Endpoint::fromSockaddr (sender);
        if (local.address != 0 && from == local)
        {
            log.note (nowMs(), "own datagram ignored");
            continue;
        }
        // Sizes above the buffer are passed on as they are: the amplifier refuses them unread.
        amplifier.receive (buffer, (std::size_t) received, from, nowMs());
    }
}

void SimServer::flushDue()
{
    for (auto& out : amplifier.takeDue (nowMs()))
    {
        auto destination = out.to;
        if (options.answerPort > 0)
            destination.port = (std::uint16_t) options.answerPort;

        const auto to = destination.toSockaddr();
        const auto sent = sendto (socketFd, out.datagram.data(), out.datagram.size, 0,
                                  reinterpret_cast<const sockaddr*> (&to), sizeof to);
        if (sent == (ssize_t) out.datagram.size)
            log.message (nowMs(), "send", destination, out.datagram);
        else
            log.note (nowMs(), systemError ("send to " + destination.toString() + " failed"));
    }
}

//==============================================================================
void SimServer::readControl (int& fd, ControlInput& input, bool isStdin)
{
    char buffer[512];
    const auto got = read (fd, buffer, sizeof buffer);
    if (got > 0)
    {
        for (const auto& line : input.feed (buffer, (std::size_t) got))
            executeLine (line);
        return;
    }
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return;

    // End of standard input (or an error): commands can still come through the FIFO.
    executeLine (input.finish());
    if (isStdin)
        fd = -1;
    else
        closeFd (fd);
}

void SimServer::executeLine (const std::string& line)
{
    const auto command = ControlCommand::parse (line);
    if (command.kind == ControlCommand::Kind::none)
        return;
    log.note (nowMs(), "control: " + SimLog::quote (line.c_str()));
    execute (command, nowMs());
}

void SimServer::execute (const ControlCommand& command, double now)
{
    using Kind = ControlCommand::Kind;
    switch (command.kind)
    {
        case Kind::silent: amplifier.setSilent (command.on, now); break;
        case Kind::power:
            if (command.on)
                amplifier.powerOn (now);
            else
                amplifier.powerOff (now);
            flushDue();
            break;
        case Kind::levels: amplifier.setLevels (command.levels); break;
        case Kind::clip: amplifier.forceLamps (command.lamps); break;
        case Kind::status:
            std::fputs (amplifier.status().c_str(), stderr);
            std::fflush (stderr);
            break;
        case Kind::quit: stopping = true; break;
        case Kind::invalid:
            std::fprintf (stderr, "zr-ampsim: %s\n", command.error.c_str());
            log.note (now, command.error);
            break;
        case Kind::none: break;
    }
}
