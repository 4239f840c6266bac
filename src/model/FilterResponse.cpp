#include "FilterResponse.h"

#include <algorithm>
#include <cmath>

namespace FilterResponse
{
    const float deqLevelDb[levelCount] = { -50.0f, -40.0f, -30.0f, -20.0f, -10.0f, 0.0f };
    const float deqLevels[levelCount] = { 0.0031622799579054117f, 0.009999999776482582f, 0.03162280097603798f,
                                          0.10000000149011612f,   0.3162280023097992f,   1.0f };
}

namespace
{
    // The constants as the display model rounds them.
    constexpr float piSingle = 3.1415927410125732f;
    constexpr double twoPiSingle = 6.2831854820251465;
    constexpr float sqrt2 = 1.4142136573791504f;
    constexpr double dbToLinear = 0.11512929946184158;   // 10^(x/20) = exp (x * this)
    constexpr double ln10 = 2.302585093;

    // The six input levels as coordinates: -level / 6.
    constexpr float levelCoordinates[FilterResponse::levelCount] = { 8.333333015441895f, 6.6666669845581055f, 5.0f,
                                                                     3.333333015441895f, 1.6666669845581055f, 0.0f };

    // The smallest positive product a logarithm is taken of: keeps a curve finite even for a
    // section that has a zero on the unit circle (none of the parameters' ranges make one).
    constexpr double smallestLevel = 1.0e-30;

    float prewarp (float freq)   // K = tan (pi F / fs)
    {
        const auto argument = (float) ((double) piSingle * freq / FilterResponse::sampleRate);
        return (float) std::tan (argument);
    }

    float linearGain (float db)   // V = 10^(G / 20)
    {
        return (float) std::exp ((double) db * dbToLinear);
    }

    float dbOf (double power)
    {
        return (float) (20.0 * std::log (std::max (power, smallestLevel)) / ln10);
    }

    DisplayFilter section (float b0, float b1, float b2, float a1, float a2, float freq)
    {
        return { b0, b1, b2, a1, a2, freq };
    }

    DisplayFilter peaking (float K, float V, float Q, float F)
    {
        const float R = K / (std::sqrt (V) * Q);
        const float N = 1.0f / (1.0f + R + K * K);
        const float a1 = 2.0f * N * (K * K - 1.0f);
        const float a2 = N * (1.0f - R + K * K);
        const float lift = N * R * (V - 1.0f);
        return section (1.0f + lift, a1, a2 - lift, a1, a2, F);
    }

    DisplayFilter lowShelf1 (float K, float V, float F)
    {
        const float c = V > 1.0f ? (K - 1.0f) / (K + 1.0f) : (K - V) / (K + V);
        const float H = (V - 1.0f) / 2.0f;
        return section (1.0f + (1.0f + c) * H, c + (1.0f + c) * H, 0.0f, c, 0.0f, F);
    }

    DisplayFilter highShelf1 (float K, float V, float F)
    {
        const float c = V > 1.0f ? (K - 1.0f) / (K + 1.0f) : (V * K - 1.0f) / (V * K + 1.0f);
        const float H = (V - 1.0f) / 2.0f;
        return section (1.0f + (1.0f - c) * H, c + (c - 1.0f) * H, 0.0f, c, 0.0f, F);
    }

    DisplayFilter lowShelf2 (float K, float V, float F)
    {
        const float K2 = K * K;
        if (V > 1.0f)
        {
            const float D = 1.0f + sqrt2 * K + K2;
            const float root = std::sqrt (2.0f * V);
            return section ((1.0f + root * K + V * K2) / D, 2.0f * (V * K2 - 1.0f) / D, (1.0f - root * K + V * K2) / D,
                            2.0f * (K2 - 1.0f) / D, (1.0f - sqrt2 * K + K2) / D, F);
        }
        const float W = 1.0f / V;
        const float root = std::sqrt (2.0f * W);
        const float D = 1.0f + root * K + W * K2;
        return section ((1.0f + sqrt2 * K + K2) / D, 2.0f * (K2 - 1.0f) / D, (1.0f - sqrt2 * K + K2) / D,
                        2.0f * (W * K2 - 1.0f) / D, (1.0f - root * K + W * K2) / D, F);
    }

