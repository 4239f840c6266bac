#include "SettingsPart.h"

#include "Cparam.h"
#include "PresetText.h"

#include <algorithm>

namespace
{
    std::vector<Cparam*> parametersOf (Cnode& block)
    {
        std::vector<Cparam*> params;
        block.forEachChild (
            [&params] (Cnode& child)
            {
                if (child.isParameter())
                    params.push_back (static_cast<Cparam*> (&child));
            });
        return params;
    }

    std::vector<std::int32_t> exactSteps (const std::vector<Cparam*>& params)
    {
        std::vector<std::int32_t> steps;
        steps.reserve (params.size());
        for (const auto* param : params)
            steps.push_back (param->exactStep());
        return steps;
    }

    /** Once the text has been read back, the exact steps behind it replace the ones the
        text reads as: what was there comes back to the step, not only to the digit shown. */
    void restoreExactSteps (const std::vector<Cparam*>& params, const PartState& state)
    {
        if (state.steps.size() != params.size())
            return;
        for (std::size_t i = 0; i < params.size(); ++i)
            params[i]->setExactStep (state.steps[i]);
    }

    int channelOf (const std::string& address)
    {
        static const std::string prefix = "/channel/";
        if (address.compare (0, prefix.size(), prefix) != 0 || address.size() < prefix.size() + 2)
            return 0;
        const char digit = address[prefix.size()];
        return address[prefix.size() + 1] == '/' && (digit == '1' || digit == '2') ? digit - '0' : 0;
    }

    char tagOf (const Cparam& param)
    {
        switch (param.kind)
        {
            case NodeKind::intParam: return 'i';
            case NodeKind::enumParam: return 's';
            default: return 'f';
        }
    }

    std::string standaloneLine (const std::string& address, const std::vector<Cparam*>& params)
    {
        std::string tags, values;
        for (auto* param : params)
        {
            char text[nodeTextCapacity] = {};
            param->toText (text, (int) sizeof (text));
            text[sizeof (text) - 1] = 0;
            tags += tagOf (*param);
            values += ' ';
            values += text;
        }
        return address + ' ' + tags + values;
    }

    /** The values after the address and the type-tag word, split at runs of spaces. */
    std::vector<std::string> valueFields (const std::string& line)
    {
        std::vector<std::string> fields;
        std::size_t pos = 0;
        int word = 0;
        while (pos < line.size())
        {
            const auto start = line.find_first_not_of (' ', pos);
            if (start == std::string::npos)
                break;
            const auto end = std::min (line.find (' ', start), line.size());
            if (word++ >= 2)
                fields.push_back (line.substr (start, end - start));
            pos = end;
        }
        return fields;
    }
}

SettingsPart SettingsPart::treeBlock (Cnode& root, Cnode& block)
{
    const auto params = parametersOf (block);

    SettingsPart part;
    part.address = block.address;
    part.channel = channelOf (part.address);
    part.source = &block;
    part.read = [&block, params] { return PartState { PresetText::blockLine (block), exactSteps (params) }; };
    part.apply = [&root, &block, params] (const PartState& state)
    {
        if (PresetText::applyBlockLine (root, state.line) && PresetText::blockLine (block) == state.line)
            restoreExactSteps (params, state);
    };
    part.send = [&block] { block.send (block.address); };
    return part;
}

SettingsPart SettingsPart::standaloneBlock (Cnode& block, std::string address, std::vector<Cparam*> params,
                                            std::string sentWith)
{
    SettingsPart part;
    part.address = address;
    part.sentWith = sentWith;
    part.source = &block;
    part.read = [address, params] { return PartState { standaloneLine (address, params), exactSteps (params) }; };
    part.apply = [&block, address, params] (const PartState& state)
    {
        // The same reader as the block's own text: each value through its parameter, which
        // clamps it; a line for another address or of another shape changes nothing.
        const auto fields = valueFields (state.line);
        if (state.line.compare (0, address.size() + 1, address + ' ') != 0 || fields.size() != params.size())
            return;
        std::size_t read = 0;
        while (read < params.size() && params[read]->fromText (fields[read].c_str()) > 0)
            ++read;
        if (read == params.size() && standaloneLine (address, params) == state.line)
            restoreExactSteps (params, state);
        if (read > 0)
            block.sendChangeMessage();
    };
    part.send = [&block, message = part.sentAs()] { block.send (message.c_str()); };
    return part;
}

std::vector<SettingsPart> SettingsPart::treeBlocks (Cnode& root)
{
    std::vector<SettingsPart> parts;
    forEachLeaf (&root, [&] (Cnode* block) { parts.push_back (treeBlock (root, *block)); });
    return parts;
}
