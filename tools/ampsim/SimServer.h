#pragma once

#include "ControlCommand.h"
#include "ControlInput.h"
#include "Endpoint.h"
#include "SimOptions.h"

#include <atomic>
#include <chrono>
#include <string>

class SimAmplifier;
class SimLog;

/** The simulator's network side: a single-threaded poll() loop over the UDP socket, the
    control channel (standard input and an optional FIFO) and a wake-up pipe.

    The socket is bound to the chosen address and port with SO_REUSEADDR, so several
    simulators can share a port on different loopback addresses.  A socket bound to one
    address does not hear broadcasts, so a second socket bound to 255.255.255.255 on the
    same port listens for them; answers always leave from the first socket.  Broadcast is
    never enabled for sending: the simulator only ever sends to the sender of a request and
    to the program it serves.
*/
class SimServer
{
public:
    SimServer (const SimOptions& options, SimAmplifier& amplifier, SimLog& log);
    ~SimServer();

    SimServer (const SimServer&) = delete;
    SimServer& operator= (const SimServer&) = delete;

    /** Opens the sockets, the FIFO and the wake-up pipe; false with the reason on failure.
        Port 0 binds an ephemeral port (tests). */
    bool open (std::string& error);

    /** Serves until "quit" or requestStop(); returns the process exit code. */
    int run();

    /** Ends run() soon.  Any thread; async-signal-safe. */
    void requestStop() noexcept;

    /** The address and port the main socket is bound to (after open()). */
    Endpoint localEndpoint() const noexcept { return local; }

    /** Carries out one control command at `nowMs`; "quit" makes run() return. */
    void execute (const ControlCommand& command, double nowMs);

    /** Milliseconds since the server was made: the clock of the amplifier and of the log. */
    double nowMs() const;

private:
    bool openSocket (std::string& error);
    bool openBroadcastListener (std::string& error);
    bool openFifo (std::string& error);
    void receiveFrom (int fd);
    void readControl (int& fd, ControlInput& input, bool isStdin);
    void executeLine (const std::string& line);
    void flushDue();
    void closeAll();

    const SimOptions options;
    SimAmplifier& amplifier;
    SimLog& log;
    const std::chrono::steady_clock::time_point start;

    int socketFd = -1;
    int broadcastFd = -1;
    int stdinFd = -1;
    int fifoFd = -1;
    int wakeRead = -1;
    int wakeWrite = -1;
    bool madeFifo = false;
    Endpoint local;

    ControlInput stdinLines, fifoLines;
    std::atomic<bool> stopping { false };
};