    DisplayFilter highShelf2 (float K, float V, float F)
    {
        const float K2 = K * K;
        if (V > 1.0f)
        {
            const float D = 1.0f + sqrt2 * K + K2;
            const float root = std::sqrt (2.0f * V);
            return section ((V + root * K + K2) / D, 2.0f * (K2 - V) / D, (V - root * K + K2) / D,
                            2.0f * (K2 - 1.0f) / D, (1.0f - sqrt2 * K + K2) / D, F);
        }
        const float W = 1.0f / V;
        const float D1 = W + std::sqrt (2.0f * W) * K + K2;
        const float root = std::sqrt (2.0f / W);
        const float D2 = 1.0f + root * K + K2 / W;
        return section ((1.0f + sqrt2 * K + K2) / D1, 2.0f * (K2 - 1.0f) / D1, (1.0f - sqrt2 * K + K2) / D1,
                        2.0f * (K2 / W - 1.0f) / D2, (1.0f - root * K + K2 / W) / D2, F);
    }

    // The Dynamic EQ band's distance from full effect at level coordinate x: zero where the
    // band acts fully, a straight part where it does not act, a quadratic knee 10 dB wide
    // around the knee level k between them.
    float cutDistance (float r, float k, float x)
    {
        const double s = r / 2.0;
        const double u = (k + 5.0) / 6.0;
        const double l = (k - 5.0) / 6.0;
        const double a = s / (2.0 * (u - l));
        const double b = 2.0 * a * u;
        const double c = a * u * u;
        const double d = c - l * (b - a * l - s);
        if (x >= -l)
            return (float) (s * x + d);
        if (x >= -u)
            return (float) (a * x * x + b * x + c);
        return 0.0f;
    }

    float boostDistance (float r, float k, float x)
    {
        const double s = -r - 0.5;
        const double u = (5.0 - k) / 6.0;
        const double l = -(k + 5.0) / 6.0;
        const double a = s / (2.0 * (l - u));
        const double b = -2.0 * a * u;
        const double c = a * u * u;
        const double d = l * (b + a * l - s) + c;
        if (x >= u)
            return 0.0f;
        if (x >= l)
            return (float) (a * x * x + b * x + c);
        return (float) (s * x + d);
    }

    bool isChannel (int channel)
    {
        return channel == 0 || channel == 1;
    }

    float deqResponse (int band, int curve, float freq)
    {
        const int channel = globals::deqVisibleChannel != 0 ? 1 : 0;
        const int level = curve >= 0 && curve < FilterResponse::levelCount ? curve : FilterResponse::levelCount - 1;
        const auto& filter = globals::deqFilterTable[channel][band];
        const float power = FilterResponse::biquadPowerGain (filter, freq);
        const float gain = globals::deqLevelGain[channel][band][level];
        const double output = (1.0 - (1.0 - gain) * power) * FilterResponse::deqLevels[level];
        return dbOf (output);
    }
}

DisplayFilter FilterResponse::peqSection (int type, float freq, float gainDb, float quality)
{
    const float K = prewarp (freq);
    const float V = linearGain (gainDb);
    switch (type)
    {
        case 1: return peaking (K, V, quality, freq);
        case 2: return lowShelf1 (K, V, freq);
        case 3: return lowShelf2 (K, V, freq);
        case 4: return highShelf1 (K, V, freq);
        case 5: return highShelf2 (K, V, freq);
        default: return section (1.0f, 0.0f, 0.0f, 0.0f, 0.0f, freq);
    }
}

