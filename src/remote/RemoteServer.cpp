// The remote's sockets, with Boost.Beast: the one file that includes it (it compiles slowly).
// Everything below the public class runs on the server's own thread; the public calls hand
// their work over with asio::post.

#include <utility>   // before Asio (std::exchange)

#include "RemoteServer.h"

#include "LanAddresses.h"
#include "PhoneSession.h"
#include "RemoteAssets.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <pthread.h>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

namespace remote
{
    namespace asio = boost::asio;
    namespace beast = boost::beast;
    namespace http = beast::http;
    namespace websocket = beast::websocket;
    using tcp = asio::ip::tcp;
    using error_code = boost::system::error_code;

    namespace
    {
        constexpr std::size_t requestHeaderLimit = 8 * 1024;
        constexpr auto closeHandshakeTime = std::chrono::seconds (2);
        constexpr auto stopGrace = std::chrono::milliseconds (300);
        const char* const serverName = "zr-remote-connect";

        // Scripts, styles and connections only from the program itself; never in a frame.
        const char* const contentPolicy = "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
                                          "connect-src 'self'; base-uri 'none'; form-action 'none'; "
                                          "frame-ancestors 'none'";

        std::uint64_t nowMs()
        {
            using namespace std::chrono;
            return (std::uint64_t) duration_cast<milliseconds> (steady_clock::now().time_since_epoch()).count();
        }

        std::string describeBindError (const error_code& ec, int port)
        {
            if (ec == asio::error::address_in_use)
                return "Port " + std::to_string (port) + " is in use by another program.";
            if (ec == asio::error::access_denied)
                return "Port " + std::to_string (port) + " may not be used by this user.";
            if (ec == boost::system::errc::address_not_available)
                return "This computer has no such address to listen on.";
            return "The remote cannot listen on port " + std::to_string (port) + ": " + ec.message();
        }
    }

    class Connection;
    class PhoneConnection;

    //==============================================================================
    /** The server thread's side of RemoteServer: its members are touched on that thread
        only, except those marked as read from other threads. */
    class ServerCore
    {
    public:
        ServerCore (RemoteServer::Listener& l, ServerOptions o)
            : listener (l),
              options (std::move (o))
        {
        }

        RemoteServer::Listener& listener;
        const ServerOptions options;

        std::optional<asio::executor_work_guard<asio::io_context::executor_type>> work;
        std::thread thread;

        // The server's thread only.
        std::unique_ptr<tcp::acceptor> acceptor;
        std::string token;
        std::array<PhoneSession::Frame, frameKindCount> latest {};
        std::vector<std::weak_ptr<Connection>> connections;
        int nextPhoneId = 1;

        // Read from other threads.
        std::atomic<bool> listening { false };
        std::atomic<int> port { 0 };
        std::atomic<int> openConnections { 0 };
        mutable std::mutex infoLock;
        std::vector<PhoneInfo> phoneList;
        ServerTotals totalCounts;

        // Last, so it goes first: the connections its handlers still hold go with it, while
        // everything they touch on the way out is still there.
        asio::io_context io;

        void ensureThread();
        std::string listen (int port, const std::string& token);
        void accept();
        void accepted (tcp::socket socket);
        void closeAll (PhoneSession::CloseReason reason);
        void prune();
        bool roomForPhone() const;
        void publishNow (FrameKind kind, const PhoneSession::Frame& frame);
        void phonesChanged();

        template <typename Change>
        void count (Change change)
        {
            std::lock_guard<std::mutex> lock (infoLock);
            change (totalCounts);
        }
    };

    //==============================================================================
    /** Anything the server keeps open: an HTTP connection or a phone's WebSocket. */
    class Connection : public std::enable_shared_from_this<Connection>
    {
    public:
        explicit Connection (ServerCore& s)
            : server (s)
        {
            ++server.openConnections;
        }
        virtual ~Connection() { --server.openConnections; }

        /** Ends the connection for `reason` (a phone is told why first). */
        virtual void shutdown (PhoneSession::CloseReason reason) = 0;
        virtual PhoneConnection* asPhone() { return nullptr; }

    protected:
        ServerCore& server;
    };

    //==============================================================================
    /** A phone's WebSocket: its session's rules, its time-outs, one frame written at a time. */
    class PhoneConnection : public Connection
    {
    public:
        PhoneConnection (ServerCore& s, tcp::socket socket, std::string peerAddress)
            : Connection (s),
              ws (std::move (socket)),
              helloTimer (ws.get_executor()),
              writeTimer (ws.get_executor()),
              session (s.nextPhoneId++, s.options.limits, nowMs()),
              address (std::move (peerAddress))
        {
        }

