#include "ControlCommand.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace
{
    std::vector<std::string> words (const std::string& line)
    {
        std::istringstream stream (line);
        std::vector<std::string> result;
        for (std::string word; stream >> word;)
            result.push_back (word);
        return result;
    }

    bool readFloat (const std::string& text, float& out)
    {
        char* end = nullptr;
        errno = 0;
        const double value = std::strtod (text.c_str(), &end);
        if (text.empty() || *end != '\0' || errno != 0 || ! std::isfinite (value) || value < 0.0 || value > 100.0)
            return false;
        out = (float) value;
        return true;
    }

    bool readInt (const std::string& text, int& out)
    {
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol (text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || errno != 0 || value < 0 || value > 1000000)
            return false;
        out = (int) value;
        return true;
    }

    ControlCommand invalid (const std::string& why)
    {
        ControlCommand command;
        command.kind = ControlCommand::Kind::invalid;
        command.error = why;
        return command;
    }
}

ControlCommand ControlCommand::parse (const std::string& line)
{
    const auto w = words (line);
    ControlCommand command;
    if (w.empty())
        return command;

    const auto& verb = w[0];
    if ((verb == "silent" || verb == "power") && w.size() == 2 && (w[1] == "on" || w[1] == "off"))
    {
        command.kind = verb == "silent" ? Kind::silent : Kind::power;
        command.on = w[1] == "on";
        return command;
    }
    if (verb == "levels" && w.size() == 5)
    {
        command.kind = Kind::levels;
        for (std::size_t i = 0; i < 4; ++i)
            if (! readFloat (w[i + 1], command.levels[i]))
                return invalid ("levels needs four linear levels 0..100: " + line);
        return command;
    }
    if (verb == "clip" && w.size() == 5)
    {
        command.kind = Kind::clip;
        for (std::size_t i = 0; i < 4; ++i)
            if (! readInt (w[i + 1], command.lamps[i]))
                return invalid ("clip needs four whole numbers 0 or more: " + line);
        return command;
    }
    if ((verb == "status" || verb == "quit") && w.size() == 1)
    {
        command.kind = verb == "status" ? Kind::status : Kind::quit;
        return command;
    }
    return invalid ("unknown command: " + line);
}
