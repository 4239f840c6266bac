#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/** Every parameter message the simulated amplifier understands, written out from the
    amplifier's message set (the 39 blocks of the settings tree, "/siggen" and "/speaker"):
    its address, its type tags, and for each argument the range and the step the amplifier
    keeps it at.

    This is the amplifier's own idea of its settings.  It shares nothing with the program's
    parameter tree, so a wrong type tag, range or rounding in the program shows up as a
    dropped request or a different value instead of being mirrored back.

    Every argument's current setting is a step index from 0 to highestStep():
    - label:   the index of the label ("OFF", "PEQ", ...), tag 's';
    - integer: low + step, in steps of 1, tag 'i';
    - linear:  low + step x resolution, tag 'f';
    - log:     low x 10^(step / stepsPerDecade), tag 'f'; the highest step is high itself.
*/
namespace simparams
{
    enum class Scale
    {
        label,
        integer,
        linear,
        log
    };

    struct Argument
    {
        const char* name = "";
        Scale scale = Scale::integer;
        double low = 0.0;
        double high = 0.0;
        /** linear: the value of one step; log: steps per decade; otherwise unused. */
        double step = 0.0;
        std::vector<const char*> labels;

        /** 's', 'i' or 'f'. */
        char tag() const noexcept;
        /** The number of steps from low to high (labels: the last label's index). */
        int highestStep() const noexcept;

        /** The step nearest to a float request, clamped to the range.  NaN and anything at
            or below the bottom of a logarithmic range (zero, negatives) give step 0. */
        int stepForFloat (float value) const noexcept;
        /** The step of an integer request, clamped to the range. */
        int stepForInteger (std::int32_t value) const noexcept;
        /** The label whose text the request begins with (the first in table order), or -1. */
        int stepForLabel (const char* text) const noexcept;

        /** The float the amplifier holds at `step`. */
        float floatAt (int step) const noexcept;
        /** The integer the amplifier holds at `step`. */
        std::int32_t integerAt (int step) const noexcept;
        /** The label at `step`. */
        const char* labelAt (int step) const noexcept;
    };

    struct Message
    {
        std::string address;
        /** The type tags, without the leading comma ("sfff"): one letter per argument. */
        std::string tags;
        std::vector<Argument> arguments;
        /** One of the 39 blocks of the settings tree, which presets hold; "/siggen" and
            "/speaker" are not. */
        bool inPresets = true;
    };

    /** Most arguments any message has. */
    constexpr std::size_t maxArguments = 4;

    /** The 41 messages: "/ampmode", the 19 blocks of channel 1, the 19 of channel 2 (in the
        order the amplifier sends its settings after a preset recall), then "/siggen" and
        "/speaker". */
    const std::vector<Message>& messages();

    /** The index in messages() of the message with exactly this address, or -1. */
    int find (const std::string& address);
}
