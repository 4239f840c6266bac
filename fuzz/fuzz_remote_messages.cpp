// What a phone sends is untrusted: any frame must be read without harm, and what is read
// must be within the shape the program relies on.  The session's rules must hold for any
// sequence of frames, and any text the program writes into a frame must read back as sent.

#include "FlatJson.h"
#include "JsonWriter.h"
#include "PhoneSession.h"
#include "RemoteProtocol.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{
    const std::string token = "0123456789abcdef0123456789abcdef";

    void require (bool condition)
    {
        if (! condition)
            std::abort();
    }

    bool finiteOrUnset (const std::optional<double>& value)
    {
        return ! value || std::isfinite (*value);
    }

    void checkCommand (const remote::Command& command)
    {
        using remote::CommandKind;
        switch (command.kind)
        {
            case CommandKind::hello: break;
            case CommandKind::gain:
                require ((command.channel == 0 || command.channel == 1) && std::isfinite (command.value));
                break;
            case CommandKind::mute:
            case CommandKind::bypass: require (command.channel == 0 || command.channel == 1); break;
            case CommandKind::link: break;
            case CommandKind::band:
                require (command.channel == 0 || command.channel == 1);
                require (command.band >= 1 && command.band <= 8);
                require (! command.change.empty());
                require (! command.change.type || (*command.change.type >= 1 && *command.change.type <= 5));
                require (finiteOrUnset (command.change.gain) && finiteOrUnset (command.change.freqStep)
                         && finiteOrUnset (command.change.qualStep));
                break;
            case CommandKind::recall: require (command.slot >= 1 && command.slot <= 20); break;
            case CommandKind::undo:
            case CommandKind::redo:
            case CommandKind::compare:
            case CommandKind::copy: require (command.band == 0 && command.slot == 0 && command.change.empty()); break;
        }
    }

    void checkFlatJson (std::string_view text)
    {
        const auto json = remote::FlatJson::parse (text);
        if (! json)
            return;
        require (json->fields().size() <= remote::FlatJson::maxFields);
        for (const auto& field : json->fields())
        {
            require (field.key.size() <= remote::FlatJson::maxKeyLength);
            require (field.text.size() <= remote::FlatJson::maxStringLength);
            require (json->find (field.key) == &field);   // each key once
        }
    }

    void checkRoundTrip (std::string_view text)
    {
        const auto value = std::string (text.substr (0, remote::FlatJson::maxStringLength));
        const auto written = remote::JsonWriter().field ("name", value).text();
        const auto read = remote::FlatJson::parse (written);
        require (read && read->string ("name") == value);
    }

    /** The frames split at newlines, played into one session: nothing is delivered before a
        hello with the token, and a delivered command is always well shaped. */
    void checkSession (std::string_view text)
    {
        remote::PhoneSession phone (1, {}, 0);
        std::uint64_t now = 0;
        bool connected = false;
        while (! text.empty())
        {
            const auto end = text.find ('\n');
            const auto frame = text.substr (0, end);
            text = end == std::string_view::npos ? std::string_view() : text.substr (end + 1);
            const auto reaction = phone.receive (frame, token, true, now += 3);
            if (reaction.kind == remote::PhoneSession::Reaction::welcome)
                connected = true;
            if (reaction.kind == remote::PhoneSession::Reaction::deliver)
            {
                require (connected);
                checkCommand (reaction.command);
            }
            if (reaction.kind == remote::PhoneSession::Reaction::close)
                return;
            phone.offer (remote::FrameKind::meters, std::make_shared<const std::string> (frame));
            phone.nextFrame();
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    if (size > 8192)
        return 0;
    const std::string_view text (reinterpret_cast<const char*> (data), size);

    if (const auto command = remote::parseCommand (text))
        checkCommand (*command);
    checkFlatJson (text);
    checkRoundTrip (text);

    // With a valid hello first, the rest reaches the connected session's rules too.
    checkSession (remote::helloText (token) + "\n" + std::string (text));
    checkSession (text);
    return 0;
}
