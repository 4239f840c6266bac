#include "StepNames.h"

#include <algorithm>

namespace
{
    std::vector<std::string> segmentsOf (const std::string& address)
    {
        std::vector<std::string> segments;
        std::size_t pos = 0;
        while (pos < address.size())
        {
            const auto start = address.find_first_not_of ('/', pos);
            if (start == std::string::npos)
                break;
            const auto end = std::min (address.find ('/', start), address.size());
            segments.push_back (address.substr (start, end - start));
            pos = end;
        }
        return segments;
    }

    /** Where a block is shown and what its values are called. */
    struct Place
    {
        juce::String page;                  // "Parametric EQ"
        juce::String channel;               // "A", "B" or empty
        juce::String element;               // "band 5", "limiter" or empty
        std::vector<juce::String> values;   // one name per value of the line
    };

    Place channelPlace (const std::vector<std::string>& s)
    {
        Place place;
        place.channel = s[1] == "1" ? "A" : s[1] == "2" ? "B" : juce::String (s[1]);
        const auto& section = s[2];
        if (section == "peq" && s.size() == 4)
            place = { "Parametric EQ", place.channel, "band " + s[3], { "type", "frequency", "gain", "quality" } };
        else if (section == "xover" && s.size() == 4 && s[3] == "gain")
            place = { "Filter/Crossover", place.channel, "", { "gain" } };
        else if (section == "xover" && s.size() == 4)
            place = {
                "Filter/Crossover", place.channel, s[3] == "hp" ? "high-pass" : "low-pass", { "type", "frequency" }
            };
        else if (section == "deq" && s.size() == 5 && s[4] == "comp")
            place = { "Dynamic EQ", place.channel, "band " + s[3], { "gain", "threshold", "ratio" } };
        else if (section == "deq" && s.size() == 5 && s[4] == "time")
            place = { "Dynamic EQ", place.channel, "band " + s[3], { "attack", "release" } };
        else if (section == "deq" && s.size() == 5)
            place = { "Dynamic EQ", place.channel, "band " + s[3], { "filter type", "frequency", "quality" } };
        else if (section == "delay")
            place = { "Configuration", place.channel, "", { "delay", "polarity" } };
        else if (section == "limiter")
            place = { "Configuration", place.channel, "limiter", { "threshold", "release", "hold" } };
        else
            place.page = juce::String (section);
        return place;
    }

    std::vector<std::size_t> changedValues (const StepNames::Change& change)
    {
        const auto before = StepNames::valuesOf (change.before);
        const auto after = StepNames::valuesOf (change.after);
        std::vector<std::size_t> changed;
        for (std::size_t i = 0; i < std::max (before.size(), after.size()); ++i)
            if (i >= before.size() || i >= after.size() || before[i] != after[i])
                changed.push_back (i);
        return changed;
    }

    juce::String valueName (const std::vector<juce::String>& names, const std::vector<std::size_t>& changed)
    {
        if (changed.size() != 1 || changed[0] >= names.size())
            return {};
        return names[changed[0]];
    }

    juce::String joined (const juce::String& first, const juce::String& second, const char* separator)
    {
        if (first.isEmpty())
            return second;
        return second.isEmpty() ? first : first + separator + second;
    }

    bool isCounterpartOfAnother (const StepNames::Change& change, const std::vector<StepNames::Change>& changes)
    {
        static const std::string channelB = "/channel/2/";
        if (change.address.compare (0, channelB.size(), channelB) != 0)
            return false;
        const auto channelA = "/channel/1/" + change.address.substr (channelB.size());
        return std::any_of (changes.begin(), changes.end(), [&] (const auto& c) { return c.address == channelA; });
    }

    juce::String pageAndChannel (const std::string& address)
    {
        const auto s = segmentsOf (address);
        if (s.size() >= 3 && s[0] == "channel")
        {
            const auto place = channelPlace (s);
            return joined (place.page, place.channel, " ");
        }
        if (! s.empty() && s[0] == "siggen")
            return "Generator";
        return juce::String (address);
    }
}

std::vector<std::string> StepNames::valuesOf (const std::string& line)
{
    std::vector<std::string> words;
    std::size_t pos = 0;
    while (pos < line.size())
    {
        const auto start = line.find_first_not_of (' ', pos);
        if (start == std::string::npos)
            break;
        const auto end = std::min (line.find (' ', start), line.size());
        words.push_back (line.substr (start, end - start));
        pos = end;
    }
    words.erase (words.begin(), words.begin() + (std::ptrdiff_t) std::min<std::size_t> (2, words.size()));
    return words;
}

juce::String StepNames::modeName (const std::string& label)
{
    static const char* const labels[] = { "DUAL", "STEREO", "BIAMP1", "BIAMP2", "BRIDGE" };
    static const char* const names[] = { "Dual Mono", "Stereo", "Bi-Amp 1", "Bi-Amp 2", "Bridge" };
    for (int i = 0; i < 5; ++i)
        if (label == labels[i])
            return names[i];
    return juce::String (label);
}

juce::String StepNames::describe (const Change& change)
{
    const auto s = segmentsOf (change.address);
    const auto changed = changedValues (change);

    if (s.size() == 1 && s[0] == "ampmode")
    {
        const auto after = valuesOf (change.after);
        return "Amp-mode " + modeName (after.empty() ? std::string() : after[0]);
    }
    if (s.size() == 1 && s[0] == "speaker")
        return "Configuration, load";
    if (s.size() == 2 && s[0] == "siggen")
        return s[1] == "level" ? "Generator level" : "Generator frequency";
    if (s.size() == 1 && s[0] == "gain")
    {
        const auto name = valueName ({ "Input gain A", "Input gain B", "Mute A", "Mute B" }, changed);
        return name.isNotEmpty() ? name : juce::String ("Input gains");
    }
    if (s.size() == 1 && s[0] == "link")
        return "Link";
    if (s.size() < 3 || s[0] != "channel")
        return juce::String (change.address);

    const auto place = channelPlace (s);
    const auto what = joined (place.element, valueName (place.values, changed), " ");
    return joined (joined (place.page, place.channel, " "), what, ", ");
}

juce::String StepNames::describe (const std::vector<Change>& changes)
{
    for (const auto& change : changes)
        if (change.address == "/ampmode")
            return describe (change);

    std::vector<Change> own;
    for (const auto& change : changes)
        if (! isCounterpartOfAnother (change, changes))
            own.push_back (change);

    if (own.empty())
        return {};
    if (own.size() == 1)
        return describe (own.front());

    const auto first = pageAndChannel (own.front().address);
    const bool onePlace = std::all_of (own.begin(), own.end(),
                                       [&] (const auto& c) { return pageAndChannel (c.address) == first; });
    const auto count = juce::String ((int) own.size()) + " settings";
    return onePlace ? first + ", " + count : count;
}
