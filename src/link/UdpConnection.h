#pragma once

#include "DatagramSocket.h"
#include "LinkMessage.h"
#include "LinkThread.h"
#include <juce_events/juce_events.h>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

/** The UDP transport: the receive thread ("UDP connection") and the one socket it owns.

    The thread sleeps on the socket until a datagram arrives and posts each one of 4..128
    bytes whose length is a multiple of 4 to the hub as an osc::LinkMessage from
    PacketSource::network, the block holding the sender's IPv4 address (network byte order)
    and then the datagram, after showing it to the inspector.  Anything else is dropped.  Asking the thread to exit wakes it
    at once (the socket's wake()), so stopping never waits out a poll.

    When the socket fails (or there is none that is open) the thread gives the socket up
    and ends; nothing is sent on it any more, and the hub's answer rule reports the silence
    as a network error.  Sending is the hub's, through send().
*/
class UdpConnection : public LinkThread, private juce::Thread::Listener
{
public:
    static constexpr int largestDatagram = 128;
    static constexpr int packetPrefix = 4;

    /** Sees each packet on the receive thread just before it is posted, and may note on
        it what it learnt (the hub's early acknowledgement). */
    using Inspector = std::function<void (osc::LinkMessage& packet)>;

    /** Posts to `hub` with `messageTag`; datagrams go to `port`.  Has no socket and is not
        started yet. */
    UdpConnection (juce::MessageListener& hub, int messageTag, int port, Inspector inspector = {});

    /** Stops the thread (waiting up to 4000 ms), then closes and frees the socket. */
    ~UdpConnection() override;

    /** Replaces the socket, closing and freeing the old one first (so one socket of ours
        holds the port at a time).  Message thread, with the receive thread stopped and the
        hub's queue lock held. */
    void setSocket (std::unique_ptr<DatagramSocket> newSocket);

    /** The current socket, or null.  Valid until the next setSocket(). */
    DatagramSocket* getSocket() const { return socket.get(); }

    /** Sends one datagram to `address` on the port, unless there is no socket or it was
        given up.  True when it was sent.  Under the hub's queue lock (any thread). */
    bool send (std::uint32_t address, const void* data, int length);

    /** False once the receive thread gave up on the socket, or with no open socket. */
    bool isUsable() const { return usable.load(); }

private:
    void work() override;
    void exitSignalSent() override;
    void receiveOne();

    juce::MessageListener& hub;
    const Inspector inspect;
    const int tag;
    const int port;
    std::unique_ptr<DatagramSocket> socket;
    std::atomic<bool> usable { false };

    JUCE_DECLARE_NON_COPYABLE (UdpConnection)
};
