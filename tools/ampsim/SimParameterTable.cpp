#include "SimParameterTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace simparams
{
    //==========================================================================
    char Argument::tag() const noexcept
    {
        switch (scale)
        {
            case Scale::label: return 's';
            case Scale::integer: return 'i';
            case Scale::linear:
            case Scale::log: return 'f';
        }
        return '?';
    }

    int Argument::highestStep() const noexcept
    {
        switch (scale)
        {
            case Scale::label: return labels.empty() ? 0 : (int) labels.size() - 1;
            case Scale::integer: return (int) std::lround (high - low);
            case Scale::linear: return (int) std::lround ((high - low) / step);
            case Scale::log: return (int) std::lround (std::log10 (high / low) * step);
        }
        return 0;
    }

    int Argument::stepForFloat (float value) const noexcept
    {
        const int highest = highestStep();
        double position = 0.0;   // in steps from the bottom, before rounding to the nearest

        if (scale == Scale::linear)
        {
            if (std::isnan (value))
                return 0;
            position = ((double) value - low) / step;
        }
        else if (scale == Scale::log)
        {
            if (! ((double) value > low))   // NaN, zero, negatives and anything below the range
                return 0;
            if ((double) value >= high)
                return highest;
            position = std::log10 ((double) value / low) * step;
        }
        else
        {
            return 0;
        }

        // Nearest step; a value exactly halfway goes up.
        const double rounded = position + 0.5;
        if (! (rounded > 0.0))
            return 0;
        if (rounded >= highest)
            return highest;
        return (int) std::floor (rounded);
    }

    int Argument::stepForInteger (std::int32_t value) const noexcept
    {
        const auto fromBottom = (long long) value - std::llround (low);
        return (int) std::clamp<long long> (fromBottom, 0, highestStep());
    }

    int Argument::stepForLabel (const char* text) const noexcept
    {
        if (text == nullptr)
            return -1;
        for (std::size_t i = 0; i < labels.size(); ++i)
            if (std::strncmp (text, labels[i], std::strlen (labels[i])) == 0)
                return (int) i;
        return -1;
    }

    float Argument::floatAt (int stepIndex) const noexcept
    {
        const int highest = highestStep();
        const int n = std::clamp (stepIndex, 0, highest);
        if (scale == Scale::log)
            return n == highest ? (float) high : (float) (low * std::pow (10.0, n / step));
        if (scale == Scale::linear)
            return (float) (low + (high - low) * n / highest);
        return (float) (low + n);
    }

    std::int32_t Argument::integerAt (int stepIndex) const noexcept
    {
        return (std::int32_t) (std::llround (low) + std::clamp (stepIndex, 0, highestStep()));
    }

    const char* Argument::labelAt (int stepIndex) const noexcept
    {
        if (labels.empty())
            return "";
        return labels[(std::size_t) std::clamp (stepIndex, 0, highestStep())];
    }

    //==========================================================================
    namespace
    {
        Argument labels (const char* name, std::vector<const char*> texts)
        {
            Argument a;
            a.name = name;
            a.scale = Scale::label;
            a.labels = std::move (texts);
            return a;
        }

        Argument integer (const char* name, int low, int high)
        {
            Argument a;
            a.name = name;
            a.scale = Scale::integer;
            a.low = low;
            a.high = high;
            a.step = 1.0;
            return a;
        }

        /** low .. high in steps of `resolution`. */
        Argument linear (const char* name, double low, double high, double resolution)
        {
            Argument a;
            a.name = name;
            a.scale = Scale::linear;
            a.low = low;
            a.high = high;
            a.step = resolution;
            return a;
        }

        /** low .. high with `stepsPerDecade` steps to a decade. */
        Argument logarithmic (const char* name, double low, double high, double stepsPerDecade)
        {
            Argument a;
            a.name = name;
            a.scale = Scale::log;
            a.low = low;
            a.high = high;
            a.step = stepsPerDecade;
            return a;
        }

        // Frequencies: 20 Hz .. 20 kHz, 1/200 decade per step, each step held to a
        // thousandth (600 steps, 600000 positions).  Quality: 0.1 .. 10, 1/50 decade per
        // step, also to a thousandth.
        Argument frequency()
        {
            return logarithmic ("freq", 20.0, 20000.0, 200.0 * 1000.0);
        }
        Argument quality()
        {
            return logarithmic ("qual", 0.1, 10.0, 50.0 * 1000.0);
        }
        Argument eqGain (const char* name)
        {
            return linear (name, -15.0, 15.0, 0.5);
        }
        Argument release()
        {
            return linear ("rel", 20.0, 4000.0, 2.5);
        }

        void addChannel (std::vector<Message>& table, int channel)
        {
            const std::string base = "/channel/" + std::to_string (channel);

            for (int band = 1; band <= 8; ++band)
                table.push_back ({ base + "/peq/" + std::to_string (band),
                                   "sfff",
                                   { labels ("type", { "OFF", "PEQ", "LS6", "LS12", "HS6", "HS12" }), frequency(),
                                     eqGain ("gain"), quality() } });

            const std::vector<const char*> crossoverTypes { "OFF",   "BUT6",  "BUT12", "BES12", "LR12", "BUT18",
                                                            "BUT24", "BES24", "LR24",  "BUT48", "LR48" };
            table.push_back ({ base + "/xover/hp", "sf", { labels ("type", crossoverTypes), frequency() } });
            table.push_back ({ base + "/xover/lp", "sf", { labels ("type", crossoverTypes), frequency() } });
            table.push_back ({ base + "/xover/gain", "f", { linear ("gain", -12.0, 12.0, 0.5) } });

            for (int band = 1; band <= 2; ++band)
            {
                const std::string deq = base + "/deq/" + std::to_string (band);
                table.push_back (
                    { deq + "/comp",
                      "fff",
                      { eqGain ("mgain"), linear ("thres", -60.0, 0.0, 1.0), linear ("ratio", 2.0, 100.0, 0.5) } });
                table.push_back ({ deq + "/time", "ff", { linear ("att", 0.0, 200.0, 0.5), release() } });
                table.push_back (
                    { deq + "/filt",
                      "sff",
                      { labels ("type", { "OFF", "BP", "LP6", "LP12", "HP6", "HP12" }), frequency(), quality() } });
            }

            table.push_back ({ base + "/delay", "fi", { linear ("del", 0.0, 300.0, 0.01), integer ("pol", 0, 180) } });
            table.push_back ({ base + "/limiter",
                               "fff",
                               { linear ("thres", 0.1, 165.0, 0.01), release(), linear ("hold", 0.0, 2000.0, 2.5) } });
        }

        std::vector<Message> makeTable()
        {
            std::vector<Message> table;
            table.push_back (
                { "/ampmode", "s", { labels ("mode", { "DUAL", "STEREO", "BIAMP1", "BIAMP2", "BRIDGE" }) } });
            addChannel (table, 1);
            addChannel (table, 2);

            // The amplifier-wide blocks outside presets.  The generator's sweep rate is the
            // program's own and never travels.
            table.push_back ({ "/siggen",
                               "iff",
                               { integer ("input", 0, 3), linear ("gain", -40.0, 0.0, 0.5), frequency() },
                               false });
            table.push_back ({ "/speaker", "i", { integer ("value", 0, 100) }, false });
            return table;
        }
    }

    const std::vector<Message>& messages()
    {
        static const std::vector<Message> table = makeTable();
        return table;
    }

    int find (const std::string& address)
    {
        const auto& table = messages();
        for (std::size_t i = 0; i < table.size(); ++i)
            if (table[i].address == address)
                return (int) i;
        return -1;
    }
}
