#pragma once

#include <array>
#include <string>

/** One line of the control channel, parsed: "silent on|off", "power off|on",
    "levels a b c d", "clip a b c d", "status", "quit".  Words are separated by spaces or
    tabs; an empty line is `none`; anything else is `invalid` with the reason in `error`. */
struct ControlCommand
{
    enum class Kind
    {
        none,
        silent,
        power,
        levels,
        clip,
        status,
        quit,
        invalid
    };

    Kind kind = Kind::none;
    bool on = false;                  // silent on / power on
    std::array<float, 4> levels {};   // levels
    std::array<int, 4> lamps {};      // clip
    std::string error;

    static ControlCommand parse (const std::string& line);
};
