#pragma once

#include <cstdint>

/** The UDP socket under the network transport: one IPv4 datagram socket bound to a port on
    every local address, allowed to broadcast.

    The real one is UdpSocket (BSD sockets); tests plug in a simulated network
    (tests/support/SimulatedNetwork).  Addresses are IPv4 addresses held as their four bytes
    in network order (see HostAddress.h), never names: a typed name is resolved once, where
    it was entered, and never on a path that holds a lock or runs per packet.

    Threads: one receiving thread calls waitForDatagram() and receive(); any thread may call
    send() and wake().  The hub serialises its own senders; the socket needs no more than
    that.  Construction and destruction happen while no other thread uses the socket.
*/
class DatagramSocket
{
public:
    enum class WaitResult
    {
        ready,      // a datagram can be received
        woken,      // wake() was called
        timedOut,   // the time-out passed (or a signal interrupted the wait)
        failed      // the socket is closed or reports an error: it will not receive again
    };

    virtual ~DatagramSocket() = default;

    /** True when the socket exists.  A port that could not be bound (in use) still leaves
        an open socket: it sends from a port the system picks, and hears only what is
        sent back to that port. */
    virtual bool isOpen() const = 0;

    /** True when the socket holds its port on every local address, so that answers sent
        to this host's port reach it.  False when another program holds the port (or the
        socket is closed): amplifiers' answers then go to that program. */
    virtual bool holdsPort() const = 0;

    /** Sends one datagram of `length` bytes (1..65507) to `address`:`port`.  True only when
        all of it was handed to the system.  False, sending nothing, for an address in
        0.0.0.0/8 (a placeholder, never a destination), an empty or oversized datagram, a
        closed socket, or when the system refuses.  Never waits for room: a datagram that
        does not fit the send buffer is lost.  Any thread. */
    virtual bool send (std::uint32_t address, int port, const void* data, int length) = 0;

    /** Waits until a datagram can be received, wake() is called, `timeoutMs` passes (below
        0: no limit) or the socket fails, and says which.  The receiving thread only. */
    virtual WaitResult waitForDatagram (int timeoutMs) = 0;

    /** Takes the next waiting datagram without blocking: at most `capacity` bytes of it go
        to `buffer`, its sender's address to `sender`.  Returns the datagram's whole length:
        0 for an empty one, more than `capacity` for one that did not fit (the rest is lost);
        -1 when none was waiting or the socket failed.  The receiving thread only. */
    virtual int receive (void* buffer, int capacity, std::uint32_t& sender) = 0;

    /** Ends the current waitForDatagram() at once, or the next one when none is waiting
        now (one wake-up is remembered, not counted).  Any thread; never blocks. */
    virtual void wake() = 0;
};
