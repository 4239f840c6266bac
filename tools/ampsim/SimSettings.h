#pragma once

#include "Datagram.h"
#include "SimParameterTable.h"

#include <oscpack/osc/OscReceivedElements.h>
#include <array>
#include <string>
#include <vector>

/** The simulated amplifier's settings: the current step of every argument of every
    parameter message in the simulator's own table (SimParameterTable.h).

    A request is applied only when its type tags are exactly the message's: then every
    argument is clamped to its range and snapped to its step, and the answer carries the
    values as applied.  Presets hold the settings of the 39 tree blocks.

    Single-threaded.
*/
class SimSettings
{
public:
    /** One message's arguments, as steps (see simparams::Argument). */
    using Steps = std::array<int, simparams::maxArguments>;
    /** The settings a preset holds: one Steps per message with inPresets, in table order. */
    using PresetValues = std::vector<Steps>;

    /** Every argument at step 0. */
    SimSettings();

    /** The index of a message by the address of a request: the address up to the first
        character that is neither a letter, a digit nor "/" (so "/channel/1/limiter!" is the
        limiter); -1 when the table has no such message. */
    static int lookUp (const char* address);

    /** Applies a request with arguments to message `index`.  False, with nothing changed and
        the reason in `why`, when its type tags are not exactly the message's. */
    bool apply (int index, const osc::ReceivedMessage& request, std::string& why);

    /** The message `index` with its current values under `address` (the address a request
        used); false when it would not fit a 64-byte answer. */
    bool encode (int index, const char* address, Datagram& out) const;

    /** Current steps of message `index`. */
    const Steps& steps (int index) const { return current.at ((std::size_t) index); }
    /** Sets one argument's step, clamped to its range. */
    void setStep (int index, int argument, int step);

    /** The step of argument `argument` of the message at `address` (tests and status). */
    int step (const std::string& address, int argument) const;
    /** The value of that argument as the answer carries it: a float, an integer or a label. */
    float floatValue (const std::string& address, int argument) const;
    std::int32_t integerValue (const std::string& address, int argument) const;
    std::string label (const std::string& address, int argument) const;

    PresetValues presetValues() const;
    void applyPresetValues (const PresetValues& values);

private:
    std::vector<Steps> current;
};
