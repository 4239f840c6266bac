// Repainting the graphs of the Filter/Crossover and Dynamic EQ pages, as the pages set them
// up, into a software image: the crossover graph (660 x 150, two curves of eight sections
// each, four handles) and each Dynamic EQ graph (320 x 150, six curves, one handle).
// Target: under 2 ms each.  No hub: the pages are built as in their tests.

#include "CDeqPage.h"
#include "CXoverPage.h"
#include "Cdeqcomp.h"
#include "Cdeqfilt.h"
#include "Croot.h"
#include "Cxoversection.h"
#include "Dialogs.h"
#include "GraphPaint.h"
#include "JuceBenchmarkMain.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

using benchsupport::paintRepeatedly;

namespace
{
    /** The pages ask nothing while they are only painted. */
    class NoDialogs : public Dialogs
    {
    public:
        void askOkCancel (Icon, const juce::String&, const juce::String&, const juce::String&, const juce::String&,
                          std::function<void (bool)>) override
        {
        }
        void showMessage (Icon, const juce::String&, const juce::String&, const juce::String&,
                          std::function<void()>) override
        {
        }
        void chooseFileToOpen (const juce::String&, const juce::File&, const juce::String&,
                               std::function<void (const juce::File&)>) override
        {
        }
        void chooseFileToSave (const juce::String&, const juce::File&, const juce::String&,
                               std::function<void (const juce::File&)>) override
        {
        }
    };

}

static void crossoverGraphPaint (benchmark::State& state)
{
    Croot root;
    assignAddresses (root);
    NoDialogs dialogs;
    CXoverPage page (root, dialogs, [] { return false; });

    // Eight-section types on all four filters: every curve sample multiplies eight gains.
    const char* const settings[] = { " BUT48 80.0", " LR48 2k00", " LR48 2k00", " BUT48 16k0" };
    for (int index = 0; index < CXoverPage::filterCount; ++index)
    {
        page.filterBlock (index)->fromText (settings[index]);
        page.changeListenerCallback (page.filterBlock (index));
    }
    for (int channel = 0; channel < 2; ++channel)
    {
        page.gainBlock (channel)->fromText (channel == 0 ? " +1.5" : " -3.0");
        page.changeListenerCallback (page.gainBlock (channel));
    }
    paintRepeatedly (state, page.getGraph());
}
BENCHMARK (crossoverGraphPaint)->Unit (benchmark::kMicrosecond);

static void deqGraphsPaint (benchmark::State& state, int band)
{
    Croot root;
    assignAddresses (root);
    CDeqPage page (root);
    auto& tab = page.tab (0);
    for (int b = 0; b < 2; ++b)
    {
        tab.compBlock (b)->fromText (b == 0 ? " -6.0 -20 4" : " +6.0 -30 3");
        tab.filtBlock (b)->fromText (b == 0 ? " BP 1k00 1.40" : " HP12 5k00 1.00");
        tab.changeListenerCallback (tab.compBlock (b));
        tab.changeListenerCallback (tab.filtBlock (b));
    }
    paintRepeatedly (state, page.graph (band));
}
BENCHMARK_CAPTURE (deqGraphsPaint, band1, 0)->Unit (benchmark::kMicrosecond);
BENCHMARK_CAPTURE (deqGraphsPaint, band2, 1)->Unit (benchmark::kMicrosecond);

int main (int argc, char** argv)
{
    return benchsupport::runWithJuce (argc, argv);
}