DisplayFilter FilterResponse::deqSection (int type, float freq, float quality, float makeupGainDb)
{
    const float K = prewarp (freq);
    const float K2 = K * K;
    const float D = 1.0f + sqrt2 * K + K2;
    switch (type)
    {
        case 1:
        {
            const float V = linearGain (makeupGainDb);
            const float R = V > 1.0f ? K / (std::sqrt (V) * quality) : K / quality;
            const float N = 1.0f / (1.0f + R + K2);
            return section (R * N, 0.0f, -R * N, 2.0f * N * (K2 - 1.0f), N * (1.0f - R + K2), freq);
        }
        case 2:
        {
            const float b = K / (1.0f + K);
            return section (b, b, 0.0f, (K - 1.0f) / (K + 1.0f), 0.0f, freq);
        }
        case 3:
            return section (K2 / D, 2.0f * K2 / D, K2 / D, 2.0f * (K2 - 1.0f) / D, (1.0f - sqrt2 * K + K2) / D, freq);
        case 4:
        {
            const float b = 1.0f / (1.0f + K);
            return section (b, -b, 0.0f, (K - 1.0f) / (K + 1.0f), 0.0f, freq);
        }
        case 5:
            return section (1.0f / D, -2.0f / D, 1.0f / D, 2.0f * (K2 - 1.0f) / D, (1.0f - sqrt2 * K + K2) / D, freq);
        default: return section (0.0f, 0.0f, 0.0f, 0.0f, 0.0f, freq);
    }
}

std::array<float, FilterResponse::levelCount> FilterResponse::deqLevelGains (float makeupGainDb, float thresholdDb,
                                                                             float ratio)
{
    // The ratio parameter keeps to 2 .. 100; a ratio of 1 (no compression) would divide by zero.
    const float r = 1.0f - 1.0f / std::max (ratio, 1.001f);
    const float k = thresholdDb - makeupGainDb / r;
    const double fullGain = std::exp ((double) makeupGainDb * dbToLinear);

    std::array<float, levelCount> gains {};
    for (int i = 0; i < levelCount; ++i)
    {
        const float x = levelCoordinates[i];
        const float Y = makeupGainDb <= 0.0f ? cutDistance (r, k, x) : boostDistance (r, k, x);
        const auto distance = (float) (3.0 * Y);
        gains[(size_t) i] = (float) (1.0 - std::exp (-distance * dbToLinear) * (1.0 - fullGain));
    }
    return gains;
}

float FilterResponse::biquadPowerGain (const DisplayFilter& f, float freq)
{
    const auto omega = (float) (freq * twoPiSingle / sampleRate);
    const auto s = (float) std::sin (omega);
    const auto c = (float) std::cos (omega);
    const float c2 = c * c - s * s;
    const float T = f.b0 + f.b1 * c + f.b2 * c2;
    const float U = -f.b1 * s - f.b2 * 2.0f * c * s;
    const float D = -1.0f - f.a1 * c - f.a2 * c2;
    const float E = f.a1 * s + f.a2 * 2.0f * c * s;
    return (T * T + U * U) / (D * D + E * E);
}

void computePeqFilter (int channel, int band, int type, float freq, float gainDb, float quality)
{
    if (! isChannel (channel) || band < 0 || band >= 8)
        return;
    globals::peqFilterTable[(size_t) channel][(size_t) band] = FilterResponse::peqSection (type, freq, gainDb, quality);
}

float peqResponse (int, float freq)
{
    return peqChannelResponse (globals::peqVisibleChannel, freq);
}

float peqChannelResponse (int channel, float freq)
{
    const auto& bands = globals::peqFilterTable[channel != 0 ? 1 : 0];
    float product = 1.0f;
    for (const auto& band : bands)
        product *= FilterResponse::biquadPowerGain (band, freq);
    return std::isfinite (product) ? dbOf (product) : dbOf (smallestLevel);
}

void computeDeqFilter (int channel, int band, int type, float freq, float quality, float makeupGainDb,
                       float thresholdDb, float ratio)
{
    if (! isChannel (channel) || (band != 0 && band != 1))
        return;
    globals::deqFilterTable[(size_t) channel][(size_t) band] = FilterResponse::deqSection (type, freq, quality,
                                                                                           makeupGainDb);
    globals::deqLevelGain[(size_t) channel][(size_t) band] = FilterResponse::deqLevelGains (makeupGainDb, thresholdDb,
                                                                                            ratio);
}

float deqResponseBand1 (int curve, float freq)
{
    return deqResponse (0, curve, freq);
}

float deqResponseBand2 (int curve, float freq)
{
    return deqResponse (1, curve, freq);
}
