#include "CrossoverResponse.h"

#include "FilterResponse.h"

#include <cmath>

namespace
{
    constexpr float singlePi = 3.1415927410125732f;

    // Bessel 24 dB: its two sections sit at pi x 1.0588 and pi x 0.9444 of the corner, with
    // their dampings swapped between low-pass and high-pass.
    constexpr float besselUpperFactor = 3.326373338699341f;
    constexpr float besselLowerFactor = 2.967076539993286f;
    constexpr float besselDampingA = 1.9159488677978516f;
    constexpr float besselDampingB = 1.241405963897705f;

    float prewarp (float factor, float frequency)
    {
        const float argument = factor * frequency / CrossoverResponse::sampleRate;
        return (float) std::tan (argument);
    }

    CrossoverSection secondOrder (float k, double damping, bool highPass)
    {
        const double kk = (double) k * k;
        const double d = 1.0 + damping * k + kk;
        CrossoverSection s;
        s.a1 = (float) (2.0 * (kk - 1.0) / d);
        s.a2 = (float) ((1.0 - damping * k + kk) / d);
        const double b0 = highPass ? 1.0 / d : kk / d;
        s.b0 = (float) b0;
        s.b1 = (float) (highPass ? -2.0 * b0 : 2.0 * b0);
        s.b2 = (float) b0;
        return s;
    }

    CrossoverSection firstOrder (float k, bool highPass)
    {
        CrossoverSection s;
        s.a1 = (float) (((double) k - 1.0) / ((double) k + 1.0));
        const double b0 = highPass ? 1.0 / ((double) k + 1.0) : (double) k / ((double) k + 1.0);
        s.b0 = (float) b0;
        s.b1 = (float) (highPass ? -b0 : b0);
        return s;
    }

    /** The sections of one filter in slot order; returns how many. */
    int sectionsFor (int code, float frequency, bool highPass, CrossoverSection* out)
    {
        const float k = prewarp (singlePi, frequency);
        const double sqrt2 = 1.4142135623730951;
        const auto butterworth = [] (int order, int i) { return 2.0 * std::cos ((2 * i + 1) * M_PI / (2.0 * order)); };

        switch (code)
        {
            case 1: out[0] = firstOrder (k, highPass); return 1;                        // BUT6
            case 2: out[0] = secondOrder (k, sqrt2, highPass); return 1;                // BUT12
            case 3: out[0] = secondOrder (k, 1.7320508075688772, highPass); return 1;   // BES12
            case 4:                                                                     // LR12
                out[0] = out[1] = firstOrder (k, highPass);
                return 2;
            case 5:   // BUT18
                out[0] = firstOrder (k, highPass);
                out[1] = secondOrder (k, 1.0, highPass);
                return 2;
            case 6:   // BUT24
                out[0] = secondOrder (k, 1.8477590650225735, highPass);
                out[1] = secondOrder (k, 0.7653668647301796, highPass);
                return 2;
            case 7:   // BES24
                out[0] = secondOrder (prewarp (besselUpperFactor, frequency),
                                      highPass ? besselDampingB : besselDampingA, highPass);
                out[1] = secondOrder (prewarp (besselLowerFactor, frequency),
                                      highPass ? besselDampingA : besselDampingB, highPass);
                return 2;
            case 8:   // LR24
                out[0] = out[1] = secondOrder (k, sqrt2, highPass);
                return 2;
            case 9:   // BUT48
                for (int i = 0; i < 4; ++i)
                    out[i] = secondOrder (k, butterworth (8, i), highPass);
                return 4;
            case 10:   // LR48: two 4th-order Butterworths in a row
                for (int i = 0; i < 4; ++i)
                    out[i] = secondOrder (k, butterworth (4, i % 2), highPass);
                return 4;
            default: return 0;   // OFF
        }
    }
}

CrossoverSection CrossoverSection::passThrough()
{
    CrossoverSection s;
    s.b0 = 1.0f;
    return s;
}

void CrossoverResponse::computeFilter (int filter, int typeCode, float frequencyHz)
{
    if (filter < 0 || filter >= filterCount)
        return;

    CrossoverSection* slots = &sections[channelOf (filter)][isHighPass (filter) ? 0 : sectionsPerFilter];
    const int used = sectionsFor (typeCode, frequencyHz, isHighPass (filter), slots);
    for (int i = used; i < sectionsPerFilter; ++i)
        slots[i] = CrossoverSection::passThrough();
    frequencies[filter] = frequencyHz;
}

void CrossoverResponse::setGain (int channel, float gainDb)
{
    gains[channel != 0] = gainDb;
}

float CrossoverResponse::getGain (int channel) const
{
    return gains[channel != 0];
}

float CrossoverResponse::frequency (int filter) const
{
    return filter >= 0 && filter < filterCount ? frequencies[filter] : 0.0f;
}

const CrossoverSection& CrossoverResponse::section (int channel, int slot) const
{
    return sections[channel != 0][slot < 0 ? 0 : slot % sectionsPerChannel];
}

float CrossoverResponse::value (int channel, float frequencyHz) const
{
    float product = 1.0f;
    for (const auto& s : sections[channel != 0])
        product *= FilterResponse::biquadPowerGain ({ s.b0, s.b1, s.b2, s.a1, s.a2, 0.0f }, frequencyHz);
    if (! (product > 0.0f))
        return floorValue;
    return (float) (20.0 * std::log ((double) product) / 2.302585093) + 2.0f * gains[channel != 0];
}
