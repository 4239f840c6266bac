#pragma once

#include "RemoteFrames.h"
#include "RemoteProtocol.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace remote
{
    /** A phone connected with the right token, as the remote window lists it. */
    struct PhoneInfo
    {
        int id = 0;
        std::string address;   // dotted IPv4
        std::uint64_t commands = 0;
        std::uint64_t refusedRate = 0;   // over 200 a second, dropped
        std::uint64_t unreadable = 0;    // not a command, dropped
    };

    /** What the server turned away since it was made, for the window and the tests. */
    struct ServerTotals
    {
        std::uint64_t refusedConnections = 0;   // over Limits::maxConnections, or not from a local network
        std::uint64_t wrongToken = 0;
        std::uint64_t noHello = 0;
        std::uint64_t full = 0;
        std::uint64_t tooLarge = 0;
        std::uint64_t slow = 0;
        std::uint64_t refusedRate = 0;
        std::uint64_t unreadable = 0;
        std::uint64_t requestTimeouts = 0;
    };

    struct ServerOptions
    {
        Limits limits;
        /** Where to listen: every IPv4 interface by default. */
        std::string bindAddress = "0.0.0.0";
        /** Refuse peers outside the computer's own networks (and loopback). */
        bool localPeersOnly = true;
    };

    class ServerCore;

    /** The remote's HTTP and WebSocket server, on a thread of its own ("Remote server").

        It serves the page built into the program (RemoteAssets) to anyone on a local
        network and, on "/ws", a WebSocket to each phone that shows the token: at most
        Limits::maxPhones at once.  The rules of one phone are PhoneSession's; the server
        adds the sockets and their time-outs (a request not sent in time, a hello not said in
        time, a frame not taken in time all close the connection).

        Commands from phones go to the Listener on the server's thread: whoever acts on them
        posts them to its own thread.  Frames for phones (publish) are taken from any thread
        without waiting for any phone; each phone gets the newest frame of each kind, and a
        phone that connects later gets the newest of each at once.  Nothing here blocks the
        caller for longer than a hand-over to the server's thread.
    */
    class RemoteServer
    {
    public:
        /** Told on the server's thread; must not block. */
        class Listener
        {
        public:
            virtual ~Listener() = default;
            /** A command from phone `phone`, checked for shape (RemoteProtocol.h). */
            virtual void phoneCommand (int phone, const Command& command) = 0;
            /** A phone connected or left, or its counters changed (see phones()). */
            virtual void phonesChanged() = 0;
        };

        explicit RemoteServer (Listener& listener, ServerOptions options = {});
        /** Closes every connection and ends the server's thread (waiting briefly for the
            phones to be told). */
        ~RemoteServer();

        /** Listens on `port` (0: any free port) and accepts phones showing `token`.
            Returns "" when listening, else what went wrong in words for the user. */
        std::string start (int port, const std::string& token);

        /** Tells every phone "off", closes every connection and stops listening.  Returns
            at once. */
        void stop();

        /** True from a successful start to stop.  Any thread. */
        bool isListening() const;
        /** The port listened on (the one chosen for port 0), 0 when not listening. */
        int listeningPort() const;

        /** A new token: every phone is told "new code" and closed; phones must scan again. */
        void replaceToken (const std::string& token);

        /** The newest frame of `kind`, for every phone now and later.  Any thread. */
        void publish (FrameKind kind, std::string frame);

        /** The phones connected now (with the token).  Any thread. */
        std::vector<PhoneInfo> phones() const;

        ServerTotals totals() const;

    private:
        std::unique_ptr<ServerCore> impl;   // the server thread's side (RemoteServer.cpp)
    };
}
