#include "PresetText.h"
#include "Cnode.h"

#include <algorithm>
#include <climits>
#include <cstring>

const char* const PresetText::defaultPreset = "BEGIN_OSC_DATA\n"
                                              "/ampmode s DUAL\n"
                                              "/channel/1/peq/1 sfff LS12 40.0 +0.0 1.0\n"
                                              "/channel/1/peq/2 sfff PEQ 100.0 +0.0 1.0\n"
                                              "/channel/1/peq/3 sfff PEQ 200.0 +0.0 1.0\n"
                                              "/channel/1/peq/4 sfff PEQ 400.0 +0.0 1.0\n"
                                              "/channel/1/peq/5 sfff PEQ 1k    +0.0 1.0\n"
                                              "/channel/1/peq/6 sfff PEQ 2k    +0.0 1.0\n"
                                              "/channel/1/peq/7 sfff PEQ 4k    +0.0 1.0\n"
                                              "/channel/1/peq/8 sfff HS12 10k  +0.0 1.0\n"
                                              "/channel/1/xover/hp sf OFF 30.01\n"
                                              "/channel/1/xover/lp sf OFF 200.0\n"
                                              "/channel/1/xover/gain f  +0.0\n"
                                              "/channel/1/deq/1/comp fff +0.0 -30.0 5.0\n"
                                              "/channel/1/deq/1/time ff 50.0 1000.0\n"
                                              "/channel/1/deq/1/filt sff BP 50.0 1.0\n"
                                              "/channel/1/deq/2/comp fff +0.0 -30.0 5.0\n"
                                              "/channel/1/deq/2/time ff 50.0 1000.0\n"
                                              "/channel/1/deq/2/filt sff BP 2k00 1.0\n"
                                              "/channel/1/delay fi   0.00 0\n"
                                              "/channel/1/limiter fff  100 100.0 50.0\n"
                                              "/channel/2/peq/1 sfff LS12 40.0 +0.0 1.0\n"
                                              "/channel/2/peq/2 sfff PEQ 100.0 +0.0 1.0\n"
                                              "/channel/2/peq/3 sfff PEQ 200.0 +0.0 1.0\n"
                                              "/channel/2/peq/4 sfff PEQ 400.0 +0.0 1.0\n"
                                              "/channel/2/peq/5 sfff PEQ 1k    +0.0 1.0\n"
                                              "/channel/2/peq/6 sfff PEQ 2k    +0.0 1.0\n"
                                              "/channel/2/peq/7 sfff PEQ 4k    +0.0 1.0\n"
                                              "/channel/2/peq/8 sfff HS12 10k  +0.0 1.0\n"
                                              "/channel/2/xover/hp sf OFF 2k00\n"
                                              "/channel/2/xover/lp sf OFF 15k001\n"
                                              "/channel/2/xover/gain f  +0.0\n"
                                              "/channel/2/deq/1/comp fff +0.0 -30.0 5.0\n"
                                              "/channel/2/deq/1/time ff 50.0 1000.0\n"
                                              "/channel/2/deq/1/filt sff BP 50.0 1.0\n"
                                              "/channel/2/deq/2/comp fff +0.0 -30.0 5.0\n"
                                              "/channel/2/deq/2/time ff 50.0 1000.0\n"
                                              "/channel/2/deq/2/filt sff BP 2k00 1.0\n"
                                              "/channel/2/delay fi  0.00 0\n"
                                              "/channel/2/limiter fff  100 100.0 50.0\n"
                                              "END_OSC_DATA";

namespace
{
    bool isLeadingSpace (char c)
    {
        return c == ' ' || c == '\t' || c == '\v' || c == '\f';
    }

    bool beginsWithMarker (const std::string& line, const char* marker)
    {
        std::size_t i = 0;
        while (i < line.size() && isLeadingSpace (line[i]))
            ++i;

        return line.compare (i, std::strlen (marker), marker) == 0;
    }
}

