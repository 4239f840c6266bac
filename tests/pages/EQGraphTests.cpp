// The response graph: its geometry per kind, what a paint draws (grid, curves, fills,
// handles and their dotted lines) and how often it asks for the response.

#include "EQGraph.h"
#include "Globals.h"

#include <gtest/gtest.h>
#include <limits>

namespace
{
    const juce::Colour red { 0xffff0000 };

    std::unique_ptr<filter_drag> badge (int kind, int index)
    {
        juce::Image picture (juce::Image::ARGB, 13, 13, true);
        juce::Graphics (picture).fillAll (juce::Colours::green);
        return std::make_unique<filter_drag> (picture, kind, nullptr, index);
    }

    juce::Image paintOf (EQGraph& graph)
    {
        juce::Image image (juce::Image::RGB, graph.getWidth(), graph.getHeight(), true);
        juce::Graphics g (image);
        graph.paintEntireComponent (g, false);
        return image;
    }

    bool isGrey (juce::Colour c)
    {
        return c.getRed() == c.getGreen() && c.getGreen() == c.getBlue() && c.getRed() > 0x20;
    }

    struct GraphTest : public ::testing::Test
    {
        ScopedGlobal<std::int32_t> selected { globals::selectedHandle, 5 };
    };
}

TEST_F (GraphTest, KindsSetTheirWindowAndEveryGraphSelectsHandleZero)
{
    EQGraph peq (0, nullptr), xover (1, nullptr), deq (2, nullptr), other (7, nullptr);
    EXPECT_EQ (globals::selectedHandle, 0);
    EXPECT_EQ (peq.dbRange, 40);
    EXPECT_EQ (peq.curveCount, 1u);
    EXPECT_EQ (xover.dbRange, 30);
    EXPECT_EQ (xover.curveCount, 2u);
    EXPECT_EQ (deq.dbRange, 60);
    EXPECT_EQ (deq.curveCount, 6u);
    EXPECT_EQ (deq.verticalScale, 0.857142865657806f);
    EXPECT_EQ (other.dbRange, 30);
    EXPECT_EQ (other.curveCount, 1u);
    EXPECT_EQ (peq.handleLineColour, juce::Colour (0x00000000));
    EXPECT_EQ (peq.fillMode, 1);
}

TEST_F (GraphTest, GeometryOfAxesAndGrid)
{
    EQGraph graph (0, nullptr);
    graph.setSize (660, 150);
    EXPECT_EQ (graph.gridRows(), juce::Array<int> ({ 18, 37, 56, 75, 93, 112, 131 }));
    EXPECT_EQ (graph.yOfValue (40.0f), 0);
    EXPECT_EQ (graph.yOfValue (-40.0f), 150);
    EXPECT_EQ (graph.yOfValue (0.0f), 75);
    EXPECT_EQ (graph.yOfValue (12.0f), 150 - 97);
    // Beyond any reason (or no number at all) still gives a row near the window, not garbage.
    EXPECT_LT (graph.yOfValue (std::numeric_limits<float>::infinity()), 0);
    EXPECT_GT (graph.yOfValue (-std::numeric_limits<float>::infinity()), 150);
    EXPECT_EQ (graph.yOfValue (std::numeric_limits<float>::quiet_NaN()), 75);

    EXPECT_EQ (graph.xOfFrequency (20.0f), 0.0);
    EXPECT_NEAR (graph.xOfFrequency (20000.0f), 660.0, 1e-3);
    EXPECT_NEAR (graph.xOfFrequency (632.456f), 330.0, 0.01);
    EXPECT_LT (graph.xOfFrequency (0.0f), -1000.0);
    EXPECT_EQ (graph.xOfFrequency (-5.0f), graph.xOfFrequency (0.0f));
    EXPECT_EQ (graph.frequencyAtColumn (0), 20.0f);
    EXPECT_NEAR (graph.frequencyAtColumn (660), 20000.0f, 0.01f);
    EXPECT_EQ (graph.frequencyAtColumn (900), graph.frequencyAtColumn (660));

    EQGraph deq (2, nullptr);
    deq.setSize (320, 150);
    EXPECT_EQ (deq.gridRows(), juce::Array<int> ({ 21, 42, 64, 85, 107, 128 }));
    EXPECT_EQ (deq.yOfValue (0.0f), 22);   // a seventh from the top
    EXPECT_EQ (deq.yOfValue (-60.0f), 150);
    deq.setSize (320, 20);   // too low for seven divisions
    EXPECT_TRUE (deq.gridRows().isEmpty());
}

