// Painting the response graphs into a software image: the Parametric EQ graph (660 x 150, one
// curve over eight bands, eight handles) and a Dynamic EQ graph (320 x 150, six curves, 1914
// response calls a paint).  Target: under 2 ms each.

#include "EQGraph.h"
#include "FilterResponse.h"
#include "GraphPaint.h"
#include "Globals.h"
#include "JuceBenchmarkMain.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

using benchsupport::paintRepeatedly;

namespace
{
    void addHandles (EQGraph& graph, unsigned count)
    {
        juce::Image badge (juce::Image::ARGB, 13, 13, true);
        juce::Graphics (badge).fillAll (juce::Colours::orange);
        graph.setHandleCount (count);
        for (unsigned k = 0; k < count; ++k)
            graph.setHandle ((int) k, std::make_unique<filter_drag> (badge, graph.graphKind, nullptr, (int) k));
        graph.handleOffset = 6;
    }
}

static void peqGraphPaint (benchmark::State& state)
{
    const float freqs[] = { 40.0f, 100.0f, 200.0f, 400.0f, 1000.0f, 2000.0f, 4000.0f, 10000.0f };
    for (int k = 0; k < 8; ++k)
        computePeqFilter (0, k, 1 + k % 5, freqs[k], k % 2 == 0 ? 6.0f : -4.5f, 1.41f);

    EQGraph graph (0, nullptr);
    graph.setBounds (0, 0, 660, 150);
    graph.responseFunction = peqResponse;
    graph.strokeColour[0] = graph.fillColour[0] = juce::Colour (0xffd29b27);
    addHandles (graph, 8);
    for (size_t k = 0; k < 8; ++k)
        graph.handleFreq[k] = freqs[k];
    paintRepeatedly (state, graph);
}
BENCHMARK (peqGraphPaint)->Unit (benchmark::kMicrosecond);

static void deqGraphPaint (benchmark::State& state)
{
    computeDeqFilter (0, 0, 1, 1000.0f, 1.0f, -6.0f, -20.0f, 4.0f);

    EQGraph graph (2, nullptr);
    graph.setBounds (0, 0, 320, 150);
    graph.responseFunction = deqResponseBand1;
    graph.fillMode = 0;
    for (size_t i = 0; i < EQGraph::maxCurves; ++i)
        graph.strokeColour[i] = juce::Colour (0xff2e79ff).brighter (0.1f * (float) i);
    addHandles (graph, 1);
    graph.handleFreq[0] = 1000.0f;
    paintRepeatedly (state, graph);
}
BENCHMARK (deqGraphPaint)->Unit (benchmark::kMicrosecond);

int main (int argc, char** argv)
{
    return benchsupport::runWithJuce (argc, argv);
}
