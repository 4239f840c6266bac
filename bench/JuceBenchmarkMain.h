#pragma once

// The end of every benchmark program that needs JUCE running (its message manager, images,
// fonts): the registered benchmarks run with JUCE initialised around them.

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

namespace benchsupport
{
    /** Runs the registered benchmarks; 1 when the command line holds arguments it does not know. */
    inline int runWithJuce (int argc, char** argv)
    {
        juce::ScopedJuceInitialiser_GUI juce;
        benchmark::Initialize (&argc, argv);
        if (benchmark::ReportUnrecognizedArguments (argc, argv))
            return 1;
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    }
}