        void run (http::request<http::empty_body> request)
        {
            beast::get_lowest_layer (ws).expires_never();   // the WebSocket keeps its own time
            websocket::stream_base::timeout timeouts {};
            timeouts.handshake_timeout = closeHandshakeTime;
            timeouts.idle_timeout = websocket::stream_base::none();
            timeouts.keep_alive_pings = false;
            ws.set_option (timeouts);
            ws.set_option (websocket::stream_base::decorator ([] (websocket::response_type& response)
                                                              { response.set (http::field::server, serverName); }));
            ws.read_message_max (server.options.limits.maxFrameBytes);
            ws.auto_fragment (false);

            auto self = shared();
            ws.async_accept (request, [self] (error_code ec) { self->accepted (ec); });
        }

        void shutdown (PhoneSession::CloseReason reason) override
        {
            if (finished || session.getState() == PhoneSession::State::closing)
                return;
            session.beginClose (reason);
            if (announced)
                server.phonesChanged();   // no longer one of the phones, though still saying goodbye
            flush();
        }

        PhoneConnection* asPhone() override { return this; }

        bool isConnected() const { return ! finished && session.getState() == PhoneSession::State::connected; }

        void offer (FrameKind kind, const PhoneSession::Frame& frame)
        {
            if (finished)
                return;
            session.offer (kind, frame);
            flush();
        }

        PhoneInfo info() const
        {
            const auto& c = session.counters();
            return { session.getId(), address, c.commands, c.refusedRate, c.unreadable };
        }

    private:
        std::shared_ptr<PhoneConnection> shared()
        {
            return std::static_pointer_cast<PhoneConnection> (shared_from_this());
        }

        void accepted (error_code ec)
        {
            if (ec)
                return finish();
            helloTimer.expires_after (std::chrono::milliseconds (server.options.limits.helloTimeoutMs));
            auto self = shared();
            helloTimer.async_wait (
                [self] (error_code timerError)
                {
                    if (! timerError && self->session.helloOverdue (nowMs()))
                    {
                        self->server.count ([] (ServerTotals& t) { ++t.noHello; });
                        self->shutdown (PhoneSession::CloseReason::helloTimeout);
                    }
                });
            read();
        }

        void read()
        {
            auto self = shared();
            ws.async_read (buffer, [self] (error_code ec, std::size_t) { self->received (ec); });
        }

        void received (error_code ec)
        {
            if (ec)
            {
                if (ec == websocket::error::message_too_big)
                    server.count ([] (ServerTotals& t) { ++t.tooLarge; });
                return finish();
            }
            if (finished || session.getState() == PhoneSession::State::closing)
                return;
            if (! ws.got_text())
            {
                buffer.consume (buffer.size());
                shutdown (PhoneSession::CloseReason::notText);
                return;
            }

            const auto data = buffer.data();
            const std::string_view text (static_cast<const char*> (data.data()), data.size());
            const bool wasConnected = session.getState() == PhoneSession::State::connected;
            const auto before = session.counters();
            const auto reaction = session.receive (text, server.token, server.roomForPhone(), nowMs());
            buffer.consume (buffer.size());
            react (reaction, wasConnected, before);
            if (session.getState() != PhoneSession::State::closing)
                read();
        }

        void react (const PhoneSession::Reaction& reaction, bool wasConnected, const PhoneSession::Counters& before)
        {
            switch (reaction.kind)
            {
                case PhoneSession::Reaction::welcome:
                    announced = true;
                    helloTimer.cancel();
                    session.say (session.welcomeText());
                    for (std::size_t kind = 0; kind < frameKindCount; ++kind)
                        session.offer ((FrameKind) kind, server.latest[kind]);
                    server.phonesChanged();   // listed before it hears its welcome
                    flush();
                    break;
                case PhoneSession::Reaction::deliver:
                    server.listener.phoneCommand (session.getId(), reaction.command);
                    break;
                case PhoneSession::Reaction::close:
                    if (reaction.reason == PhoneSession::CloseReason::full)
                        server.count ([] (ServerTotals& t) { ++t.full; });
                    else
                        server.count ([] (ServerTotals& t) { ++t.wrongToken; });
                    shutdown (reaction.reason);
                    break;
                case PhoneSession::Reaction::nothing: break;
            }

            const auto& after = session.counters();
            if (wasConnected && (after.refusedRate != before.refusedRate || after.unreadable != before.unreadable))
            {
                server.count (
                    [&] (ServerTotals& t)
                    {
                        t.refusedRate += after.refusedRate - before.refusedRate;
                        t.unreadable += after.unreadable - before.unreadable;
                    });
                server.phonesChanged();
            }
        }

