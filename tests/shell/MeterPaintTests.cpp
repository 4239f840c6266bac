// The level meter and the lamp, painted into images and read back pixel by pixel.

#include "ModelTable.h"
#include "led_clip.h"
#include "led_meter.h"

#include <gtest/gtest.h>
#include <limits>

namespace
{
    const juce::Colour amber { 0xfffdbb30 };
    const juce::Colour yellow { 0xfffff44f };
    const juce::Colour black { 0xff000000 };

    /** The panel's meter: 14 x 105, floor -60, top 0, 21 segments of 3 pixels, 2-pixel gaps. */
    struct PanelMeter
    {
        explicit PanelMeter (double level)
        {
            meter.floorLevel = -60.0;
            meter.topLevel = 0.0;
            meter.segmentCount = 21;
            meter.level = level;
            meter.setBounds (0, 0, 14, 105);
        }

        juce::Image paint()
        {
            juce::Image image (juce::Image::ARGB, meter.getWidth(), meter.getHeight(), true);
            juce::Graphics g (image);
            meter.paintEntireComponent (g, false);
            return image;
        }

        led_meter meter { "output meter A" };
    };

    bool sameColour (juce::Colour a, juce::Colour b)
    {
        return a.getARGB() == b.getARGB();
    }

    /** Every pixel of segment `i` (rows 5i .. 5i+2, full width) has `colour`. */
    ::testing::AssertionResult segmentIs (const juce::Image& image, int i, juce::Colour colour)
    {
        for (int y = 5 * i; y < 5 * i + 3; ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                if (! sameColour (image.getPixelAt (x, y), colour))
                    return ::testing::AssertionFailure() << "segment " << i << " pixel (" << x << ", " << y << ") is "
                                                         << image.getPixelAt (x, y).toDisplayString (true)
                                                         << ", expected " << colour.toDisplayString (true);
        return ::testing::AssertionSuccess();
    }

    /** Segment colours top to bottom when the first `unlitAtTop` segments are dark. */
    void expectLitFrom (const juce::Image& image, int unlitAtTop)
    {
        for (int i = 0; i < 21; ++i)
        {
            const bool lit = i >= unlitAtTop;
            const auto expected = lit ? (i < 3 ? yellow : amber) : black;
            EXPECT_TRUE (segmentIs (image, i, expected));
        }
    }
}

TEST (LedMeter, StartsWithTheDefaultsAndAllSegmentsDark)
{
    led_meter meter ("m");
    EXPECT_EQ (meter.getName(), "m");
    EXPECT_EQ (meter.level, -100.0);
    EXPECT_EQ (meter.floorLevel, -60.0);
    EXPECT_EQ (meter.topLevel, 0.0);
    EXPECT_EQ (meter.segmentCount, 10);

    PanelMeter fresh (-100.0);
    expectLitFrom (fresh.paint(), 21);
}

TEST (LedMeter, FloorLightsNothingAndOneDecibelAboveLightsTheBottomSegment)
{
    expectLitFrom (PanelMeter (-60.0).paint(), 21);
    expectLitFrom (PanelMeter (-59.0).paint(), 20);
    // Thresholds fall in 3 dB steps: -57 is not below -57, so only the bottom one still.
    expectLitFrom (PanelMeter (-57.0).paint(), 20);
    expectLitFrom (PanelMeter (-56.0).paint(), 19);
}

TEST (LedMeter, ZeroLightsAllButTheTopAndOneLightsAll)
{
    expectLitFrom (PanelMeter (0.0).paint(), 1);
    expectLitFrom (PanelMeter (1.0).paint(), 0);
    expectLitFrom (PanelMeter (-4.0).paint(), 2);
}

TEST (LedMeter, GapsShowFaintAmber)
{
    for (double level : { -100.0, 1.0 })
    {
        const auto image = PanelMeter (level).paint();
        for (int i = 0; i < 21; ++i)
        {
            for (int y : { 5 * i + 3, 5 * i + 4 })
            {
                const auto pixel = image.getPixelAt (7, y);
                EXPECT_EQ (pixel.getAlpha(), 0x20) << "row " << y;
                // The image stores premultiplied colour, so the channels come back approximately.
                EXPECT_NEAR (pixel.getRed(), 0xfd, 8) << "row " << y;
                EXPECT_NEAR (pixel.getGreen(), 0xbb, 8) << "row " << y;
                EXPECT_NEAR (pixel.getBlue(), 0x30, 8) << "row " << y;
            }
        }
    }
}

TEST (LedMeter, OwnerColoursAndRangeAreHonoured)
{
    PanelMeter custom (-10.0);
    custom.meter.litColour = juce::Colour (0xff00ff00);
    custom.meter.topLitColour = juce::Colour (0xff0000ff);
    custom.meter.topLevel = 20.0;   // thresholds 20, 16, 12, ... -60 in 4 dB steps
    const auto image = custom.paint();

    for (int i = 0; i < 21; ++i)
    {
        const double threshold = 20.0 - 4.0 * i;
        const bool lit = threshold < -10.0;
        const auto expected = lit ? juce::Colour (i < 3 ? 0xff0000ffu : 0xff00ff00u) : black;
        EXPECT_TRUE (segmentIs (image, i, expected));
    }
}

TEST (LedMeter, DegenerateSettingsPaintOnlyTheBackground)
{
    for (int segments : { 0, -3, 200 })
    {
        PanelMeter odd (1.0);
        odd.meter.segmentCount = segments;   // 200 segments leave no room for any
        const auto image = odd.paint();
        for (int y = 0; y < image.getHeight(); y += 7)
            EXPECT_EQ (image.getPixelAt (5, y).getAlpha(), 0x20) << segments << " segments, row " << y;
    }

    PanelMeter single (1.0);
    single.meter.segmentCount = 1;   // one segment at the top level, lit above it
    const auto image = single.paint();
    EXPECT_TRUE (sameColour (image.getPixelAt (3, 0), yellow));
    EXPECT_TRUE (sameColour (image.getPixelAt (3, 102), yellow));
    EXPECT_EQ (image.getPixelAt (3, 104).getAlpha(), 0x20);
}

TEST (LedClip, OffIsBlackAndOnIsRedOverTheWholeArea)
{
    led_clip lamp ("input clip led A");
    EXPECT_FALSE (lamp.lit);
    lamp.setBounds (0, 0, 14, 3);

    for (bool lit : { false, true })
    {
        lamp.lit = lit;
        juce::Image image (juce::Image::ARGB, 14, 3, true);
        juce::Graphics g (image);
        lamp.paintEntireComponent (g, false);

        const auto expected = lit ? juce::Colour (0xffff0000) : black;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 14; ++x)
                EXPECT_TRUE (sameColour (image.getPixelAt (x, y), expected)) << x << ", " << y;
    }
}

TEST (ModelTable, StrayNumbersReadAsNoDevice)
{
    EXPECT_EQ (ModelTable::deviceLabel (7), "[Device: TARVO-8]");
    EXPECT_TRUE (ModelTable::isZr (3));
    EXPECT_FALSE (ModelTable::isZr (4));

    for (int odd : { -1, 9, 1000, std::numeric_limits<int>::min() })
    {
        EXPECT_EQ (ModelTable::checkedIndex (odd), 8);
        EXPECT_EQ (ModelTable::modelName (odd), "-");
        EXPECT_EQ (ModelTable::deviceLabel (odd), "[not connected!]");
        EXPECT_EQ (ModelTable::family (odd), DeviceFamily::none);
        EXPECT_EQ (ModelTable::fullScaleVp (odd), 100.0f);
        EXPECT_TRUE (ModelTable::allowsBridge (odd));
        EXPECT_FALSE (ModelTable::hasLineVoltageOutputs (odd));
        EXPECT_TRUE (ModelTable::takesTwoOhmLoad (odd));
    }
}
