#include "UdpConnection.h"
#include "LinkMessage.h"

namespace
{
    constexpr int pollIntervalMs = 2;
    constexpr int smallestDatagram = 4;
}

UdpConnection::UdpConnection (juce::MessageListener& hubToUse, int messageTag)
    : juce::Thread ("UDP connection"),
      hub (hubToUse),
      tag (messageTag)
{
}

UdpConnection::~UdpConnection()
{
    stopThread (4000);
    socket.reset();
}

void UdpConnection::setSocket (std::unique_ptr<UdpSocket> newSocket)
{
    // The old socket is closed before the new one exists in our hands, so the port is
    // held by one socket of ours at a time.
    socket.reset();
    socket = std::move (newSocket);
}

void UdpConnection::run()
{
    while (! threadShouldExit())
    {
        if (socket == nullptr || ! socket->isConnected())
            break;

        // Waiting up to 2 ms for a datagram costs no more than polling and sleeping 2 ms,
        // and hands a waiting datagram over at once.
        const int ready = socket->waitUntilReady (true, pollIntervalMs);

        if (ready < 0)
            break;

        if (ready > 0)
        {
            try
            {
                receiveOne();
            }
            catch (...)
            {
                // Losing one datagram (no memory for its block) must not stop receiving.
            }
        }
    }

    if (socket != nullptr && ! threadShouldExit())
        socket->markUnusable();
}

bool UdpConnection::receiveOne()
{
    juce::MemoryBlock block ((size_t) (UdpSocket::prefixSize + UdpSocket::maxDatagram), true);
    const int size = socket->read (block);

    // An empty datagram (size 4) carries no message at all.
    if (size < UdpSocket::prefixSize + smallestDatagram || size > (int) block.getSize() || size % 4 != 0)
        return false;

    block.setSize ((size_t) size);
    hub.postMessage (new osc::LinkMessage (osc::PacketSource::network, std::move (block), tag));
    return true;
}
