#include "SimPresetText.h"
#include "SimSettings.h"

#include <algorithm>
#include <cstdint>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace simpreset
{
    const char* const initData = "BEGIN_OSC_DATA\n"
                                 "/ampmode s DUAL\n"
                                 "/channel/1/peq/1 sfff LS12 40.0 +0.0 1.0\n"
                                 "/channel/1/peq/2 sfff PEQ 100.0 +0.0 1.0\n"
                                 "/channel/1/peq/3 sfff PEQ 200.0 +0.0 1.0\n"
                                 "/channel/1/peq/4 sfff PEQ 400.0 +0.0 1.0\n"
                                 "/channel/1/peq/5 sfff PEQ 1k +0.0 1.0\n"
                                 "/channel/1/peq/6 sfff PEQ 2k +0.0 1.0\n"
                                 "/channel/1/peq/7 sfff PEQ 4k +0.0 1.0\n"
                                 "/channel/1/peq/8 sfff HS12 10k +0.0 1.0\n"
                                 "/channel/1/xover/hp sf OFF 30.01\n"
                                 "/channel/1/xover/lp sf OFF 200.0\n"
                                 "/channel/1/xover/gain f +0.0\n"
                                 "/channel/1/deq/1/comp fff +0.0 -30.0 5.0\n"
                                 "/channel/1/deq/1/time ff 50.0 1000.0\n"
                                 "/channel/1/deq/1/filt sff BP 50.0 1.0\n"
                                 "/channel/1/deq/2/comp fff +0.0 -30.0 5.0\n"
                                 "/channel/1/deq/2/time ff 50.0 1000.0\n"
                                 "/channel/1/deq/2/filt sff BP 2k00 1.0\n"
                                 "/channel/1/delay fi 0.00 0\n"
                                 "/channel/1/limiter fff 100 100.0 50.0\n"
                                 "/channel/2/peq/1 sfff LS12 40.0 +0.0 1.0\n"
                                 "/channel/2/peq/2 sfff PEQ 100.0 +0.0 1.0\n"
                                 "/channel/2/peq/3 sfff PEQ 200.0 +0.0 1.0\n"
                                 "/channel/2/peq/4 sfff PEQ 400.0 +0.0 1.0\n"
                                 "/channel/2/peq/5 sfff PEQ 1k +0.0 1.0\n"
                                 "/channel/2/peq/6 sfff PEQ 2k +0.0 1.0\n"
                                 "/channel/2/peq/7 sfff PEQ 4k +0.0 1.0\n"
                                 "/channel/2/peq/8 sfff HS12 10k +0.0 1.0\n"
                                 "/channel/2/xover/hp sf OFF 2k00\n"
                                 "/channel/2/xover/lp sf OFF 15k001\n"
                                 "/channel/2/xover/gain f +0.0\n"
                                 "/channel/2/deq/1/comp fff +0.0 -30.0 5.0\n"
                                 "/channel/2/deq/1/time ff 50.0 1000.0\n"
                                 "/channel/2/deq/1/filt sff BP 50.0 1.0\n"
                                 "/channel/2/deq/2/comp fff +0.0 -30.0 5.0\n"
                                 "/channel/2/deq/2/time ff 50.0 1000.0\n"
                                 "/channel/2/deq/2/filt sff BP 2k00 1.0\n"
                                 "/channel/2/delay fi 0.00 0\n"
                                 "/channel/2/limiter fff 100 100.0 50.0\n"
                                 "END_OSC_DATA";

    namespace
    {
        constexpr const char* beginMarker = "BEGIN_OSC_DATA";
        constexpr const char* endMarker = "END_OSC_DATA";

        bool isBlank (char c) noexcept
        {
            return c == ' ' || c == '\t' || c == '\v' || c == '\f';
        }

        bool beginsWith (const std::string& line, const char* marker)
        {
            std::size_t i = 0;
            while (i < line.size() && isBlank (line[i]))
                ++i;
            return line.compare (i, std::strlen (marker), marker) == 0;
        }

        std::vector<std::string> words (const std::string& line)
        {
            std::vector<std::string> result;
            std::size_t i = 0;
            while (i < line.size())
            {
                while (i < line.size() && isBlank (line[i]))
                    ++i;
                const auto start = i;
                while (i < line.size() && ! isBlank (line[i]))
                    ++i;
                if (i > start)
                    result.push_back (line.substr (start, i - start));
            }
            return result;
        }

        bool readInteger (const std::string& word, std::int32_t& value)
        {
            if (word.empty() || word.find_first_not_of ("+-0123456789") != std::string::npos)
                return false;
            char* end = nullptr;
            const long long read = std::strtoll (word.c_str(), &end, 10);
            if (*end != '\0' || end == word.c_str())
                return false;
            // Beyond an int32 it is held at the int32's end: the step clamps it anyway.
            value = (std::int32_t) std::clamp<long long> (read, INT32_MIN, INT32_MAX);
            return true;
        }

        /** Applies one block line; true when at least one value reached the settings. */
        bool applyLine (const std::string& line, SimSettings& settings)
        {
            const auto w = words (line);
            if (w.size() < 3)
                return false;

            const int index = simparams::find (w[0]);
            if (index < 0)
                return false;
            const auto& message = simparams::messages()[(std::size_t) index];
            if (! message.inPresets || w[1] != message.tags)
                return false;

            int applied = 0;
            for (std::size_t i = 0; i < message.arguments.size() && i + 2 < w.size(); ++i)
            {
                const auto& argument = message.arguments[i];
                const auto& word = w[i + 2];
                int step = -1;
                switch (argument.scale)
                {
                    case simparams::Scale::label: step = argument.stepForLabel (word.c_str()); break;
                    case simparams::Scale::integer:
                    {
                        std::int32_t number = 0;
                        if (readInteger (word, number))
                            step = argument.stepForInteger (number);
                        break;
                    }
                    case simparams::Scale::linear:
                    case simparams::Scale::log:
                    {
                        double number = 0.0;
                        if (readNumber (word, number))
                            step = argument.stepForFloat ((float) number);
                        break;
                    }
                }
                if (step < 0)
                    break;
                settings.setStep (index, (int) i, step);
                ++applied;
            }
            return applied > 0;
        }

        int findLine (const std::vector<std::string>& lines, const char* marker, std::size_t from)
        {
            for (std::size_t i = from; i < lines.size(); ++i)
                if (beginsWith (lines[i], marker))
                    return (int) i;
            return -1;
        }
    }

    std::vector<std::string> splitLines (const std::string& text)
    {
        std::vector<std::string> lines;
        std::size_t start = text.compare (0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        for (std::size_t i = start; i < text.size(); ++i)
        {
            if (text[i] != '\r' && text[i] != '\n')
                continue;
            lines.push_back (text.substr (start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        if (start < text.size())
            lines.push_back (text.substr (start));
        return lines;
    }

    int apply (const std::string& text, SimSettings& settings)
    {
        const auto lines = splitLines (text);
        const int begin = findLine (lines, beginMarker, 0);
        if (begin < 0)
            return 0;
        const int end = findLine (lines, endMarker, (std::size_t) begin + 1);
        if (end < 0)
            return 0;

        int applied = 0;
        for (int i = begin + 1; i < end; ++i)
            if (applyLine (lines[(std::size_t) i], settings))
                ++applied;
        return applied;
    }

    bool readNumber (const std::string& word, double& value)
    {
        // [sign] digits [("." | "k") digits], at least one digit: "k" stands where the
        // decimal point would be and multiplies by 1000.
        std::size_t i = 0;
        if (i < word.size() && (word[i] == '+' || word[i] == '-'))
            ++i;
        std::size_t digits = 0, mark = std::string::npos;
        for (; i < word.size(); ++i)
        {
            if (word[i] >= '0' && word[i] <= '9')
                ++digits;
            else if ((word[i] == '.' || word[i] == 'k') && mark == std::string::npos)
                mark = i;
            else
                return false;
        }
        if (digits == 0)
            return false;

        std::string plain = word;
        const bool thousands = mark != std::string::npos && word[mark] == 'k';
        if (thousands)
            plain[mark] = '.';
        value = std::strtod (plain.c_str(), nullptr) * (thousands ? 1000.0 : 1.0);
        return std::isfinite (value);
    }
}
