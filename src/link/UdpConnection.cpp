#include "UdpConnection.h"
#include "LinkMessage.h"

namespace
{
    constexpr int threadStopMs = 4000;
}

UdpConnection::UdpConnection (juce::MessageListener& hubToUse, int messageTag, int portToUse, Inspector inspector)
    : LinkThread ("UDP connection"),
      hub (hubToUse),
      inspect (std::move (inspector)),
      tag (messageTag),
      port (portToUse)
{
    addListener (this);
}

UdpConnection::~UdpConnection()
{
    stopPromptly (threadStopMs);
    removeListener (this);
    socket.reset();
}

void UdpConnection::setSocket (std::unique_ptr<DatagramSocket> newSocket)
{
    // The old socket is closed before the new one is ours, so the port is held by one
    // socket of ours at a time.
    usable.store (false);
    socket.reset();
    socket = std::move (newSocket);
    usable.store (socket != nullptr && socket->isOpen());
}

bool UdpConnection::send (std::uint32_t address, const void* data, int length)
{
    return socket != nullptr && usable.load() && socket->send (address, port, data, length);
}

void UdpConnection::exitSignalSent()
{
    // Called by whoever asks the thread to exit; the socket only changes while the thread
    // is stopped, by the same (message) thread.
    if (socket != nullptr)
        socket->wake();
}

void UdpConnection::work()
{
    while (! threadShouldExit())
    {
        if (socket == nullptr || ! socket->isOpen())
            break;

        const auto result = socket->waitForDatagram (-1);

        if (result == DatagramSocket::WaitResult::failed)
            break;

        if (result != DatagramSocket::WaitResult::ready)
            continue;   // woken (perhaps to exit) or interrupted: look again

        try
        {
            receiveOne();
        }
        catch (...)
        {
            // Losing one datagram (no memory for its block) must not stop receiving.
        }
    }

    // Stopping the thread to replace the socket is no failure of the socket.
    if (! threadShouldExit())
        usable.store (false);
}

void UdpConnection::receiveOne()
{
    juce::MemoryBlock block ((size_t) (packetPrefix + largestDatagram), true);
    std::uint32_t sender = 0;
    const int length = socket->receive (static_cast<char*> (block.getData()) + packetPrefix, largestDatagram, sender);

    // An empty datagram carries no message; a longer one than any message was cut.
    if (length < 4 || length > largestDatagram || length % 4 != 0)
        return;

    block.copyFrom (&sender, 0, sizeof sender);
    block.setSize ((size_t) (packetPrefix + length));
    auto message = std::make_unique<osc::LinkMessage> (osc::PacketSource::network, std::move (block), tag);
    if (inspect)
        inspect (*message);
    hub.postMessage (message.release());
}
