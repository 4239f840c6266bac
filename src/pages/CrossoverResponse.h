#pragma once

/** One second-order section of the crossover display model, as the response graph
    evaluates it: H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2). */
struct CrossoverSection
{
    float b0 = 0.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;

    /** b0 = 1, all else 0: lets everything through. */
    static CrossoverSection passThrough();
};

/** The crossover page's display model of both channels' high-pass and low-pass filters at
    96 kHz, and the curve the page's graph draws from it.

    Filters are numbered as on the page: 0 channel A high-pass, 1 channel A low-pass,
    2 channel B high-pass, 3 channel B low-pass.  Each filter fills four sections of its
    channel (high-pass first, low-pass second), pass-through sections after the ones its
    type needs.  Until a filter has been computed its sections are all zero, so its channel's
    curve lies at the floor.  The model is only drawn; nothing here is sent.
    Message thread only.
*/
class CrossoverResponse
{
public:
    static constexpr float sampleRate = 96000.0f;
    static constexpr int filterCount = 4;
    static constexpr int sectionsPerFilter = 4;
    static constexpr int sectionsPerChannel = 2 * sectionsPerFilter;
    /** The curve's value where the sections let nothing through. */
    static constexpr float floorValue = -100.0f;

    /** Recomputes filter `filter`'s sections from its type code (0 "OFF" .. 10 "LR48"; an
        unknown code counts as "OFF") and corner frequency in Hz, and stores the frequency
        (the position of the filter's handle).  Filters outside 0..3 are ignored. */
    void computeFilter (int filter, int typeCode, float frequency);

    /** The crossover gain of `channel` (0 A, 1 B) in dB. */
    void setGain (int channel, float gainDb);
    float getGain (int channel) const;

    /** The corner frequency last computed for `filter` (0 before the first computation). */
    float frequency (int filter) const;

    /** Section `slot` (0..7) of `channel`. */
    const CrossoverSection& section (int channel, int slot) const;

    /** The graph's value of `channel` at `frequency` Hz: twice the level in dB (the sections'
        power gains multiplied, 20 log10 of the product, plus twice the gain), or floorValue
        where the product is not positive. */
    float value (int channel, float frequency) const;

    /** True for the high-pass filters, 0 and 2. */
    static bool isHighPass (int filter) { return filter % 2 == 0; }
    /** The channel a filter belongs to. */
    static int channelOf (int filter) { return filter / 2; }

private:
    CrossoverSection sections[2][sectionsPerChannel] {};
    float gains[2] {};
    float frequencies[filterCount] {};
};
