// The built-in pictures: sizes, sharing, and that scales line up with what the program draws
// beside them (meter segments, graph grid lines).  Positions below are the panel's and the pages'
// own layout figures, and the graphs' grid formula; nothing is read from the generator.

#include "Artwork.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

namespace
{
    using Id = Artwork::Id;

    struct Stated
    {
        Id id;
        int width, height;
    };

    const Stated statedSizes[] = {
        { Id::banner, 164, 32 },           { Id::outputMeterScale, 36, 134 }, { Id::inputMeterScale, 36, 134 },
        { Id::tarvoBadge, 90, 23 },        { Id::tarvoLogo, 73, 60 },         { Id::zrBadge, 90, 16 },
        { Id::zrLogo, 102, 25 },           { Id::windowIcon, 32, 32 },        { Id::modeDual, 580, 99 },
        { Id::modeStereo, 580, 99 },       { Id::modeBiamp1, 580, 99 },       { Id::modeBiamp2, 580, 99 },
        { Id::modeBridge, 580, 99 },       { Id::iconPeqOn, 50, 48 },         { Id::iconPeqOff, 50, 48 },
        { Id::iconDeqOn, 50, 48 },         { Id::iconDeqOff, 50, 48 },        { Id::iconDelayOn, 50, 48 },
        { Id::iconDelayOff, 50, 48 },      { Id::iconLimiterOn, 50, 48 },     { Id::iconLimiterOff, 50, 48 },
        { Id::iconXoverOn, 50, 48 },       { Id::iconXoverOff, 50, 48 },      { Id::iconBiampXoverOn, 50, 48 },
        { Id::iconBiampXoverOff, 50, 48 }, { Id::handle1, 13, 13 },           { Id::handle2, 13, 13 },
        { Id::handle3, 13, 13 },           { Id::handle4, 13, 13 },           { Id::handle5, 13, 13 },
        { Id::handle6, 13, 13 },           { Id::handle7, 13, 13 },           { Id::handle8, 13, 13 },
        { Id::freqScaleWide, 673, 19 },    { Id::freqScaleNarrow, 334, 15 },  { Id::peqLevelScale, 24, 127 },
        { Id::xoverLevelScale, 24, 162 },  { Id::deqLevelScale, 24, 127 },
    };

    // Ink: an opaque pixel clearly brighter than the black ground or a transparent one.
    bool isInk (const juce::Image& image, int x, int y)
    {
        const auto c = image.getPixelAt (x, y);
        return c.getAlpha() > 128 && std::max ({ c.getRed(), c.getGreen(), c.getBlue() }) > 0x40;
    }

    // Rows [from, to] of column x that hold ink.
    std::vector<int> inkRows (const juce::Image& image, int x, int from, int to)
    {
        std::vector<int> rows;
        for (int y = std::max (0, from); y <= std::min (image.getHeight() - 1, to); ++y)
            if (isInk (image, x, y))
                rows.push_back (y);
        return rows;
    }

    // Top and bottom ink rows inside a rectangle; {-1, -1} when there is none.
    std::pair<int, int> inkExtent (const juce::Image& image, juce::Rectangle<int> area)
    {
        area = area.getIntersection (image.getBounds());
        int top = -1, bottom = -1;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (isInk (image, x, y))
                {
                    if (top < 0)
                        top = y;
                    bottom = y;
                }
        return { top, bottom };
    }

    bool sameImage (const juce::Image& a, const juce::Image& b)
    {
        return a.isValid() && a.getPixelData() == b.getPixelData();
    }

    // The graphs' geometry: a grid line's column for a frequency, and a horizontal line's row.
    int gridColumn (double frequency, int graphWidth)
    {
        const auto r = (float) (std::log (std::max (frequency, 0.00001) / 20.0) / std::log (1000.0));
        return (int) (r * (float) graphWidth);
    }

    int gridRow (int graphHeight, int divisions, int k)
    {
        return (int) ((float) graphHeight / (float) divisions * (float) k);
    }

    std::vector<double> gridFrequencies()
    {
        std::vector<double> result;
        for (int i = 1; i <= 9; ++i)
            for (double decade : { 10.0, 100.0, 1000.0 })
                if (decade * i >= 20.0)
                    result.push_back (decade * i);
        result.push_back (10000.0);
        result.push_back (20000.0);
        return result;
    }
}

TEST (Artwork, EveryPictureDecodesToItsStatedSize)
{
    std::map<int, bool> listed;
    for (const auto& s : statedSizes)
    {
        const auto image = Artwork::get (s.id);
        SCOPED_TRACE (Artwork::fileName (s.id));
        ASSERT_TRUE (image.isValid());
        EXPECT_EQ (image.getWidth(), s.width);
        EXPECT_EQ (image.getHeight(), s.height);
        listed[(int) s.id] = true;
    }
    EXPECT_EQ ((int) listed.size(), Artwork::count) << "a picture without a stated size";
}

