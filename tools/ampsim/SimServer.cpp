#include "SimServer.h"
#include "SimAmplifier.h"
#include "SimLog.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

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
    : SimServer (opts, std::vector<SimAmplifier*> { &amp }, logTo)
{
}

SimServer::SimServer (const SimOptions& opts, std::vector<SimAmplifier*> amps, SimLog& logTo)
    : options (opts),
      amplifiers (std::move (amps)),
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

    if (! openSockets (error) || ! openBroadcastListener (error) || ! openFifo (error))
    {
        closeAll();
        return false;
    }
    if (options.readStdin)
        stdinFd = STDIN_FILENO;
    return true;
}

bool SimServer::openSockets (std::string& error)
{
    const auto first = options.bindAddress >> 24;
    if (options.bindAddress == broadcastAddress || (first >= 224 && first <= 239))
    {
        error = "--bind needs a unicast address (or 0.0.0.0)";
        return false;
    }
    if (amplifiers.size() > 1 && options.bindAddress == 0)
    {
        error = "a rack needs the address of its first amplifier (--bind)";
        return false;
    }

    for (std::size_t i = 0; i < amplifiers.size(); ++i)
    {
        // Port 0 lets the system pick one for the first; the rest of the rack shares it.
        const auto port = i == 0 ? (std::uint16_t) options.port : locals.front().port;
        const int fd = makeUdpSocket ({ options.bindAddress + (std::uint32_t) i, port }, error);
        if (fd < 0)
            return false;
        sockets.push_back (fd);

        sockaddr_in bound {};
        socklen_t length = sizeof bound;
        if (getsockname (fd, reinterpret_cast<sockaddr*> (&bound), &length) != 0)
        {
            error = systemError ("getsockname");
            return false;
        }
        locals.push_back (Endpoint::fromSockaddr (bound));
    }
    return true;
}

bool SimServer::openBroadcastListener (std::string& error)
{
    // A socket bound to every address hears broadcasts already.
    if (locals.front().address == 0)
        return true;
    broadcastFd = makeUdpSocket ({ broadcastAddress, locals.front().port }, error);
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
    for (auto& fd : sockets)
        closeFd (fd);
    sockets.clear();
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
    if (sockets.empty())
        return 1;

    const auto& first = locals.front();
    log.note (nowMs(), "listening on " + first.toString()
                           + (amplifiers.size() > 1 ? " and " + std::to_string (amplifiers.size() - 1) + " more" : "")
                           + (broadcastFd >= 0 ? " and for broadcasts" : ""));

    // Answers leave when they are due, not up to the system's default 50 us later.
    prctl (PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

    std::vector<pollfd> fds;
    while (! stopping)
    {
        double due = std::numeric_limits<double>::infinity();
        const double now = nowMs();
        for (auto* amplifier : amplifiers)
        {
            amplifier->tick (now);
            due = std::min (due, amplifier->nextDueMs());
        }
        flushDue();

        const double wait = std::clamp (due - nowMs(), 0.0, maxWaitMs);
        // Control input first: a command written before a datagram arrived (power on, then
        // a search) is carried out before the datagram is heard, even when one wake-up
        // finds both.
        fds.clear();
        for (int fd : { stdinFd, fifoFd, wakeRead, broadcastFd })
            if (fd >= 0)
                fds.push_back ({ fd, POLLIN, 0 });
        for (int fd : sockets)
            fds.push_back ({ fd, POLLIN, 0 });

        // To the microsecond: rounded up to whole milliseconds, a rack's answers (each due at
        // its own fraction of a millisecond) would each be late by half a millisecond on average.
        const auto waitUs = (long) std::ceil (wait * 1000.0);
        const timespec timeout { waitUs / 1000000, (waitUs % 1000000) * 1000 };
        const int ready = ppoll (fds.data(), (nfds_t) fds.size(), &timeout, nullptr);
        if (ready < 0 && errno != EINTR)
        {
            log.note (nowMs(), systemError ("poll"));
            return 1;
        }
        for (std::size_t i = 0; ready > 0 && i < fds.size(); ++i)
        {
            if (fds[i].revents == 0)
                continue;
            const int fd = fds[i].fd;
            if (fd == stdinFd)
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
            else
                receiveFrom (fd);
        }
    }
    flushDue();
    log.note (nowMs(), "stopped");
    return 0;
}

bool SimServer::isOwnAddress (const Endpoint& from) const
{
    for (const auto& local : locals)
        if (local.address != 0 && from == local)
            return true;
    return false;
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
        if (isOwnAddress (from))
        {
            log.note (nowMs(), "own datagram ignored");
            continue;
        }

        // A broadcast reaches every amplifier of the rack.
        for (std::size_t i = 0; i < sockets.size(); ++i)
            if (fd == broadcastFd || fd == sockets[i])
                hand (i, buffer, (std::size_t) received, from);
    }
}

void SimServer::hand (std::size_t index, const char* data, std::size_t size, const Endpoint& from)
{
    // Sizes above the buffer are passed on as they are: the amplifier refuses them unread.
    amplifiers[index]->receive (data, size, from, nowMs());
}

void SimServer::flushDue()
{
    for (std::size_t i = 0; i < amplifiers.size(); ++i)
        flushDue (i);
}

void SimServer::flushDue (std::size_t index)
{
    for (auto& out : amplifiers[index]->takeDue (nowMs()))
    {
        auto destination = out.to;
        if (options.answerPort > 0)
            destination.port = (std::uint16_t) options.answerPort;

        const auto to = destination.toSockaddr();
        const auto sent = sendto (sockets[index], out.datagram.data(), out.datagram.size, 0,
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
    // "ADDRESS command" is for one amplifier of a rack.
    std::string text = line;
    std::uint32_t only = 0;
    const auto firstWord = line.substr (0, line.find_first_of (" \t"));
    const bool addressed = Endpoint::parseAddress (firstWord, only);
    if (addressed)
        text = line.substr (firstWord.size());

    const auto command = ControlCommand::parse (text);
    if (command.kind == ControlCommand::Kind::none)
        return;
    log.note (nowMs(), "control: " + SimLog::quote (line.c_str()));

    if (! addressed)
        return execute (command, nowMs());

    for (std::size_t i = 0; i < amplifiers.size(); ++i)
    {
        if (locals[i].address == only)
        {
            executeFor (*amplifiers[i], command, nowMs());
            flushDue (i);
            return;
        }
    }
    std::fprintf (stderr, "zr-ampsim: no amplifier at %s\n", firstWord.c_str());
    log.note (nowMs(), "no amplifier at " + firstWord);
}

void SimServer::execute (const ControlCommand& command, double now)
{
    using Kind = ControlCommand::Kind;
    switch (command.kind)
    {
        case Kind::quit: stopping = true; break;
        case Kind::invalid:
            std::fprintf (stderr, "zr-ampsim: %s\n", command.error.c_str());
            log.note (now, command.error);
            break;
        case Kind::none: break;
        default:
            for (auto* amplifier : amplifiers)
                executeFor (*amplifier, command, now);
            flushDue();
            break;
    }
}

void SimServer::executeFor (SimAmplifier& amplifier, const ControlCommand& command, double now)
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
            break;
        case Kind::levels: amplifier.setLevels (command.levels); break;
        case Kind::clip: amplifier.forceLamps (command.lamps); break;
        case Kind::status:
            std::fputs (amplifier.status().c_str(), stderr);
            std::fflush (stderr);
            break;
        default: break;   // quit, invalid and none are the server's own (execute)
    }
}
