#include "MeterLevels.h"

#include <cmath>

namespace
{
    constexpr double twoPi = 6.283185307179586;
    // Cycle lengths in seconds, chosen so the channels drift against each other.
    constexpr double inputCycle[2] { 3.1, 3.7 };
    constexpr double outputLagSeconds = 0.15;
    constexpr double swingLowDb = -30.0;
    constexpr double swingHighDb = 6.0;

    float sane (float value)
    {
        return std::isfinite (value) && value > 0.0f ? value : 0.0f;
    }

    double swingGain (double seconds, double cycle)
    {
        const double position = 0.5 + 0.5 * std::sin (twoPi * seconds / cycle);
        return std::pow (10.0, (swingLowDb + (swingHighDb - swingLowDb) * position) / 20.0);
    }
}

MeterLevels::MeterLevels (const Levels& levels, bool shouldMove)
    : moving (shouldMove)
{
    setLevels (levels);
}

void MeterLevels::setLevels (const Levels& levels)
{
    for (std::size_t i = 0; i < base.size(); ++i)
        base[i] = sane (levels[i]);
}

MeterLevels::Levels MeterLevels::levelsAt (double timeMs) const
{
    if (! moving)
        return base;

    const double seconds = timeMs / 1000.0;
    Levels now {};
    for (std::size_t channel = 0; channel < 2; ++channel)
    {
        now[channel] = (float) (base[channel] * swingGain (seconds, inputCycle[channel]));
        now[channel + 2] = (float) (base[channel + 2] * swingGain (seconds - outputLagSeconds, inputCycle[channel]));
    }
    return now;
}

MeterLevels::Lamps MeterLevels::lampsAt (double timeMs) const
{
    const auto levels = levelsAt (timeMs);
    Lamps lamps {};
    for (std::size_t i = 0; i < lamps.size(); ++i)
        lamps[i] = forced[i] > 0 ? forced[i] : (levels[i] >= 1.0f ? 1 : 0);
    return lamps;
}
