#pragma once

#include "DatagramSocket.h"
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

/** A simulated IPv4 network in the test process, for the hub and the UDP transport: no real
    socket is opened, so the tests need no network namespace and nothing can leave the
    machine.

    The program's sockets come from makeSocket() (HubOptions::makeSocket): each is bound to
    its port on every address, as the real one is, and keeps the promises of DatagramSocket
    (numeric addresses only, nothing sent to 0.0.0.0/8, whole lengths of oversized
    datagrams, remembered wake-ups).  Peers stand for other hosts: a peer has an address and
    a port, receives what the program sends to its address on that port (and broadcasts to
    255.255.255.255 when it listens for them), and sends to the program's port.  Tests can
    also inject any datagram (empty, oversized) from any address, and read back every
    datagram the program sent, with its destination.

    Thread-safe.  The network must outlive every socket and peer made from it.
*/
class SimulatedNetwork
{
public:
    static constexpr std::uint32_t broadcast = 0xFFFFFFFFu;

    struct Datagram
    {
        std::uint32_t to = 0;   // network byte order
        int port = 0;
        std::vector<char> bytes;
    };

    /** Another host on the network. */
    class Peer
    {
    public:
        Peer (SimulatedNetwork& network, const char* dottedAddress, int port);
        ~Peer();
        Peer (const Peer&) = delete;
        Peer& operator= (const Peer&) = delete;

        /** Sends to the program's sockets on the peer's port, from the peer's address. */
        void send (const std::vector<char>& bytes);

        /** The next datagram that reached this peer, waiting up to `timeoutMs`; empty when
            none came. */
        std::vector<char> receive (int timeoutMs);

        /** Whether broadcasts reach this peer too: to 255.255.255.255 and to its /24
            network's directed broadcast address (off by default, like a socket bound to
            its own address). */
        void hearBroadcasts (bool hear);

        std::uint32_t address() const { return own; }

    private:
        friend class SimulatedNetwork;
        SimulatedNetwork& network;
        const std::uint32_t own;
        const int port;
        bool hearsBroadcasts = false;
        std::deque<std::vector<char>> inbox;
    };

    SimulatedNetwork();
    ~SimulatedNetwork();

    /** A program socket bound to `port`. */
    std::unique_ptr<DatagramSocket> makeSocket (int port);

    /** makeSocket, in the shape HubOptions takes. */
    std::function<std::unique_ptr<DatagramSocket> (int)> socketMaker();

    /** The directed broadcast addresses of the program host's interfaces (dotted), none
        at first: what a search sends to besides 255.255.255.255. */
    void setInterfaceBroadcasts (const std::vector<std::string>& dotted);

    /** The interfaces' broadcasts as they are at each call, in the shape HubOptions takes. */
    std::function<std::vector<std::uint32_t>()> broadcastLister();

    /** Delivers `bytes` as if `from` had sent it to `port`: every open program socket bound
        to the port gets it.  Returns how many did. */
    int inject (std::uint32_t from, int port, const std::vector<char>& bytes);

    /** Every datagram the program's sockets sent, oldest first. */
    std::vector<Datagram> sent() const;

    /** Program sockets bound to `port` now, and the most there ever were at once. */
    int openSockets (int port) const;
    int mostOpenAtOnce (int port) const;

    /** The next socket made cannot be opened (as when the process has no sockets left). */
    void failNextSocket();

    /** While `held`, another program holds `port`: program sockets made for it meanwhile
        do not hold it (DatagramSocket::holdsPort) and receive nothing, all their life. */
    void holdPortElsewhere (int port, bool held);

    /** Every open program socket reports failure from now on (as on a socket error). */
    void breakOpenSockets();

    /** How many waits of the program's sockets have ended so far: each is one wake-up of
        the thread that receives. */
    int waitsEnded() const;

    /** The address of a dotted IPv4 text, in network byte order. */
    static std::uint32_t address (const char* dotted);

private:
    class Socket;

    void deliverFromProgram (const Datagram& datagram);

    mutable std::mutex lock;
    std::condition_variable changed;
    std::vector<Socket*> sockets;
    std::vector<Peer*> peers;
    std::vector<Datagram> log;
    std::map<int, int> highWater;
    std::set<int> heldElsewhere;
    std::vector<std::uint32_t> interfaceBroadcasts;
    bool failNext = false;
    int waits = 0;
};