        void flush()
        {
            if (finished || writing || closing)
                return;
            auto frame = session.nextFrame();
            if (frame == nullptr)
            {
                if (session.getState() == PhoneSession::State::closing)
                    closeSocket();
                return;
            }

            writing = true;
            writeTimer.expires_after (std::chrono::milliseconds (server.options.limits.writeTimeoutMs));
            auto self = shared();
            writeTimer.async_wait (
                [self] (error_code ec)
                {
                    if (ec || ! self->writing)
                        return;
                    // The phone does not take what is sent: it is gone or stuck.
                    self->server.count ([] (ServerTotals& t) { ++t.slow; });
                    self->finish();
                });
            ws.text (true);
            ws.async_write (asio::buffer (*frame),
                            [self, frame] (error_code ec, std::size_t)
                            {
                                self->writing = false;
                                self->writeTimer.cancel();
                                if (ec)
                                    return self->finish();
                                self->flush();
                            });
        }

        void closeSocket()
        {
            closing = true;
            auto self = shared();
            ws.async_close (websocket::close_code::normal, [self] (error_code) { self->finish(); });
        }

        void finish()
        {
            if (finished)
                return;
            finished = true;
            helloTimer.cancel();
            writeTimer.cancel();
            error_code ignored;
            beast::get_lowest_layer (ws).socket().close (ignored);
            if (announced)
                server.phonesChanged();
        }

        websocket::stream<beast::tcp_stream> ws;
        beast::flat_buffer buffer;
        asio::steady_timer helloTimer;
        asio::steady_timer writeTimer;
        PhoneSession session;
        const std::string address;
        bool announced = false;   // welcomed: the window lists it
        bool writing = false;
        bool closing = false;
        bool finished = false;
    };

    //==============================================================================
    /** One HTTP connection: the page's files, and the hand-over of "/ws" to a phone. */
    class HttpConnection : public Connection
    {
    public:
        HttpConnection (ServerCore& s, tcp::socket socket, std::string peerAddress)
            : Connection (s),
              stream (std::move (socket)),
              address (std::move (peerAddress))
        {
        }

        void run() { read(); }

        void shutdown (PhoneSession::CloseReason) override
        {
            error_code ignored;
            stream.socket().shutdown (tcp::socket::shutdown_both, ignored);
            stream.close();
        }

    private:
        void read()
        {
            parser.emplace();
            parser->header_limit (requestHeaderLimit);
            stream.expires_after (std::chrono::milliseconds (server.options.limits.requestTimeoutMs));
            auto self = std::static_pointer_cast<HttpConnection> (shared_from_this());
            http::async_read (stream, buffer, *parser, [self] (error_code ec, std::size_t) { self->received (ec); });
        }

        void received (error_code ec)
        {
            if (ec == beast::error::timeout)
                server.count ([] (ServerTotals& t) { ++t.requestTimeouts; });
            if (ec)
                return shutdown (PhoneSession::CloseReason::stopped);

            auto request = parser->release();
            if (websocket::is_upgrade (request))
                return upgrade (std::move (request));
            respond (request);
        }

        void upgrade (http::request<http::empty_body> request)
        {
            if (request.target() != "/ws" || ! sameOrigin (request))
                return refuse (request, http::status::forbidden);
            auto phone = std::make_shared<PhoneConnection> (server, stream.release_socket(), address);
            server.connections.push_back (phone);
            phone->run (std::move (request));
        }

        /** A browser names the page's origin; it must be this server as the page reached it. */
        static bool sameOrigin (const http::request<http::empty_body>& request)
        {
            const auto origin = request.find (http::field::origin);
            if (origin == request.end())
                return true;   // not a browser: the token alone decides
            const auto host = request.find (http::field::host);
            return host != request.end() && origin->value() == "http://" + std::string (host->value());
        }

