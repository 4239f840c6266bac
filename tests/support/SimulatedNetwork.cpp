#include "SimulatedNetwork.h"
#include <arpa/inet.h>
#include <algorithm>
#include <chrono>
#include <cstring>

namespace
{
    constexpr int largestUdpPayload = 65507;

    bool isPlaceholder (std::uint32_t address)
    {
        return (ntohl (address) >> 24) == 0;
    }

    // Peers sit on /24 networks: x.y.z.255 reaches every peer of x.y.z.0/24.
    std::uint32_t directedBroadcastOf (std::uint32_t address)
    {
        return htonl (ntohl (address) | 0xFFu);
    }
}

/** One program socket on the simulated network. */
class SimulatedNetwork::Socket : public DatagramSocket
{
public:
    Socket (SimulatedNetwork& networkToUse, int portToUse, bool opened, bool holding)
        : network (networkToUse),
          port (portToUse),
          open (opened),
          holding (opened && holding)
    {
    }

    ~Socket() override
    {
        const std::lock_guard<std::mutex> l (network.lock);
        auto& list = network.sockets;
        list.erase (std::remove (list.begin(), list.end(), this), list.end());
    }

    bool isOpen() const override { return open; }
    bool holdsPort() const override { return holding; }

    bool send (std::uint32_t address, int toPort, const void* data, int length) override
    {
        if (! open || data == nullptr || length <= 0 || length > largestUdpPayload || toPort <= 0 || toPort > 65535
            || isPlaceholder (address))
            return false;

        {
            // A broken socket sends nothing either, whether or not its thread noticed yet.
            const std::lock_guard<std::mutex> l (network.lock);
            if (broken)
                return false;
        }

        const auto* bytes = static_cast<const char*> (data);
        network.deliverFromProgram ({ address, toPort, std::vector<char> (bytes, bytes + length) });
        return true;
    }

    WaitResult waitForDatagram (int timeoutMs) override
    {
        if (! open)
            return WaitResult::failed;

        std::unique_lock<std::mutex> l (network.lock);
        const auto settled = [this] { return woken || broken || ! inbox.empty(); };

        bool ready = true;
        if (timeoutMs < 0)
            network.changed.wait (l, settled);
        else
            ready = network.changed.wait_for (l, std::chrono::milliseconds (timeoutMs), settled);

        ++network.waits;
        if (! ready)
            return WaitResult::timedOut;
        if (woken)
        {
            woken = false;
            return WaitResult::woken;
        }
        return broken ? WaitResult::failed : WaitResult::ready;
    }

    int receive (void* buffer, int capacity, std::uint32_t& sender) override
    {
        const std::lock_guard<std::mutex> l (network.lock);
        if (broken || inbox.empty() || buffer == nullptr || capacity < 0)
            return -1;

        const auto [from, bytes] = inbox.front();
        inbox.pop_front();
        std::memcpy (buffer, bytes.data(), std::min (bytes.size(), (std::size_t) capacity));
        sender = from;
        return (int) bytes.size();
    }

    void wake() override
    {
        {
            const std::lock_guard<std::mutex> l (network.lock);
            woken = true;
        }
        network.changed.notify_all();
    }

    SimulatedNetwork& network;
    const int port;
    const bool open;
    const bool holding;   // false: another program had the port when it was made

    // Under the network's lock.
    std::deque<std::pair<std::uint32_t, std::vector<char>>> inbox;
    bool woken = false;
    bool broken = false;
};

//==============================================================================
SimulatedNetwork::Peer::Peer (SimulatedNetwork& networkToUse, const char* dottedAddress, int portToUse)
    : network (networkToUse),
      own (SimulatedNetwork::address (dottedAddress)),
      port (portToUse)
{
    const std::lock_guard<std::mutex> l (network.lock);
    network.peers.push_back (this);
}

SimulatedNetwork::Peer::~Peer()
{
    const std::lock_guard<std::mutex> l (network.lock);
    auto& list = network.peers;
    list.erase (std::remove (list.begin(), list.end(), this), list.end());
}

void SimulatedNetwork::Peer::send (const std::vector<char>& bytes)
{
    network.inject (own, port, bytes);
}

