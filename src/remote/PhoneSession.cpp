#include "PhoneSession.h"

#include "JsonWriter.h"
#include "RemoteToken.h"

namespace remote
{
    PhoneSession::PhoneSession (int phoneId, const Limits& sessionLimits, std::uint64_t opened)
        : id (phoneId),
          limits (sessionLimits),
          openedMs (opened),
          rate (sessionLimits.messagesPerSecond)
    {
    }

    PhoneSession::Reaction PhoneSession::receive (std::string_view text, std::string_view token, bool roomForPhone,
                                                  std::uint64_t nowMs)
    {
        Reaction reaction;
        if (state == State::closing)
            return reaction;
        ++count.received;

        if (state == State::awaitingHello)
        {
            const auto command = parseCommand (text);
            reaction.kind = Reaction::close;
            if (! command || command->kind != CommandKind::hello || ! RemoteToken::matches (token, command->token))
                reaction.reason = CloseReason::wrongToken;
            else if (! roomForPhone)
                reaction.reason = CloseReason::full;
            else
            {
                state = State::connected;
                reaction.kind = Reaction::welcome;
            }
            return reaction;
        }

        if (! rate.admit (nowMs))
        {
            count.refusedRate = rate.refused();
            return reaction;
        }
        auto command = parseCommand (text);
        if (! command || command->kind == CommandKind::hello)
        {
            ++count.unreadable;
            return reaction;
        }
        ++count.commands;
        reaction.kind = Reaction::deliver;
        reaction.command = std::move (*command);
        return reaction;
    }

    bool PhoneSession::helloOverdue (std::uint64_t nowMs) const
    {
        return state == State::awaitingHello && nowMs >= openedMs + (std::uint64_t) limits.helloTimeoutMs;
    }

    void PhoneSession::beginClose (CloseReason reason)
    {
        if (state == State::closing)
            return;
        state = State::closing;
        for (auto& frame : waiting)
            frame.reset();
        spoken.push_front (std::make_shared<const std::string> (byeText (reason)));
    }

    void PhoneSession::offer (FrameKind kind, Frame frame)
    {
        if (state != State::connected || frame == nullptr)
            return;
        auto& slot = waiting[(std::size_t) kind];
        if (slot != nullptr)
            ++count.superseded;
        slot = std::move (frame);
    }

    void PhoneSession::say (std::string text)
    {
        // Greetings and farewells are few: a handful per session at most.
        if (spoken.size() < 4)
            spoken.push_back (std::make_shared<const std::string> (std::move (text)));
    }

    PhoneSession::Frame PhoneSession::nextFrame()
    {
        Frame frame;
        if (! spoken.empty())
        {
            frame = std::move (spoken.front());
            spoken.pop_front();
        }
        else
        {
            // In turn, so a kind published often (the meters) never starves the others.
            for (std::size_t i = 0; i < frameKindCount && frame == nullptr; ++i)
            {
                auto& slot = waiting[(nextKind + i) % frameKindCount];
                if (slot != nullptr)
                {
                    frame = std::move (slot);
                    slot.reset();
                    nextKind = (nextKind + i + 1) % frameKindCount;
                }
            }
        }
        if (frame != nullptr)
            ++count.sent;
        return frame;
    }

    std::string PhoneSession::welcomeText() const
    {
        std::vector<std::string> can;
        for (const char* kind :
             { "gain", "mute", "link", "band", "bypass", "recall", "undo", "redo", "compare", "copy" })
            can.push_back (JsonWriter::quote (kind));
        return JsonWriter()
            .field ("t", "welcome")
            .field ("v", protocolVersion)
            .field ("phone", id)
            .raw ("can", JsonWriter::array (can))
            .text();
    }

    std::string PhoneSession::byeText (CloseReason reason)
    {
        const char* why = "token";
        switch (reason)
        {
            case CloseReason::wrongToken: why = "token"; break;
            case CloseReason::helloTimeout: why = "time"; break;
            case CloseReason::full: why = "full"; break;
            case CloseReason::newCode: why = "new code"; break;
            case CloseReason::stopped: why = "off"; break;
            case CloseReason::tooLarge: why = "too large"; break;
            case CloseReason::notText: why = "not text"; break;
            case CloseReason::writeTimeout: why = "slow"; break;
        }
        return JsonWriter().field ("t", "bye").field ("why", why).text();
    }
}
