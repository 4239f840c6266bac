// Preset text work on a whole tree: applying the default preset, building the text of the
// tree, and building plus saving a complete preset file.  Target: under 1 ms each.

#include "Croot.h"
#include "MessageLoop.h"
#include "PresetFile.h"
#include "PresetText.h"
#include "JuceBenchmarkMain.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <memory>

namespace
{
    std::unique_ptr<Croot> makeTree()
    {
        auto root = std::make_unique<Croot>();
        assignAddresses (*root);
        return root;
    }
}

static void applyDefaultPreset (benchmark::State& state)
{
    auto root = makeTree();
    const auto* text = PresetText::defaultPreset;
    const auto size = std::strlen (text);

    for (auto _ : state)
    {
        const auto lines = PresetText::splitLines (text, size);
        benchmark::DoNotOptimize (PresetText::applyLines (*root, lines));
    }

    // Each block sends change messages; let them go so the queue does not grow.
    testloop::run (1);
}
BENCHMARK (applyDefaultPreset)->Unit (benchmark::kMicrosecond);

static void buildPresetText (benchmark::State& state)
{
    auto root = makeTree();
    PresetText::applyLines (
        *root, PresetText::splitLines (PresetText::defaultPreset, std::strlen (PresetText::defaultPreset)));

    for (auto _ : state)
        benchmark::DoNotOptimize (PresetText::build (*root));
}
BENCHMARK (buildPresetText)->Unit (benchmark::kMicrosecond);

static void buildAndSavePresetFile (benchmark::State& state)
{
    auto root = makeTree();
    PresetText::applyLines (
        *root, PresetText::splitLines (PresetText::defaultPreset, std::strlen (PresetText::defaultPreset)));
    const juce::TemporaryFile target (".kvt");

    for (auto _ : state)
    {
        // As the document writes it: the name line, then the text with CR LF line ends.
        const auto built = PresetText::build (*root);
        std::string text ("Bench\r\n");
        text.reserve (built.size() + 64);
        for (const auto c : built)
        {
            if (c == '\n')
                text += '\r';
            text += c;
        }

        if (! PresetFile::writeAtomically (target.getFile(), text.data(), text.size()))
            state.SkipWithError ("could not write the preset file");
    }
}
BENCHMARK (buildAndSavePresetFile)->Unit (benchmark::kMicrosecond);

int main (int argc, char** argv)
{
    return benchsupport::runWithJuce (argc, argv);
}