        void respond (const http::request<http::empty_body>& request)
        {
            if (request.method() != http::verb::get && request.method() != http::verb::head)
                return refuse (request, http::status::method_not_allowed);
            const auto* asset = findAsset (std::string_view (request.target().data(), request.target().size()));
            if (asset == nullptr)
                return refuse (request, http::status::not_found);

            if (request.method() == http::verb::head)
            {
                // The header alone, with the length the file would have.
                auto response = std::make_shared<http::response<http::empty_body>> (http::status::ok,
                                                                                    request.version());
                describeFile (*response, request, *asset);
                return send (response, request.keep_alive());
            }
            auto response = std::make_shared<http::response<http::buffer_body>> (http::status::ok, request.version());
            describeFile (*response, request, *asset);
            response->body().data = const_cast<unsigned char*> (asset->data);
            response->body().size = asset->size;
            response->body().more = false;
            send (response, request.keep_alive());
        }

        template <typename Response>
        static void describeFile (Response& response, const http::request<http::empty_body>& request,
                                  const Asset& asset)
        {
            setCommonFields (response, request);
            response.set (http::field::content_type,
                          beast::string_view (asset.contentType.data(), asset.contentType.size()));
            response.set (http::field::cache_control, "no-cache");
            response.content_length (asset.size);
        }

        void refuse (const http::request<http::empty_body>& request, http::status status)
        {
            auto response = std::make_shared<http::response<http::string_body>> (status, request.version());
            setCommonFields (*response, request);
            response->set (http::field::content_type, "text/plain; charset=utf-8");
            response->body() = std::string (http::obsolete_reason (status)) + "\n";
            response->prepare_payload();
            send (response, false);
        }

        template <typename Response>
        static void setCommonFields (Response& response, const http::request<http::empty_body>& request)
        {
            response.set (http::field::server, serverName);
            response.set ("X-Content-Type-Options", "nosniff");
            response.set ("Referrer-Policy", "no-referrer");
            response.set ("Content-Security-Policy", contentPolicy);
            response.keep_alive (request.keep_alive());
        }

        template <typename Response>
        void send (std::shared_ptr<Response> response, bool keepAlive)
        {
            response->keep_alive (keepAlive);
            auto self = std::static_pointer_cast<HttpConnection> (shared_from_this());
            http::async_write (stream, *response,
                               [self, response, keepAlive] (error_code ec, std::size_t)
                               {
                                   if (ec || ! keepAlive)
                                       return self->shutdown (PhoneSession::CloseReason::stopped);
                                   self->read();
                               });
        }

        beast::tcp_stream stream;
        beast::flat_buffer buffer;
        std::optional<http::request_parser<http::empty_body>> parser;
        const std::string address;
    };

    //==============================================================================
    void ServerCore::ensureThread()
    {
        if (thread.joinable())
            return;
        work.emplace (io.get_executor());
        thread = std::thread (
            [this]
            {
                pthread_setname_np (pthread_self(), "Remote server");
                io.run();
            });
    }

    std::string ServerCore::listen (int requestedPort, const std::string& newToken)
    {
        error_code ec;
        const auto bindTo = asio::ip::make_address (options.bindAddress, ec);
        if (ec)
            return "The remote cannot listen on " + options.bindAddress + ".";

        auto newAcceptor = std::make_unique<tcp::acceptor> (io);
        newAcceptor->open (tcp::v4(), ec);
        if (! ec)
            newAcceptor->set_option (asio::socket_base::reuse_address (true), ec);
        if (! ec)
            newAcceptor->bind (tcp::endpoint (bindTo, (unsigned short) requestedPort), ec);
        if (! ec)
            newAcceptor->listen (asio::socket_base::max_listen_connections, ec);
        if (ec)
            return describeBindError (ec, requestedPort);

        acceptor = std::move (newAcceptor);
        token = newToken;
        port = acceptor->local_endpoint().port();
        listening = true;
        accept();
        return {};
    }

    void ServerCore::accept()
    {
        if (acceptor == nullptr)
            return;
        acceptor->async_accept (
            [this, current = acceptor.get()] (error_code ec, tcp::socket socket)
            {
                if (ec == asio::error::operation_aborted || acceptor.get() != current)
                    return;   // stopped, or started anew
                if (! ec)
                    accepted (std::move (socket));
                accept();
            });
    }

    void ServerCore::accepted (tcp::socket socket)
    {
        prune();
        error_code ec;
        const auto peer = socket.remote_endpoint (ec);
        const auto peerAddress = ! ec && peer.address().is_v4() ? peer.address().to_v4().to_uint() : 0u;
        const bool local = ! options.localPeersOnly || LanAddresses::isLocalPeer (peerAddress, LanAddresses::current());
        if (ec || ! local || (int) connections.size() >= options.limits.maxConnections)
        {
            count ([] (ServerTotals& t) { ++t.refusedConnections; });
            socket.close (ec);
            return;
        }
        auto connection = std::make_shared<HttpConnection> (*this, std::move (socket),
                                                            LanAddresses::dotted (peerAddress));
        connections.push_back (connection);
        connection->run();
    }

