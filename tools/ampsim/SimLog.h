#pragma once

#include "Datagram.h"
#include "Endpoint.h"

#include <functional>
#include <string>

/** The simulator's log: one line per message received or sent, and one per event.

    Message lines read "<seconds> <direction> <peer> <address> <type tags> <arguments>",
    e.g. "   12.034 recv 127.0.0.1:3456 /preset/name ,iis 1 0 \"DUMMY\"", so a test can check
    the exact sequence a program runs.  Strings are quoted with C escapes for anything not
    printable; floats use the shortest "%g" form.  Event lines use the direction "note".
*/
class SimLog
{
public:
    using Sink = std::function<void (const std::string& line)>;

    /** A log that writes nothing. */
    SimLog() = default;
    /** A log that hands each finished line (without line ending) to `sink`. */
    explicit SimLog (Sink sink)
        : sink (std::move (sink))
    {
    }

    bool isEnabled() const noexcept { return static_cast<bool> (sink); }

    /** One message line; `direction` is "recv", "send", "lost", "drop"... */
    void message (double timeMs, const char* direction, const Endpoint& peer, const Datagram& datagram) const;

    /** One event line ("note"). */
    void note (double timeMs, const std::string& text) const;

    /** "address ,tags arguments" of an OSC message, or "malformed (...)" when it is not one. */
    static std::string describe (const Datagram& datagram);

    /** A string argument as the log shows it: quoted, with escapes. */
    static std::string quote (const char* text);

private:
    void write (double timeMs, const std::string& rest) const;

    Sink sink;
};
