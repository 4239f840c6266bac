#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

/** One zr-ampsim process, for integration tests and benchmarks.

    It runs in a given network namespace (or the caller's), logs every message it receives
    and sends to a file in `folder`, writes its standard error to another, and reads control
    commands ("silent on", "power off", ...) from a pipe held here.  It dies with the thread
    that started it, so a crashed test leaves no simulator behind.
*/
class AmpSimProcess
{
public:
    /** One line of the simulator's log: what ("recv", "send", "lost", "silent", "off",
        "bad" or "note"), the peer ("a.b.c.d:port", empty for notes) and the rest (the
        message as "address ,tags args", or the note's text). */
    struct LogLine
    {
        std::string what, peer, text;
    };

    /** Starts `program` with `args`.  `netnsPath` names a namespace file to enter first
        ("" stays in the caller's); `folder` must exist; `tag` names the files. */
    AmpSimProcess (const std::string& program, const std::vector<std::string>& args, const std::string& netnsPath,
                   const std::string& folder, const std::string& tag);

    /** Stops the process if it still runs. */
    ~AmpSimProcess();

    AmpSimProcess (const AmpSimProcess&) = delete;
    AmpSimProcess& operator= (const AmpSimProcess&) = delete;

    /** True once the simulator has opened its sockets (it says so on standard error). */
    bool isListening() const;

    /** False when the process could not be started or has ended. */
    bool isRunning();

    /** Sends one control command line; false when the process cannot take it. */
    bool command (const std::string& line);

    /** Ends the process with SIGTERM and waits for it. */
    void stop();

    /** Ends the process at once (SIGKILL), as a crash or a pulled plug would. */
    void kill();

    /** The whole log so far, in order. */
    std::vector<LogLine> log() const;

    /** The messages received, in order ("address ,tags args"). */
    std::vector<std::string> received() const;

    /** How many log lines say `what`. */
    int count (const std::string& what) const;

    /** Standard error so far (the reason when it failed to start). */
    std::string errors() const;

    const std::string logPath, errorPath;

private:
    void end (int signal);

    pid_t pid = -1;
    int control = -1;
};
