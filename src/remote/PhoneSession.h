#pragma once

#include "RateLimiter.h"
#include "RemoteFrames.h"
#include "RemoteProtocol.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

namespace remote
{
    /** What the server knows of one phone's WebSocket, without the socket: whether it has
        said hello with the right token, what it may send (rate limit, shape), and what waits
        to be sent to it.

        Outgoing state frames wait in one slot per kind: a newer frame of a kind replaces the
        one not yet sent, so a phone that reads slowly gets the newest state and the memory
        a phone can hold is bounded; the kinds take turns.  Greeting and farewell frames go
        first, in order.
        Time is passed in.  The server's thread only.
    */
    class PhoneSession
    {
    public:
        using Frame = std::shared_ptr<const std::string>;

        enum class State
        {
            awaitingHello,
            connected,
            closing
        };

        /** Why the server closes a phone; byeText() tells the page. */
        enum class CloseReason
        {
            wrongToken,     // a first message that is not a hello with the current token
            helloTimeout,   // no hello in time
            full,           // Limits::maxPhones are connected already
            newCode,        // the token was replaced: every phone must scan again
            stopped,        // the remote was switched off
            tooLarge,       // a frame over Limits::maxFrameBytes
            notText,        // a binary frame
            writeTimeout    // the phone stopped reading
        };

        struct Reaction
        {
            enum Kind
            {
                nothing,   // dropped (unreadable or over the rate), or not yet connected
                welcome,   // the hello was right: send the welcome and the state
                deliver,   // hand `command` to the program
                close      // say bye with `reason` and close
            };
            Kind kind = nothing;
            Command command;
            CloseReason reason = CloseReason::wrongToken;
        };

        struct Counters
        {
            std::uint64_t received = 0;      // text frames
            std::uint64_t commands = 0;      // delivered
            std::uint64_t refusedRate = 0;   // over the rate
            std::uint64_t unreadable = 0;    // not a command the program knows
            std::uint64_t superseded = 0;    // state frames replaced before they were sent
            std::uint64_t sent = 0;          // frames handed to the socket
        };

        PhoneSession (int id, const Limits& limits, std::uint64_t openedMs);

        int getId() const noexcept { return id; }
        State getState() const noexcept { return state; }
        const Counters& counters() const noexcept { return count; }

        /** A text frame from the phone.  Before the hello only a hello carrying `token`
            (and `roomForPhone`) connects it; anything else closes.  Once connected, a
            frame over the rate or one that reads as no command is dropped and counted. */
        Reaction receive (std::string_view text, std::string_view token, bool roomForPhone, std::uint64_t nowMs);

        /** True when no hello came within the limit. */
        bool helloOverdue (std::uint64_t nowMs) const;

        /** The session is closing for `reason`: its bye goes out before anything else
            waiting, and nothing more is offered. */
        void beginClose (CloseReason reason);

        /** The newest frame of `kind` for a connected phone (replacing one not yet sent). */
        void offer (FrameKind kind, Frame frame);

        /** A greeting or farewell, sent in order before any state frame. */
        void say (std::string text);

        /** The next frame to send, or null when nothing waits. */
        Frame nextFrame();

        /** The welcome for this phone: protocol version, its number, what it may do. */
        std::string welcomeText() const;

        /** {"t":"bye","why":...}: "token", "time", "full", "new code", "off", "too large",
            "not text", "slow". */
        static std::string byeText (CloseReason reason);

    private:
        const int id;
        const Limits limits;
        const std::uint64_t openedMs;
        State state = State::awaitingHello;
        RateLimiter rate;
        Counters count;
        std::deque<Frame> spoken;
        std::array<Frame, frameKindCount> waiting {};
        std::size_t nextKind = 0;
    };
}
