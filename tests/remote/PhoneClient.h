#pragma once

// A phone as the server sees it, written with plain sockets so that it can also misbehave:
// send nothing, send half a request, send frames too large or too many, never read.  Every
// wait is bounded.  Loopback only.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

class PhoneClient
{
public:
    struct Frame
    {
        int opcode = 0;   // 1 text, 2 binary, 8 close
        std::string payload;
    };

    /** Connects to 127.0.0.1:port; `receiveBuffer` > 0 makes the socket's receive buffer that
        small (a phone that reads slowly fills up soon). */
    explicit PhoneClient (int port, int receiveBuffer = 0)
    {
        fd = ::socket (AF_INET, SOCK_STREAM, 0);
        if (receiveBuffer > 0)
            ::setsockopt (fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_port = htons ((std::uint16_t) port);
        address.sin_addr.s_addr = htonl (INADDR_LOOPBACK);
        connected = ::connect (fd, reinterpret_cast<sockaddr*> (&address), sizeof address) == 0;
        const int one = 1;
        ::setsockopt (fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }

    ~PhoneClient()
    {
        if (fd >= 0)
            ::close (fd);
    }

    PhoneClient (const PhoneClient&) = delete;
    PhoneClient& operator= (const PhoneClient&) = delete;

    bool isConnected() const { return connected; }

    bool sendRaw (const std::string& bytes)
    {
        std::size_t sent = 0;
        while (sent < bytes.size())
        {
            const auto n = ::send (fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            sent += (std::size_t) n;
        }
        return true;
    }

    /** A whole HTTP exchange: the response's status line, headers and body as one text. */
    std::string request (const std::string& method, const std::string& target, int timeoutMs = 3000)
    {
        sendRaw (method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
        std::string response;
        while (auto chunk = receive (timeoutMs))
            response += *chunk;
        return response;
    }

    /** The WebSocket upgrade on `target`; the response's status code (101 when upgraded). */
    int upgrade (const std::string& target = "/ws", const std::string& origin = {})
    {
        std::string text = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string (portOf())
                           + "\r\n"
                             "Upgrade: websocket\r\nConnection: Upgrade\r\n"
                             "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n";
        if (! origin.empty())
            text += "Origin: " + origin + "\r\n";
        sendRaw (text + "\r\n");

        while (pending.find ("\r\n\r\n") == std::string::npos)
        {
            auto chunk = receive (3000);
            if (! chunk)
                return 0;
            pending += *chunk;
        }
        const auto end = pending.find ("\r\n\r\n");
        const auto head = pending.substr (0, end);
        pending.erase (0, end + 4);
        return head.size() > 12 ? std::stoi (head.substr (9, 3)) : 0;
    }

    /** A masked frame, as a browser sends it. */
    bool sendFrame (int opcode, const std::string& payload) { return sendRaw (frameBytes (opcode, payload)); }

    static std::string frameBytes (int opcode, const std::string& payload)
    {
        std::string frame;
        frame += (char) (0x80 | opcode);
        const auto size = payload.size();
        if (size < 126)
        {
            frame += (char) (0x80 | size);
        }
        else if (size < 65536)
        {
            frame += (char) (0x80 | 126);
            frame += (char) (size >> 8);
            frame += (char) (size & 255);
        }
        else
        {
            frame += (char) (0x80 | 127);
            for (int shift = 56; shift >= 0; shift -= 8)
                frame += (char) ((std::uint64_t) size >> shift);
        }
        const char mask[4] = { 0x12, 0x34, 0x56, 0x78 };
        frame.append (mask, 4);
        for (std::size_t i = 0; i < size; ++i)
            frame += (char) (payload[i] ^ mask[i % 4]);
        return frame;
    }

    bool sendText (const std::string& text) { return sendFrame (1, text); }

    /** The next frame, or nothing when none comes within `timeoutMs` or the connection ends. */
    std::optional<Frame> readFrame (int timeoutMs = 3000)
    {
        if (! fill (2, timeoutMs))
            return std::nullopt;
        const auto b0 = (unsigned char) pending[0];
        const auto b1 = (unsigned char) pending[1];
        std::size_t header = 2;
        std::uint64_t size = b1 & 0x7F;
        if (size == 126)
        {
            if (! fill (4, timeoutMs))
                return std::nullopt;
            size = ((std::uint64_t) (unsigned char) pending[2] << 8) | (unsigned char) pending[3];
            header = 4;
        }
        else if (size == 127)
        {
            if (! fill (10, timeoutMs))
                return std::nullopt;
            size = 0;
            for (int i = 0; i < 8; ++i)
                size = (size << 8) | (unsigned char) pending[(std::size_t) (2 + i)];
            header = 10;
        }
        if (! fill (header + size, timeoutMs))
            return std::nullopt;
        Frame frame { b0 & 0x0F, pending.substr (header, size) };
        pending.erase (0, header + size);
        if (frame.opcode == 8 && ! closeAnswered)
        {
            closeAnswered = true;   // as a browser does
            sendFrame (8, frame.payload.substr (0, 2));
        }
        return frame;
    }

    /** Text frames until one of kind `type` ("t"); nothing if it does not come in time. */
    std::optional<std::string> readUntil (const std::string& type, int timeoutMs = 3000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds (timeoutMs);
        while (std::chrono::steady_clock::now() < end)
        {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds> (
                end - std::chrono::steady_clock::now());
            const auto frame = readFrame ((int) left.count() + 1);
            if (! frame)
                return std::nullopt;
            if (frame->opcode == 1 && frame->payload.find ("\"t\":\"" + type + "\"") != std::string::npos)
                return frame->payload;
        }
        return std::nullopt;
    }

    /** True when the server ends the connection within `timeoutMs` (whatever it sends
        first; a close frame is answered as a browser answers it). */
    bool closedWithin (int timeoutMs)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds (timeoutMs);
        while (! ended && std::chrono::steady_clock::now() < end)
        {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds> (
                end - std::chrono::steady_clock::now());
            if (! readFrame ((int) left.count() + 1) && ! ended)
            {
                // Not a whole frame: an HTTP connection, or bytes that end with the connection.
                if (auto chunk = receive ((int) left.count() + 1))
                    pending += *chunk;
            }
        }
        return ended;
    }

    /** Connects, upgrades and says hello with `token`; true once welcomed. */
    bool join (const std::string& token)
    {
        return isConnected() && upgrade() == 101 && sendText (helloFor (token)) && readUntil ("welcome").has_value();
    }

    static std::string helloFor (const std::string& token) { return R"({"t":"hello","v":1,"k":")" + token + "\"}"; }

private:
    std::optional<std::string> receive (int timeoutMs)
    {
        pollfd p { fd, POLLIN, 0 };
        if (::poll (&p, 1, timeoutMs) <= 0)
            return std::nullopt;
        char buffer[65536];
        const auto n = ::recv (fd, buffer, sizeof buffer, 0);
        if (n <= 0)
        {
            ended = true;
            ::shutdown (fd, SHUT_RDWR);   // as a browser does once the server has closed
            return std::nullopt;
        }
        return std::string (buffer, (std::size_t) n);
    }

    bool fill (std::size_t wanted, int timeoutMs)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds (timeoutMs);
        while (pending.size() < wanted)
        {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds> (
                end - std::chrono::steady_clock::now());
            if (left.count() < 0)
                return false;
            auto chunk = receive ((int) left.count() + 1);
            if (! chunk)
                return false;
            pending += *chunk;
        }
        return true;
    }

    int portOf() const
    {
        sockaddr_in address {};
        socklen_t length = sizeof address;
        ::getpeername (fd, reinterpret_cast<sockaddr*> (&address), &length);
        return ntohs (address.sin_port);
    }

    int fd = -1;
    bool connected = false;
    bool closeAnswered = false;
    bool ended = false;   // the server closed the connection
    std::string pending;
};
