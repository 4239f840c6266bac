#pragma once

#include "DatagramSocket.h"
#include <juce_core/juce_core.h>

/** The program's UDP socket over BSD sockets, IPv4 only (see DatagramSocket for the promises).

    Construction creates the socket, binds it to `port` on every local address with address
    reuse (so that a simulated amplifier may hold the same port on another loopback address
    of the same host; a failed bind is ignored), sets 64 KiB buffers each way and allows
    broadcast.  When the socket or one of its options cannot be had, it is closed.

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
    bool send (std::uint32_t address, int port, const void* data, int length) override;
    WaitResult waitForDatagram (int timeoutMs) override;
    int receive (void* buffer, int capacity, std::uint32_t& sender) override;
    void wake() override;

private:
    bool openHandle (int port);
    void closeHandles();
    bool hasPendingError() const;

    int handle = -1;
    int wakeHandle = -1;

    JUCE_DECLARE_NON_COPYABLE (UdpSocket)
};
