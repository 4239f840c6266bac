#include "RemoteProtocol.h"

#include "FlatJson.h"
#include "JsonWriter.h"

namespace remote
{
    namespace
    {
        constexpr int bandCount = 8;
        constexpr int slotCount = 20;
        constexpr int lastType = 5;

        std::optional<int> channelOf (const FlatJson& json)
        {
            return json.integer ("ch", 0, 1);
        }

        std::optional<Command> readHello (const FlatJson& json)
        {
            auto token = json.string ("k");
            if (! token)
                return std::nullopt;
            Command command;
            command.kind = CommandKind::hello;
            command.token = std::move (*token);
            command.version = json.integer ("v", 0, 1 << 20).value_or (0);
            return command;
        }

        std::optional<Command> readGain (const FlatJson& json)
        {
            const auto channel = channelOf (json);
            const auto db = json.number ("db");
            if (! channel || ! db)
                return std::nullopt;
            Command command;
            command.kind = CommandKind::gain;
            command.channel = *channel;
            command.value = *db;
            return command;
        }

        std::optional<Command> readSwitch (const FlatJson& json, CommandKind kind, bool needsChannel)
        {
            const auto channel = channelOf (json);
            const auto on = json.boolean ("on");
            if (! on || (needsChannel && ! channel))
                return std::nullopt;
            Command command;
            command.kind = kind;
            command.channel = channel.value_or (0);
            command.on = *on;
            return command;
        }

        std::optional<Command> readBand (const FlatJson& json)
        {
            const auto channel = channelOf (json);
            const auto band = json.integer ("b", 1, bandCount);
            if (! channel || ! band)
                return std::nullopt;
            Command command;
            command.kind = CommandKind::band;
            command.channel = *channel;
            command.band = *band;
            command.change.on = json.boolean ("on");
            command.change.type = json.integer ("type", 1, lastType);
            command.change.gain = json.number ("gain");
            command.change.freqStep = json.number ("freq");
            command.change.qualStep = json.number ("q");
            if (command.change.empty())
                return std::nullopt;
            return command;
        }

        std::optional<Command> readRecall (const FlatJson& json)
        {
            const auto slot = json.integer ("slot", 1, slotCount);
            if (! slot)
                return std::nullopt;
            Command command;
            command.kind = CommandKind::recall;
            command.slot = *slot;
            return command;
        }
    }

    std::optional<Command> parseCommand (std::string_view text)
    {
        const auto json = FlatJson::parse (text);
        if (! json)
            return std::nullopt;
        const auto kind = json->string ("t");
        if (! kind)
            return std::nullopt;

        if (*kind == "hello")
            return readHello (*json);
        if (*kind == "gain")
            return readGain (*json);
        if (*kind == "mute")
            return readSwitch (*json, CommandKind::mute, true);
        if (*kind == "link")
            return readSwitch (*json, CommandKind::link, false);
        if (*kind == "band")
            return readBand (*json);
        if (*kind == "bypass")
            return readSwitch (*json, CommandKind::bypass, true);
        if (*kind == "recall")
            return readRecall (*json);
        return std::nullopt;
    }

    std::string helloText (const std::string& token)
    {
        return JsonWriter().field ("t", "hello").field ("v", protocolVersion).field ("k", token).text();
    }
}
