#pragma once

// What the graph benchmarks share: painting one graph into a software image, again and again.

#include "EQGraph.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace benchsupport
{
    /** Paints `graph` with everything on it (curves, grid, handles) once per iteration. */
    inline void paintRepeatedly (benchmark::State& state, EQGraph& graph)
    {
        juce::Image image (juce::Image::RGB, graph.getWidth(), graph.getHeight(), true, juce::SoftwareImageType());
        for (auto _ : state)
        {
            juce::Graphics g (image);
            graph.paintEntireComponent (g, false);
            benchmark::ClobberMemory();
        }
    }
}