TEST (Artwork, PicturesAreDecodedOnceAndShared)
{
    EXPECT_TRUE (sameImage (Artwork::get (Id::banner), Artwork::get (Id::banner)));

    for (int n = 1; n <= 8; ++n)
        EXPECT_TRUE (sameImage (Artwork::handleBadge (n), Artwork::get ((Id) ((int) Id::handle1 + n - 1)))) << n;

    const Id modes[] = { Id::modeDual, Id::modeStereo, Id::modeBiamp1, Id::modeBiamp2, Id::modeBridge };
    for (int m = 0; m < 5; ++m)
        EXPECT_TRUE (sameImage (Artwork::modeDiagram (m), Artwork::get (modes[m]))) << m;

    using B = Artwork::Block;
    const std::tuple<B, Id, Id> icons[] = {
        { B::peq, Id::iconPeqOn, Id::iconPeqOff },       { B::deq, Id::iconDeqOn, Id::iconDeqOff },
        { B::delay, Id::iconDelayOn, Id::iconDelayOff }, { B::limiter, Id::iconLimiterOn, Id::iconLimiterOff },
        { B::xover, Id::iconXoverOn, Id::iconXoverOff }, { B::biampXover, Id::iconBiampXoverOn, Id::iconBiampXoverOff },
    };
    for (const auto& [block, on, off] : icons)
    {
        EXPECT_TRUE (sameImage (Artwork::blockIcon (block, true), Artwork::get (on))) << Artwork::fileName (on);
        EXPECT_TRUE (sameImage (Artwork::blockIcon (block, false), Artwork::get (off))) << Artwork::fileName (off);
    }

    // Every picture is its own: no two ids share data.
    std::map<const void*, int> seen;
    for (int i = 0; i < Artwork::count; ++i)
        EXPECT_TRUE (seen.emplace (Artwork::get ((Id) i).getPixelData(), i).second) << Artwork::fileName ((Id) i);
}

TEST (Artwork, RequestsOutsideTheRangesGiveNullImages)
{
    EXPECT_FALSE (Artwork::handleBadge (0).isValid());
    EXPECT_FALSE (Artwork::handleBadge (9).isValid());
    EXPECT_FALSE (Artwork::handleBadge (-1).isValid());
    EXPECT_FALSE (Artwork::modeDiagram (-1).isValid());
    EXPECT_FALSE (Artwork::modeDiagram (5).isValid());
    EXPECT_FALSE (Artwork::get ((Id) Artwork::count).isValid());
    EXPECT_FALSE (Artwork::get ((Id) -1).isValid());
    EXPECT_FALSE (Artwork::blockIcon ((Artwork::Block) 6, true).isValid());
    EXPECT_STREQ (Artwork::fileName ((Id) Artwork::count), "");
    EXPECT_STREQ (Artwork::fileName (Id::handle8), "handle_8");
}

// Pictures drawn over other drawing keep their surroundings clear.
TEST (Artwork, OverlaidPicturesHaveTransparentSurrounds)
{
    for (int n = 1; n <= 8; ++n)
    {
        const auto badge = Artwork::handleBadge (n);
        SCOPED_TRACE (n);
        for (const auto& corner : { juce::Point<int> (0, 0), { 12, 0 }, { 0, 12 }, { 12, 12 } })
            EXPECT_EQ (badge.getPixelAt (corner.x, corner.y).getAlpha(), 0);
        EXPECT_EQ (badge.getPixelAt (3, 6).getAlpha(), 255);
    }

    for (auto id : { Id::zrBadge, Id::tarvoBadge, Id::banner, Id::windowIcon, Id::outputMeterScale })
    {
        const auto image = Artwork::get (id);
        SCOPED_TRACE (Artwork::fileName (id));
        EXPECT_EQ (image.getPixelAt (0, 0).getAlpha(), 0);
        EXPECT_EQ (image.getPixelAt (image.getWidth() - 1, image.getHeight() - 1).getAlpha(), 0);
        EXPECT_GT (inkExtent (image, image.getBounds()).first, -1) << "nothing drawn";
    }
}

