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

        Command commandOf (CommandKind kind, int channel = 0)
        {
            Command command;
            command.kind = kind;
            command.channel = channel;
            return command;
        }

        std::optional<Command> readHello (const FlatJson& json)
        {
            auto token = json.string ("k");
            if (! token)
                return std::nullopt;
            auto command = commandOf (CommandKind::hello);
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
            auto command = commandOf (CommandKind::gain, *channel);
            command.value = *db;
            return command;
        }

        std::optional<Command> readSwitch (const FlatJson& json, CommandKind kind, bool needsChannel)
        {
            const auto channel = channelOf (json);
            const auto on = json.boolean ("on");
            if (! on || (needsChannel && ! channel))
                return std::nullopt;
            auto command = commandOf (kind, channel.value_or (0));
            command.on = *on;
            return command;
        }

        std::optional<Command> readBand (const FlatJson& json)
        {
            const auto channel = channelOf (json);
            const auto band = json.integer ("b", 1, bandCount);
            if (! channel || ! band)
                return std::nullopt;
            auto command = commandOf (CommandKind::band, *channel);
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
            auto command = commandOf (CommandKind::recall);
            command.slot = *slot;
            return command;
        }

        std::optional<Command> readHistory (const FlatJson& json, CommandKind kind)
        {
            // Only a true "mode" agrees: anything else leaves a mode change to be asked.
            auto command = commandOf (kind);
            command.modeAgreed = json.boolean ("mode").value_or (false);
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
        if (*kind == "undo")
            return readHistory (*json, CommandKind::undo);
        if (*kind == "redo")
            return readHistory (*json, CommandKind::redo);
        if (*kind == "compare")
            return readHistory (*json, CommandKind::compare);
        if (*kind == "copy")
            return readHistory (*json, CommandKind::copy);
        return std::nullopt;
    }

    std::string helloText (const std::string& token)
    {
        return JsonWriter().field ("t", "hello").field ("v", protocolVersion).field ("k", token).text();
    }
}
