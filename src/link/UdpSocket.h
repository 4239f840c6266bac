#pragma once

#include "DatagramSocket.h"
#include <juce_core/juce_core.h>

/** The program's UDP socket over BSD sockets, IPv4 only (see DatagramSocket for the promises).

    Construction creates the socket, binds it to `port` on every local address, sets 64 KiB
    buffers each way and allows broadcast.  When the socket or one of its options cannot be
    had, it is closed.

    The port is held alone against any other holder of the whole host (another instance of
    the program, the command-line tool, another OSC program): two sockets on every address
    would split the amplifiers' answers between them.  A simulated amplifier on a loopback
    address of its own may share the port (address reuse, set on both).  When another
    program holds the port the socket stays unbound (holdsPort() is false): it still sends,
    from a port the system picks, and hears only what is sent back to that port (amplifiers
    answer port 3456, so that is nothing).

    A wait watches the socket and an eventfd together: wake() writes the eventfd, so the
    receiving thread sleeps in the kernel until a datagram or a wake-up arrives.
*/
class UdpSocket : public DatagramSocket
{
public:
    static constexpr int defaultPort = 3456;
    static constexpr int bufferBytes = 65536;

    explicit UdpSocket (int port = defaultPort);
    ~UdpSocket() override;

    bool isOpen() const override;
    bool holdsPort() const override;
    bool send (std::uint32_t address, int port, const void* data, int length) override;
    WaitResult waitForDatagram (int timeoutMs) override;
    int receive (void* buffer, int capacity, std::uint32_t& sender) override;
    void wake() override;

private:
    bool openHandle (int port);
    bool bindPort (int port);
    static bool heldOnEveryAddress (int port);
    void closeHandles();
    bool hasPendingError() const;

    int handle = -1;
    int wakeHandle = -1;
    bool bound = false;

    JUCE_DECLARE_NON_COPYABLE (UdpSocket)
};
