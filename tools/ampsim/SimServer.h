#pragma once

#include "ControlCommand.h"
#include "ControlInput.h"
#include "Endpoint.h"
#include "SimOptions.h"

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

class SimAmplifier;
class SimLog;

/** The simulator's network side: a single-threaded poll() loop over the UDP sockets, the
    control channel (standard input and an optional FIFO) and a wake-up pipe.

    Each amplifier has a socket of its own, bound to its address and the port with
    SO_REUSEADDR, so several simulators can share a port on different loopback addresses;
    a rack of amplifiers takes consecutive addresses from the first.  A socket bound to one
    address does not hear broadcasts, so one more socket bound to 255.255.255.255 on the
    same port listens for them and hands them to every amplifier; answers always leave from
    the amplifier's own socket.  Broadcast is never enabled for sending: the simulator only
    ever sends to the sender of a request and to the program it serves.

    A control command goes to every amplifier, or to one when the line starts with its
    address ("192.0.2.23 silent on").
*/
class SimServer
{
public:
    SimServer (const SimOptions& options, SimAmplifier& amplifier, SimLog& log);

    /** A rack: amplifier i answers on options.bindAddress + i (which must not be 0.0.0.0
        for more than one). */
    SimServer (const SimOptions& options, std::vector<SimAmplifier*> amplifiers, SimLog& log);
    ~SimServer();

    SimServer (const SimServer&) = delete;
    SimServer& operator= (const SimServer&) = delete;

    /** Opens the sockets, the FIFO and the wake-up pipe; false with the reason on failure.
        Port 0 binds an ephemeral port (tests), the same for the whole rack. */
    bool open (std::string& error);

    /** Serves until "quit" or requestStop(); returns the process exit code. */
    int run();

    /** Ends run() soon.  Any thread; async-signal-safe. */
    void requestStop() noexcept;

    /** The address and port the first amplifier's socket is bound to (after open()). */
    Endpoint localEndpoint() const noexcept { return locals.empty() ? Endpoint {} : locals.front(); }

    /** Carries out one control command at `nowMs` for every amplifier; "quit" makes run()
        return. */
    void execute (const ControlCommand& command, double nowMs);

    /** Milliseconds since the server was made: the clock of the amplifier and of the log. */
    double nowMs() const;

private:
    bool openSockets (std::string& error);
    bool openBroadcastListener (std::string& error);
    bool openFifo (std::string& error);
    void receiveFrom (int fd);
    void hand (std::size_t index, const char* data, std::size_t size, const Endpoint& from);
    void readControl (int& fd, ControlInput& input, bool isStdin);
    void executeLine (const std::string& line);
    void executeFor (SimAmplifier& amplifier, const ControlCommand& command, double nowMs);
    void flushDue();
    void flushDue (std::size_t index);
    bool isOwnAddress (const Endpoint& from) const;
    void closeAll();

    const SimOptions options;
    const std::vector<SimAmplifier*> amplifiers;
    SimLog& log;
    const std::chrono::steady_clock::time_point start;

    std::vector<int> sockets;   // one per amplifier
    std::vector<Endpoint> locals;
    int broadcastFd = -1;
    int stdinFd = -1;
    int fifoFd = -1;
    int wakeRead = -1;
    int wakeWrite = -1;
    bool madeFifo = false;

    ControlInput stdinLines, fifoLines;
    std::atomic<bool> stopping { false };
};