    void ServerCore::prune()
    {
        connections.erase (std::remove_if (connections.begin(), connections.end(),
                                           [] (const std::weak_ptr<Connection>& c) { return c.expired(); }),
                           connections.end());
    }

    bool ServerCore::roomForPhone() const
    {
        int phones = 0;
        for (const auto& weak : connections)
            if (auto c = weak.lock(); c != nullptr && c->asPhone() != nullptr && c->asPhone()->isConnected())
                ++phones;
        return phones < options.limits.maxPhones;
    }

    void ServerCore::closeAll (PhoneSession::CloseReason reason)
    {
        for (const auto& weak : connections)
            if (auto c = weak.lock())
                c->shutdown (reason);
    }

    void ServerCore::publishNow (FrameKind kind, const PhoneSession::Frame& frame)
    {
        latest[(std::size_t) kind] = frame;
        for (const auto& weak : connections)
            if (auto c = weak.lock(); c != nullptr && c->asPhone() != nullptr)
                c->asPhone()->offer (kind, frame);
    }

    void ServerCore::phonesChanged()
    {
        std::vector<PhoneInfo> list;
        for (const auto& weak : connections)
            if (auto c = weak.lock(); c != nullptr && c->asPhone() != nullptr && c->asPhone()->isConnected())
                list.push_back (c->asPhone()->info());
        {
            std::lock_guard<std::mutex> lock (infoLock);
            phoneList = std::move (list);
        }
        listener.phonesChanged();
    }

    //==============================================================================
    RemoteServer::RemoteServer (Listener& listener, ServerOptions options)
        : impl (std::make_unique<ServerCore> (listener, std::move (options)))
    {
    }

    RemoteServer::~RemoteServer()
    {
        if (! impl->thread.joinable())
            return;
        stop();
        // The phones are told "off" while there is time; then the thread ends either way.
        const auto giveUp = std::chrono::steady_clock::now() + stopGrace;
        while (impl->openConnections.load() > 0 && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for (std::chrono::milliseconds (5));
        impl->work.reset();
        impl->io.stop();
        impl->thread.join();
        impl->acceptor.reset();
    }

    std::string RemoteServer::start (int port, const std::string& token)
    {
        impl->ensureThread();
        std::promise<std::string> result;
        auto outcome = result.get_future();
        asio::post (impl->io,
                    [this, port, token, &result]
                    {
                        impl->closeAll (PhoneSession::CloseReason::stopped);
                        impl->acceptor.reset();
                        impl->latest = {};
                        result.set_value (impl->listen (port, token));
                    });
        // The server's thread only ever waits on sockets, so this is a hand-over, not a wait.
        return outcome.get();
    }

    void RemoteServer::stop()
    {
        impl->listening = false;
        impl->port = 0;
        if (! impl->thread.joinable())
            return;
        asio::post (impl->io,
                    [this]
                    {
                        impl->closeAll (PhoneSession::CloseReason::stopped);
                        impl->acceptor.reset();
                        impl->latest = {};
                        impl->token.clear();
                    });
    }

    bool RemoteServer::isListening() const
    {
        return impl->listening.load();
    }

    int RemoteServer::listeningPort() const
    {
        return impl->port.load();
    }

    void RemoteServer::replaceToken (const std::string& token)
    {
        if (! impl->thread.joinable())
            return;
        asio::post (impl->io,
                    [this, token]
                    {
                        impl->token = token;
                        for (const auto& weak : impl->connections)
                            if (auto c = weak.lock(); c != nullptr && c->asPhone() != nullptr)
                                c->shutdown (PhoneSession::CloseReason::newCode);
                    });
    }

    void RemoteServer::publish (FrameKind kind, std::string frame)
    {
        if (! isListening())
            return;
        auto shared = std::make_shared<const std::string> (std::move (frame));
        asio::post (impl->io,
                    [this, kind, shared]
                    {
                        if (impl->acceptor != nullptr)
                            impl->publishNow (kind, shared);
                    });
    }

    std::vector<PhoneInfo> RemoteServer::phones() const
    {
        std::lock_guard<std::mutex> lock (impl->infoLock);
        return impl->phoneList;
    }

    ServerTotals RemoteServer::totals() const
    {
        std::lock_guard<std::mutex> lock (impl->infoLock);
        return impl->totalCounts;
    }
}
