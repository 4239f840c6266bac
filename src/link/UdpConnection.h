#pragma once

#include "UdpSocket.h"
#include <juce_events/juce_events.h>
#include <memory>

/** The UDP receive thread ("UDP connection").  It owns the program's UdpSocket, polls it
    every 2 ms and posts each datagram of 4..128 bytes whose length is a multiple of 4 to
    the hub as (tag, PacketReceived, SourceNetwork, block), the block holding the sender's
    IPv4 address (network byte order) and then the datagram.  Anything else is dropped.

    When the socket reports an error (or there is no connected socket) the thread marks the
    socket unusable and ends; the hub's silence detection then reports the network error.
    Sending is the hub's: it uses getSocket().
*/
class UdpConnection : public juce::Thread
{
public:
    /** Posts to `hub` with `messageTag`.  Has no socket and is not started yet. */
    UdpConnection (juce::MessageListener& hub, int messageTag);

    /** Stops the thread (waiting up to 4000 ms), then closes and frees the socket. */
    ~UdpConnection() override;

    /** Replaces the socket, closing and freeing the old one.  Message thread, with the
        receive thread stopped and the hub's queue lock held. */
    void setSocket (std::unique_ptr<UdpSocket> newSocket);

    /** The current socket, or null.  Valid until the next setSocket(). */
    UdpSocket* getSocket() const            { return socket.get(); }

private:
    void run() override;
    bool receiveOne();

    juce::MessageListener& hub;
    const int tag;
    std::unique_ptr<UdpSocket> socket;

    JUCE_DECLARE_NON_COPYABLE (UdpConnection)
};
