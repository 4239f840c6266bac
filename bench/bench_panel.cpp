// Painting the main panel: a full repaint of the 912 x 516 panel (a ZR model, so every
// control is showing) and of one 21-segment meter, each into a software image.
// Targets: under 2 ms for the panel, under 50 us for a meter.
//
// The panel creates the hub, which opens a UDP socket and broadcasts "/info"; the program
// therefore moves itself into a network namespace of its own first and refuses to run
// when it cannot.

#include "BenchPanel.h"
#include "PrivateNetwork.h"
#include "led_meter.h"
#include "JuceBenchmarkMain.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <cstdio>
#include <memory>

static void panelRepaint (benchmark::State& state)
{
    BenchPanel rig;
    auto& panel = *rig.panel;
    panel.setDeviceLabel (1);
    panel.setMeters (0.9f, 0.5f, 0.25f, 0.1f);
    panel.setClipLeds (true, false, true, false);

    juce::Image image (juce::Image::RGB, panel.getWidth(), panel.getHeight(), true, juce::SoftwareImageType());
    for (auto _ : state)
    {
        juce::Graphics g (image);
        panel.paintEntireComponent (g, true);
        benchmark::ClobberMemory();
    }
}
BENCHMARK (panelRepaint)->Unit (benchmark::kMicrosecond);

static void meterRepaint (benchmark::State& state)
{
    led_meter meter ("output meter A");
    meter.floorLevel = -60.0;
    meter.segmentCount = 21;
    meter.setBounds (0, 0, 14, 105);

    juce::Image image (juce::Image::ARGB, 14, 105, true, juce::SoftwareImageType());
    double level = -60.0;
    for (auto _ : state)
    {
        meter.level = level;
        level = level >= 1.0 ? -60.0 : level + 3.0;
        juce::Graphics g (image);
        meter.paintEntireComponent (g, false);
        benchmark::ClobberMemory();
    }
}
BENCHMARK (meterRepaint)->Unit (benchmark::kMicrosecond);

int main (int argc, char** argv)
{
    if (! testnet::enterPrivateNetwork())
    {
        std::fprintf (stderr, "bench_panel: needs a private network namespace (run as root or in a user namespace)\n");
        return 1;
    }

    return benchsupport::runWithJuce (argc, argv);
}
