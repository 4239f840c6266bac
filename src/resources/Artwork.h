#pragma once

#include <juce_graphics/juce_graphics.h>

/** The pictures built into the program: GIF files from src/resources/art (made by
    tools/artwork/make-artwork.sh), embedded at build time and decoded through JUCE's image
    cache, so every caller of the same picture shares one decoded image.

    The returned images are shared: draw them as they are, or call duplicateIfShared() before
    drawing into one.  Any thread may ask (the image cache locks itself); the program asks on the
    message thread while building and painting its components. */
class Artwork
{
public:
    /** Every picture, with its size in pixels. */
    enum class Id
    {
        // Main panel
        banner,             // 164 x 32, dark gradient plate with the program name
        outputMeterScale,   // 36 x 134, "Limit", 0 to -60 dB beside the output meters
        inputMeterScale,    // 36 x 134, "Clip", 0 to -60 dB beside the input meters
        tarvoBadge,         // 90 x 23, TARVO family name (transparent surround)
        tarvoLogo,          // 73 x 60, TARVO picture
        zrBadge,            // 90 x 16, ZR family name (transparent surround)
        zrLogo,             // 102 x 25, ZR maker picture
        windowIcon,         // 32 x 32, the maker's mark

        // Configuration page: signal-flow diagrams, 580 x 99, one per amplifier mode
        modeDual,
        modeStereo,
        modeBiamp1,
        modeBiamp2,
        modeBridge,

        // Configuration page: block icons, 50 x 48, in use and not in use
        iconPeqOn,
        iconPeqOff,
        iconDeqOn,
        iconDeqOff,
        iconDelayOn,
        iconDelayOff,
        iconLimiterOn,
        iconLimiterOff,
        iconXoverOn,
        iconXoverOff,
        iconBiampXoverOn,
        iconBiampXoverOff,

        // Graph handles: numbered badges, 13 x 13 (transparent corners)
        handle1,
        handle2,
        handle3,
        handle4,
        handle5,
        handle6,
        handle7,
        handle8,

        // Graph scales
        freqScaleWide,     // 673 x 19, 20 Hz .. 20k under the Parametric EQ and crossover graphs
        freqScaleNarrow,   // 334 x 15, 20 .. 20k under each Dynamic EQ graph
        peqLevelScale,     // 24 x 127, +15 .. -15 dB left of the Parametric EQ graph
        xoverLevelScale,   // 24 x 162, +15 .. -15 dB left of the crossover graph
        deqLevelScale      // 24 x 127, 0 .. -50 dB left of each Dynamic EQ graph
    };

    /** How many pictures there are; Id values run from 0 to count - 1. */
    static constexpr int count = (int) Id::deqLevelScale + 1;

    /** The blocks that the Configuration page's diagram shows as icons. */
    enum class Block
    {
        peq,
        deq,
        delay,
        limiter,
        xover,       // a channel's high-pass and low-pass pair
        biampXover   // the crossover that splits one input in the bi-amp modes
    };

    /** The picture `id`; a null image only if `id` is not one of the Ids. */
    static juce::Image get (Id id);

    /** The handle badge showing `number`, 1 to 8; a null image for any other number. */
    static juce::Image handleBadge (int number);

    /** The signal-flow diagram of amplifier mode 0 (Dual Mono), 1 (Stereo), 2 (Bi-Amp 1),
        3 (Bi-Amp 2) or 4 (Bridge); a null image for any other mode. */
    static juce::Image modeDiagram (int mode);

    /** The icon of `block`, lit when `inUse`; a null image if `block` is not one of the Blocks. */
    static juce::Image blockIcon (Block block, bool inUse);

    /** The picture's file name without ".gif", e.g. "banner"; "" for an unknown id. */
    static const char* fileName (Id id);
};