TEST_F (GraphTest, PaintDrawsGridZeroLineAndFilledCurveAndCallsTheResponseOncePerColumn)
{
    EQGraph graph (0, nullptr);
    graph.setSize (660, 150);
    int calls = 0;
    graph.responseFunction = [&calls] (int, float) { return ++calls, 20.0f; };   // +10 dB: row 38
    graph.strokeColour[0] = red;
    graph.fillColour[0] = juce::Colour (0xff0000ff);

    auto image = paintOf (graph);
    EXPECT_EQ (calls, 659);
    EXPECT_EQ (graph.paintCount, 1);
    EXPECT_GT (image.getPixelAt (330, 38).getRed(), 0x80) << "the curve";
    EXPECT_EQ (image.getPixelAt (330, 60), juce::Colour (0xff0000ff)) << "filled down to the middle";
    EXPECT_EQ (image.getPixelAt (330, 100), juce::Colours::black) << "nothing below the middle";
    EXPECT_EQ (image.getPixelAt (330, 112), juce::Colour (0xff555555)) << "grid line, one pixel";
    EXPECT_EQ (image.getPixelAt (330, 113), juce::Colours::black);
    EXPECT_EQ (image.getPixelAt (1, 112), juce::Colours::black) << "2 pixels short of the edges";
    EXPECT_TRUE (isGrey (image.getPixelAt (330, 75))) << "zero line, 2 pixels thick, under the fill above";
    EXPECT_EQ (image.getPixelAt (330, 77), juce::Colours::black);
    const int x1k = (int) graph.xOfFrequency (1000.0f);
    EXPECT_EQ (image.getPixelAt (x1k, 140), juce::Colour (0xff555555)) << "1 kHz line";
    EXPECT_EQ (image.getPixelAt (x1k + 1, 140), juce::Colours::black);

    // No grid and no zero line when the grid is the background colour; fill to the bottom.
    graph.gridColour = graph.backgroundColour;
    graph.fillMode = 2;
    graph.fillColour[0] = juce::Colours::transparentBlack;
    image = paintOf (graph);
    for (int y = 40; y < 150; ++y)
        ASSERT_EQ (image.getPixelAt (331, y), juce::Colours::black) << y;

    EQGraph deq (2, nullptr);
    deq.setSize (320, 150);
    calls = 0;
    deq.responseFunction = [&calls] (int curve, float) { return ++calls, -10.0f * (float) curve; };
    paintOf (deq);
    EXPECT_EQ (calls, 1914);
}

TEST_F (GraphTest, HandlesStandAboveTheirFrequencyWithDottedLinesAndTheSelectedInFront)
{
    EQGraph graph (0, nullptr);
    graph.setSize (660, 150);
    graph.gridColour = graph.backgroundColour;
    graph.setHandleCount (3);
    for (int k = 0; k < 3; ++k)
        graph.setHandle (k, badge (0, k));
    graph.handleOffset = 6;
    EXPECT_EQ (graph.handleLineColour, juce::Colour (0xff808080));
    graph.handleFreq = { 20.0f, 632.456f, 0.0f };
    globals::selectedHandle = 1;

    const auto image = paintOf (graph);
    const int x = (int) graph.xOfFrequency (632.456f);
    ASSERT_NEAR (x, 330, 1);
    EXPECT_EQ (graph.handles[0]->getPosition(), juce::Point<int> (-6, 3));
    EXPECT_EQ (graph.handles[1]->getPosition(), juce::Point<int> ((int) (graph.xOfFrequency (632.456f) - 6), 3));
    EXPECT_LT (graph.handles[2]->getX(), -1000);
    EXPECT_EQ (graph.getIndexOfChildComponent (graph.handles[1].get()), 2) << "in front";

    EXPECT_EQ (image.getPixelAt (x, 17), juce::Colours::white);
    EXPECT_EQ (image.getPixelAt (x, 18), juce::Colours::black);
    EXPECT_EQ (image.getPixelAt (x, 147), juce::Colours::white);
    EXPECT_EQ (image.getPixelAt (x, 149), juce::Colours::black);
    EXPECT_EQ (image.getPixelAt (0, 19), juce::Colour (0xff808080)) << "20 Hz line, not selected";
    EXPECT_EQ (image.getPixelAt (x, 5), juce::Colours::green) << "the badge over its line";

    // Nothing selected in this graph's range: no white line.
    globals::selectedHandle = 6;
    EXPECT_EQ (paintOf (graph).getPixelAt (x, 17), juce::Colour (0xff808080));
}

TEST_F (GraphTest, HandleCountHidesAndShowsHandlesOnlyAfterTheFirstCount)
{
    EQGraph graph (0, nullptr);
    for (int k = 0; k < 8; ++k)
        graph.setHandle (k, badge (0, k));
    graph.setHandleCount (8);
    for (auto& handle : graph.handles)
        EXPECT_TRUE (handle->isVisible());
    graph.setHandleCount (2);
    EXPECT_EQ (graph.handleCount, 2u);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ (graph.handles[(size_t) k]->isVisible(), k < 2) << k;
    graph.setHandleCount (5);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ (graph.handles[(size_t) k]->isVisible(), k < 5) << k;
    graph.setHandleCount (99);   // no such handles
    EXPECT_EQ (graph.handleCount, 8u);
}