// The panel centres each meter scale, never enlarged, in a 40 x 140 box between the meters of
// channel A and B; the meters have 21 segments on a 5-pixel pitch, 3 rows lit and 2 dark.
TEST (MeterScale, TicksSitOnTheSegmentRowsAndLabelsOnEveryOtherSegment)
{
    struct Case
    {
        Id id;
        int boxY, meterY, lampY;
    };

    for (const auto& c : { Case { Id::outputMeterScale, 62, 90, 76 }, Case { Id::inputMeterScale, 238, 266, 252 } })
    {
        const auto image = Artwork::get (c.id);
        SCOPED_TRACE (Artwork::fileName (c.id));
        const auto placed = juce::RectanglePlacement (juce::RectanglePlacement::centred
                                                      | juce::RectanglePlacement::onlyReduceInSize)
                                .appliedTo (image.getBounds().toFloat(),
                                            juce::Rectangle<float> (802, (float) c.boxY, 40, 140));
        ASSERT_EQ (placed.getX(), 804.0f);
        const auto top = (int) placed.getY();
        const int pitch = 105 / 21;

        auto segmentOf = [&] (int row) {   // segment index whose lit rows hold this image row, or -1
            const auto y = row + top - c.meterY;
            return (y >= 0 && y < 21 * pitch && y % pitch < pitch - 2) ? y / pitch : -1;
        };

        for (const int x : { 0, image.getWidth() - 1 })
        {
            std::vector<bool> ticked (21, false);
            for (const int row : inkRows (image, x, 0, image.getHeight() - 1))
            {
                const auto segment = segmentOf (row);
                EXPECT_GE (segment, 0) << "tick at row " << row << ", column " << x << " beside no segment";
                if (segment >= 0)
                    ticked[(size_t) segment] = true;
            }
            for (int i = 0; i < 21; ++i)
                EXPECT_TRUE (ticked[(size_t) i]) << "no tick beside segment " << i << ", column " << x;
        }

        // The 0, -6 .. -60 dB labels are centred on their segment's middle row.
        for (int i = 0; i <= 20; i += 2)
        {
            const auto middle = c.meterY + pitch * i + 1 - top;
            const auto [inkTop, inkBottom] = inkExtent (image, { 5, middle - 5, 26, 11 });
            ASSERT_GE (inkTop, 0) << "no label at segment " << i;
            EXPECT_NEAR ((inkTop + inkBottom) / 2.0, middle, 1.0) << "label of segment " << i;
        }

        // The title stands beside the limit or clip lamps.
        const auto lampTop = c.lampY - top;
        const auto [titleTop, titleBottom] = inkExtent (image, { 5, 0, 26, c.meterY - top - 4 });
        EXPECT_LE (titleTop, lampTop);
        EXPECT_GE (titleBottom, lampTop + 2);
    }
}

// Each level scale's ticks are exactly the graph's horizontal grid rows, and each label is
// centred on its tick.  Graphs are 150 pixels high at page y 10.
TEST (GraphScales, LevelTicksAndLabelsSitOnTheGridLines)
{
    struct Case
    {
        Id id;
        int scaleY, divisions, firstLine, lastLine;
    };

    const Case cases[] = {
        { Id::peqLevelScale, 22, 8, 1, 7 },    // +-20 dB graph, lines +15 .. -15 every 5 dB
        { Id::xoverLevelScale, 4, 6, 0, 6 },   // +-15 dB graph, edges and lines every 5 dB
        { Id::deqLevelScale, 21, 7, 1, 6 },    // +10 .. -60 dB graph, lines 0 .. -50 every 10 dB
    };

    for (const auto& c : cases)
    {
        const auto image = Artwork::get (c.id);
        SCOPED_TRACE (Artwork::fileName (c.id));
        std::vector<int> expected;
        for (int k = c.firstLine; k <= c.lastLine; ++k)
            expected.push_back (10 + gridRow (150, c.divisions, k) - c.scaleY);

        EXPECT_EQ (inkRows (image, 21, 0, image.getHeight() - 1), expected);

        for (const int row : expected)
        {
            const auto [inkTop, inkBottom] = inkExtent (image, { 0, row - 5, 19, 11 });
            ASSERT_GE (inkTop, 0) << "no label at row " << row;
            EXPECT_NEAR ((inkTop + inkBottom) / 2.0, row, 1.0) << "label at row " << row;
        }
    }
}

// The frequency scales hang a tick from their top row at each vertical grid line of the graph
// above them, and have labels below.
TEST (GraphScales, FrequencyTicksSitOnTheGridColumns)
{
    struct Case
    {
        Id id;
        int offset, graphWidth;
    };

    for (const auto& c : { Case { Id::freqScaleWide, 50 - 43, 660 }, Case { Id::freqScaleNarrow, 32 - 24, 320 } })
    {
        const auto image = Artwork::get (c.id);
        SCOPED_TRACE (Artwork::fileName (c.id));
        std::vector<int> expected, found;
        for (const auto f : gridFrequencies())
            expected.push_back (c.offset + gridColumn (f, c.graphWidth));
        std::sort (expected.begin(), expected.end());

        for (int x = 0; x < image.getWidth(); ++x)
            if (isInk (image, x, 0))
                found.push_back (x);

        EXPECT_EQ (found, expected);
        EXPECT_GE (inkExtent (image, { 0, 3, image.getWidth(), 12 }).first, 3) << "no labels";
    }
}
