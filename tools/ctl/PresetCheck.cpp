#include "PresetCheck.h"

#include "Cnode.h"
#include "Cparam.h"
#include "NumberText.h"
#include "PresetText.h"

#include <cmath>
#include <cstring>
#include <sstream>

namespace
{
    std::vector<std::string> words (std::string_view text)
    {
        std::vector<std::string> out;
        std::istringstream in { std::string (text) };
        for (std::string word; in >> word;)
            out.push_back (word);
        return out;
    }

    std::string trimmed (const std::string& text)
    {
        const auto first = text.find_first_not_of (' ');
        if (first == std::string::npos)
            return {};
        return text.substr (first, text.find_last_not_of (' ') - first + 1);
    }

    std::string textOf (Cnode& node)
    {
        char buffer[nodeTextCapacity] = {};
        node.toText (buffer, (int) sizeof buffer);
        buffer[sizeof buffer - 1] = 0;
        return trimmed (buffer);
    }

    /** What the parameter made of `word`, when it is not what the word says. */
    std::string judge (Cparam& param, const std::string& word)
    {
        if (param.labels != nullptr)
            return word == param.label() ? std::string() : "\"" + word + "\" is not one of its choices";

        float wanted = 0.0f;
        if (parseFloatText (word.c_str(), wanted) < 1)
            return "\"" + word + "\" is not a number";

        const float applied = param.getValue();
        const float tolerance = 1e-3f * std::max (1.0f, std::fabs (applied));
        const bool belowRange = param.step <= param.minStep && wanted < applied - tolerance;
        const bool aboveRange = param.step >= param.maxStep && wanted > applied + tolerance;
        if (belowRange || aboveRange)
            return word + " clamped to " + textOf (param);
        return {};
    }
}

std::vector<PresetCheck::Finding> PresetCheck::applyLine (Cnode& root, std::string_view line)
{
    const auto values = words (line);
    if (values.empty())
        return {};

    const std::string address = values[0];
    if (! PresetText::applyBlockLine (root, line))
        return { { address, "not applied: no such block, or a type-tag word other than its own" } };

    Cnode* block = address.size() > 1 ? findNode (&root, address.c_str() + 1, (int) address.size() - 1) : nullptr;
    if (block == nullptr)
        return {};

    std::vector<Finding> findings;
    std::size_t next = 2;   // after the address and the type-tag word
    block->forEachChild (
        [&] (Cnode& child)
        {
            if (! child.isParameter() || next >= values.size())
                return;
            const auto verdict = judge (static_cast<Cparam&> (child), values[next++]);
            if (! verdict.empty())
                findings.push_back ({ address, std::string (child.name) + ": " + verdict });
        });
    return findings;
}

std::vector<PresetCheck::Finding> PresetCheck::applyText (Cnode& root, const std::vector<std::string>& lines,
                                                          int& blocks)
{
    blocks = 0;
    const auto begin = PresetText::findMarker (lines, PresetText::beginMarker);
    const auto end = begin < 0 ? -1 : PresetText::findMarker (lines, PresetText::endMarker, begin + 1);
    if (begin < 0 || end < 0)
        return { { "", "not a preset file: no BEGIN_OSC_DATA ... END_OSC_DATA" } };

    std::vector<Finding> findings;
    for (auto i = begin + 1; i < end; ++i)
    {
        const auto& line = lines[(std::size_t) i];
        if (words (line).empty())
            continue;
        auto found = applyLine (root, line);
        const bool reached = found.empty() || found.front().what.rfind ("not applied", 0) != 0;
        blocks += reached ? 1 : 0;
        findings.insert (findings.end(), found.begin(), found.end());
    }
    return findings;
}

std::map<std::string, std::string> PresetCheck::snapshot (Cnode& root)
{
    std::map<std::string, std::string> texts;
    forEachLeaf (&root, [&texts] (Cnode* block) { texts[block->address] = textOf (*block); });
    return texts;
}

std::vector<PresetCheck::Finding> PresetCheck::compare (const std::map<std::string, std::string>& sent, Cnode& root)
{
    std::vector<Finding> findings;
    forEachLeaf (&root,
                 [&] (Cnode* block)
                 {
                     const auto was = sent.find (block->address);
                     const auto now = textOf (*block);
                     if (was != sent.end() && was->second != now)
                         findings.push_back (
                             { block->address, "sent \"" + was->second + "\", the amplifier applied \"" + now + "\"" });
                 });
    return findings;
}
