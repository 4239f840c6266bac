#pragma once

#include <juce_core/juce_core.h>
#include <netinet/in.h>
#include <atomic>
#include <string>

/** The program's one UDP socket (BSD sockets), IPv4 only.

    Construction creates the socket and binds it to `port` on every local address, with
    address reuse so that a simulated amplifier may hold the same port on another loopback
    address of the same host; a failed bind is ignored (the system then picks the source
    port).  connect() aims it at one amplifier (or the "0.0.0.1" placeholder), after which
    it receives from anyone, sends to that device and sends queries to a target.

    Addresses in 0.0.0.0/8 are never sent to: they are placeholders, not destinations.

    Threads: the receive thread calls waitUntilReady() and read(); the hub's send thread
    and the message thread call write() and writeToTarget(); connect() and close() happen
    on the message thread while the receive thread is stopped.
*/
class UdpSocket
{
public:
    static constexpr int defaultPort = 3456;
    static constexpr int maxDatagram = 128;
    static constexpr int prefixSize = 4;
    static constexpr int bufferBytes = 65536;

    /** Creates the socket and binds it to `port` (1..65535) on any local address. */
    explicit UdpSocket (int port = defaultPort);

    /** Closes the socket. */
    ~UdpSocket();

    /** Resolves `host` (a name or a dotted address), remembers its first IPv4 address on
        this socket's port as the device address, sets 64 KiB buffers and broadcast.
        Returns whether the socket is now connected; on failure the socket is closed. */
    bool connect (const std::string& host);

    /** Waits until the socket can be read (or written): 1 ready, 0 time-out, -1 on error or
        a pending socket error.  `timeoutMs` below 0 waits without limit. */
    int waitUntilReady (bool forReading, int timeoutMs);

    /** Receives one datagram into `block` (resized to 4 + 128 bytes): the sender's IPv4
        address in network byte order in bytes 0..3, the datagram from byte 4.  Returns
        the datagram length plus 4, or 3 when nothing valid arrived (nothing waiting, a
        datagram over 128 bytes, an error) or the socket is not connected. */
    int read (juce::MemoryBlock& block);

    /** Sends one datagram to the device address.  True only when all of it was sent; false
        when not connected, unusable, aimed at a placeholder or the system refused. */
    bool write (const void* data, int length);

    /** Resolves `target` now and sends one datagram to it on this socket's port.  False
        when the name does not resolve, the socket is not connected or unusable, the
        address is a placeholder, or the system refused. */
    bool writeToTarget (const void* data, int length, const std::string& target);

    /** Closes the handle and forgets host, port and device address. */
    void close();

    /** False once the receive thread gave up on this socket; it is then not sent on. */
    bool isUsable() const                   { return usable.load(); }
    void markUnusable()                     { usable.store (false); }

    bool isConnected() const                { return connected.load(); }
    const std::string& getHostName() const  { return hostName; }
    /** The port datagrams go to: the bound port once connected, 0 otherwise. */
    int getPort() const                     { return port; }

private:
    bool openHandle();
    bool sendTo (const void* data, int length, const sockaddr_in& to);
    static bool resolve (const std::string& host, int portNumber, sockaddr_in& out);

    const int localPort;
    int handle = -1;
    std::atomic<bool> connected { false };
    std::atomic<bool> usable { true };
    std::string hostName;
    int port = 0;
    sockaddr_in deviceAddress {};
    bool hasDeviceAddress = false;

    JUCE_DECLARE_NON_COPYABLE (UdpSocket)
};
