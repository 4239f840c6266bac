// Undo, redo and A/B compare on the real panel, with its hub online: from the key press (or
// the A/B button's click) to the last block handed to the hub, for a step that changed one
// band, and for a switch between memories that differ in ten blocks; and what telling the
// history of one edit costs a knob drag.  Target: under 2 ms for both.
//
// The panel creates the hub, which opens a UDP socket and broadcasts "/info"; the program
// therefore moves itself into a network namespace of its own first and refuses to run
// when it cannot.  Online without a connection, the hub queues what it is handed and sends
// nothing.

#include "BenchPanel.h"
#include "PresetText.h"
#include "PrivateNetwork.h"
#include "JuceBenchmarkMain.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace
{

    const juce::KeyPress ctrlZ ('z', juce::ModifierKeys::ctrlModifier, 0);
    const juce::KeyPress ctrlShiftZ ('z', juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier, 0);

    /** The panel as the main window builds it, connected to no one but online. */
    struct Rig : public BenchPanel
    {
        Rig()
        {
            globals::hub->goOnline();
            panel->setDeviceLabel (1);
        }

        /** What a page does for an edit: the band's new line into the tree, then its send. */
        void edit (const std::string& line)
        {
            PresetText::applyBlockLine (root, line);
            auto* block = findNode (&root, line.c_str() + 1, (int) line.find (' ') - 1);
            block->send (block->address);
        }

        SettingsHistory& history() { return panel->getHistoryControls()->getHistory(); }
    };
}

static void undoOfOneBand (benchmark::State& state)
{
    Rig rig;
    rig.edit ("/channel/1/peq/5 sfff PEQ 1k00 +6.0 1.00");
    rig.history().endStep();

    // Ctrl+Z and Ctrl+Shift+Z in turn: each puts the one band back and sends it.
    bool undo = true;
    for (auto _ : state)
    {
        rig.panel->keyPressed (undo ? ctrlZ : ctrlShiftZ);
        undo = ! undo;
    }
}
BENCHMARK (undoOfOneBand)->Unit (benchmark::kMicrosecond);

static void switchOfTenBlocks (benchmark::State& state)
{
    Rig rig;
    for (int band = 1; band <= 8; ++band)
        rig.edit ("/channel/1/peq/" + std::to_string (band) + " sfff PEQ 1k00 +3.0 1.00");
    rig.edit ("/channel/1/delay fi 2.00 0");
    rig.edit ("/channel/1/limiter fff 50.0 100.0 50.0");
    rig.history().endStep();

    auto& controls = *rig.panel->getHistoryControls();
    for (auto _ : state)
        controls.switchMemory();
}
BENCHMARK (switchOfTenBlocks)->Unit (benchmark::kMicrosecond);

static void editTold (benchmark::State& state)
{
    // One turn of a knob during a drag, as the history hears of it (the band sent, its line
    // and channel B's read).
    Rig rig;
    double gain = 0.0;
    for (auto _ : state)
    {
        gain = gain >= 12.0 ? -12.0 : gain + 0.5;
        rig.edit ("/channel/1/peq/5 sfff PEQ 1k00 " + juce::String (gain, 1).toStdString() + " 1.00");
    }
}
BENCHMARK (editTold)->Unit (benchmark::kMicrosecond);

int main (int argc, char** argv)
{
    if (! testnet::enterPrivateNetwork())
    {
        std::fprintf (stderr,
                      "bench_history: needs a private network namespace (run as root or in a user namespace)\n");
        return 1;
    }

    return benchsupport::runWithJuce (argc, argv);
}
