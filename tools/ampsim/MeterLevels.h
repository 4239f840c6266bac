#pragma once

#include <array>

/** The four levels the simulated amplifier measures (input A, input B, output A, output B,
    linear, 1.0 = full scale) and the four lamps derived from them (input clip A, input
    clip B, output limit A, output limit B).

    Levels are fixed, or with moving() they swing smoothly over time between 30 dB below and
    6 dB above the set levels, each input on its own slow cycle with its output following it.
    A lamp lights when its level reaches 1.0; a forced lamp value above 0 overrides that.
*/
class MeterLevels
{
public:
    using Levels = std::array<float, 4>;
    using Lamps = std::array<int, 4>;

    explicit MeterLevels (const Levels& levels = {}, bool moving = false);

    /** Sets the four levels; negative or non-finite values count as 0. */
    void setLevels (const Levels& levels);
    const Levels& baseLevels() const noexcept { return base; }

    /** Forces lamps: a value above 0 is sent as it is, 0 or less lets the level decide. */
    void forceLamps (const Lamps& lamps) { forced = lamps; }
    const Lamps& forcedLamps() const noexcept { return forced; }

    void setMoving (bool shouldMove) { moving = shouldMove; }
    bool isMoving() const noexcept { return moving; }

    /** The levels at `timeMs` (milliseconds since start). */
    Levels levelsAt (double timeMs) const;

    /** The lamp values at `timeMs`, as "/peaklimit" carries them. */
    Lamps lampsAt (double timeMs) const;

private:
    Levels base {};
    Lamps forced {};
    bool moving = false;
};