std::vector<char> SimulatedNetwork::Peer::receive (int timeoutMs)
{
    std::unique_lock<std::mutex> l (network.lock);
    if (! network.changed.wait_for (l, std::chrono::milliseconds (timeoutMs), [this] { return ! inbox.empty(); }))
        return {};

    auto bytes = std::move (inbox.front());
    inbox.pop_front();
    return bytes;
}

void SimulatedNetwork::Peer::hearBroadcasts (bool hear)
{
    const std::lock_guard<std::mutex> l (network.lock);
    hearsBroadcasts = hear;
}

//==============================================================================
SimulatedNetwork::SimulatedNetwork() = default;
SimulatedNetwork::~SimulatedNetwork() = default;

std::unique_ptr<DatagramSocket> SimulatedNetwork::makeSocket (int port)
{
    const std::lock_guard<std::mutex> l (lock);
    const bool opened = ! failNext;
    failNext = false;

    auto socket = std::make_unique<Socket> (*this, port, opened, heldElsewhere.count (port) == 0);
    if (opened)
    {
        sockets.push_back (socket.get());
        const auto bound = (int) std::count_if (sockets.begin(), sockets.end(),
                                                [port] (Socket* s) { return s->port == port; });
        highWater[port] = std::max (highWater[port], bound);
    }
    return socket;
}

std::function<std::unique_ptr<DatagramSocket> (int)> SimulatedNetwork::socketMaker()
{
    return [this] (int port) { return makeSocket (port); };
}

void SimulatedNetwork::setInterfaceBroadcasts (const std::vector<std::string>& dotted)
{
    const std::lock_guard<std::mutex> l (lock);
    interfaceBroadcasts.clear();
    for (const auto& text : dotted)
        interfaceBroadcasts.push_back (address (text.c_str()));
}

std::function<std::vector<std::uint32_t>()> SimulatedNetwork::broadcastLister()
{
    return [this]
    {
        const std::lock_guard<std::mutex> l (lock);
        return interfaceBroadcasts;
    };
}

int SimulatedNetwork::inject (std::uint32_t from, int port, const std::vector<char>& bytes)
{
    int reached = 0;
    {
        const std::lock_guard<std::mutex> l (lock);
        for (auto* socket : sockets)
        {
            if (socket->port == port && socket->holding)
            {
                socket->inbox.emplace_back (from, bytes);
                ++reached;
            }
        }
    }
    changed.notify_all();
    return reached;
}

void SimulatedNetwork::deliverFromProgram (const Datagram& datagram)
{
    {
        const std::lock_guard<std::mutex> l (lock);
        log.push_back (datagram);
        for (auto* peer : peers)
            if (peer->port == datagram.port
                && (peer->own == datagram.to
                    || (peer->hearsBroadcasts
                        && (datagram.to == broadcast || datagram.to == directedBroadcastOf (peer->own)))))
                peer->inbox.push_back (datagram.bytes);
    }
    changed.notify_all();
}

std::vector<SimulatedNetwork::Datagram> SimulatedNetwork::sent() const
{
    const std::lock_guard<std::mutex> l (lock);
    return log;
}

int SimulatedNetwork::openSockets (int port) const
{
    const std::lock_guard<std::mutex> l (lock);
    return (int) std::count_if (sockets.begin(), sockets.end(), [port] (Socket* s) { return s->port == port; });
}

int SimulatedNetwork::mostOpenAtOnce (int port) const
{
    const std::lock_guard<std::mutex> l (lock);
    const auto it = highWater.find (port);
    return it == highWater.end() ? 0 : it->second;
}

void SimulatedNetwork::failNextSocket()
{
    const std::lock_guard<std::mutex> l (lock);
    failNext = true;
}

void SimulatedNetwork::holdPortElsewhere (int port, bool held)
{
    const std::lock_guard<std::mutex> l (lock);
    if (held)
        heldElsewhere.insert (port);
    else
        heldElsewhere.erase (port);
}

void SimulatedNetwork::breakOpenSockets()
{
    {
        const std::lock_guard<std::mutex> l (lock);
        for (auto* socket : sockets)
            socket->broken = true;
    }
    changed.notify_all();
}

int SimulatedNetwork::waitsEnded() const
{
    const std::lock_guard<std::mutex> l (lock);
    return waits;
}

std::uint32_t SimulatedNetwork::address (const char* dotted)
{
    in_addr parsed {};
    inet_pton (AF_INET, dotted, &parsed);
    return parsed.s_addr;
}