std::vector<std::string> PresetText::splitLines (const char* data, std::size_t size)
{
    std::vector<std::string> lines;
    std::size_t start = 0;

    if (size >= 3 && std::memcmp (data, "\xEF\xBB\xBF", 3) == 0)
        start = 3;

    for (std::size_t i = start; i < size; ++i)
    {
        if (data[i] != '\r' && data[i] != '\n')
            continue;

        lines.emplace_back (data + start, i - start);

        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;

        start = i + 1;
    }

    if (start < size)
        lines.emplace_back (data + start, size - start);

    return lines;
}

int PresetText::findMarker (const std::vector<std::string>& lines, const char* marker, int from)
{
    for (auto i = (std::size_t) std::max (from, 0); i < lines.size(); ++i)
        if (beginsWithMarker (lines[i], marker))
            return (int) i;

    return -1;
}

int PresetText::applyLines (Cnode& root, const std::vector<std::string>& lines)
{
    const auto begin = findMarker (lines, beginMarker);
    if (begin < 0)
        return 0;

    // The end marker is looked for after the begin marker, so a name line that happens to
    // start with the end marker's text cannot hide the whole preset.
    const auto end = findMarker (lines, endMarker, begin + 1);
    if (end < 0)
        return 0;

    int applied = 0;
    for (auto i = begin + 1; i < end; ++i)
        if (applyBlockLine (root, lines[(std::size_t) i]))
            ++applied;

    return applied;
}

bool PresetText::applyBlockLine (Cnode& root, std::string_view line)
{
    const auto addressEnd = line.find (' ');
    if (addressEnd == std::string_view::npos)
        return false;

    const auto tagsStart = line.find_first_not_of (' ', addressEnd);
    if (tagsStart == std::string_view::npos)
        return false;

    const auto tagsEnd = line.find (' ', tagsStart);
    if (tagsEnd == std::string_view::npos)
        return false;

    auto valuesStart = line.find_first_not_of (' ', tagsEnd);
    if (valuesStart == std::string_view::npos)
        valuesStart = line.size();

    // The tree reads NUL-terminated text: give it a terminated copy that ends in a line
    // feed, so neither the address lookup nor the value readers can run past the line.
    // A NUL inside the line simply ends what they read.
    std::string text (line);
    text += '\n';

    // The first character (the address's "/") is not examined.
    const auto addressLength = (int) std::min<std::size_t> (tagsStart - 1, INT_MAX);
    auto* block = findNode (&root, text.c_str() + 1, addressLength);
    if (block == nullptr)
        return false;

    if (typeTags (block) != line.substr (tagsStart, tagsEnd - tagsStart))
        return false;

    block->fromText (text.c_str() + valuesStart);
    return true;
}

std::string PresetText::blockLine (Cnode& block)
{
    char values[nodeTextCapacity] = {};
    block.toText (values, (int) sizeof (values));
    values[sizeof (values) - 1] = 0;

    std::string line (block.address);
    line += ' ';
    line += typeTags (&block);
    line += values;
    return line;
}

std::vector<std::string> PresetText::blockLines (Cnode& root)
{
    std::vector<std::string> lines;
    forEachLeaf (&root, [&lines] (Cnode* block) { lines.push_back (blockLine (*block)); });
    return lines;
}

std::string PresetText::build (Cnode& root)
{
    std::string text (beginMarker);

    for (const auto& line : blockLines (root))
    {
        text += '\n';
        text += line;
    }

    text += '\n';
    text += endMarker;
    return text;
}

std::string PresetText::fileText (const std::string& name, Cnode& root)
{
    // The name is one line of the file: a line break in it would split it and could even
    // be read back as a marker.
    std::string text;
    for (const char c : name)
        text += (c == '\r' || c == '\n') ? ' ' : c;

    for (const char c : "\n" + build (root))
    {
        if (c == '\n')
            text += '\r';
        text += c;
    }
    return text;
}
