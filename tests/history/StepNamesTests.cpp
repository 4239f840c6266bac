#include "StepNames.h"

#include <gtest/gtest.h>

namespace
{
    juce::String nameOf (const std::string& address, const std::string& before, const std::string& after)
    {
        return StepNames::describe (StepNames::Change { address, address + " " + before, address + " " + after });
    }
}

TEST (StepNamesTest, oneBlockIsNamedByItsPageChannelElementAndTheValueThatChanged)
{
    EXPECT_EQ (nameOf ("/channel/1/peq/5", "sfff PEQ 1k00  +0.0 1.00", "sfff PEQ 1k00  +3.0 1.00"),
               "Parametric EQ A, band 5 gain");
    EXPECT_EQ (nameOf ("/channel/2/peq/8", "sfff HS12 10k00 +0.0 1.00", "sfff HS6 10k00 +0.0 1.00"),
               "Parametric EQ B, band 8 type");
    EXPECT_EQ (nameOf ("/channel/1/xover/lp", "sf OFF 200.0", "sf OFF 250.0"),
               "Filter/Crossover A, low-pass frequency");
    EXPECT_EQ (nameOf ("/channel/2/xover/gain", "f  +0.0", "f  -3.0"), "Filter/Crossover B, gain");
    EXPECT_EQ (nameOf ("/channel/1/deq/2/comp", "fff  +0.0 -30.0 5.0", "fff  +0.0 -20.0 5.0"),
               "Dynamic EQ A, band 2 threshold");
    EXPECT_EQ (nameOf ("/channel/2/delay", "fi   0.00 0", "fi   0.00 180"), "Configuration B, polarity");
    EXPECT_EQ (nameOf ("/channel/1/limiter", "fff 100.0 100.0  50.0", "fff  50.0 100.0  50.0"),
               "Configuration A, limiter threshold");
    EXPECT_EQ (nameOf ("/speaker", "i 0", "i 8"), "Configuration, load");
    EXPECT_EQ (nameOf ("/siggen/freq", "f 1k00", "f 2k00"), "Generator frequency");
    EXPECT_EQ (nameOf ("/siggen/level", "f -40.0", "f -20.0"), "Generator level");
    EXPECT_EQ (nameOf ("/gain", "ffii -20.0 -20.0 0 0", "ffii -20.0 -20.0 1 0"), "Mute A");
    EXPECT_EQ (nameOf ("/gain", "ffii -20.0 -20.0 0 0", "ffii -12.0 -14.0 0 0"), "Input gains");
    EXPECT_EQ (nameOf ("/link", "i 0", "i 1"), "Link");
}

TEST (StepNamesTest, severalValuesOfOneBlockNameTheElement)
{
    EXPECT_EQ (nameOf ("/channel/1/peq/3", "sfff PEQ 200.0  +0.0 1.00", "sfff PEQ 250.0  +2.0 1.00"),
               "Parametric EQ A, band 3");
    EXPECT_EQ (nameOf ("/channel/1/delay", "fi   0.00 0", "fi   1.00 180"), "Configuration A");
}

TEST (StepNamesTest, stepsOfSeveralBlocks)
{
    using StepNames::Change;
    // A mode change is named by the mode chosen, whatever else it touched.
    EXPECT_EQ (StepNames::describe ({ Change { "/ampmode", "/ampmode s DUAL", "/ampmode s BIAMP2" },
                                      Change { "/channel/2/peq/1", "a", "b" } }),
               "Amp-mode Bi-Amp 2");

    // Channel B following A is named as A's edit.
    EXPECT_EQ (StepNames::describe ({ Change { "/channel/1/peq/5", "/channel/1/peq/5 sfff PEQ 1k00 +0.0 1.00",
                                               "/channel/1/peq/5 sfff PEQ 1k00 +1.0 1.00" },
                                      Change { "/channel/2/peq/5", "/channel/2/peq/5 sfff PEQ 1k00 +0.0 1.00",
                                               "/channel/2/peq/5 sfff PEQ 1k00 +1.0 1.00" } }),
               "Parametric EQ A, band 5 gain");

    // Reset of a channel's bands; then blocks of several pages.
    std::vector<Change> reset;
    for (int band = 1; band <= 8; ++band)
    {
        const auto address = "/channel/2/peq/" + std::to_string (band);
        reset.push_back ({ address, address + " sfff PEQ 1k00 +3.0 1.00", address + " sfff PEQ 1k00 +0.0 1.00" });
    }
    EXPECT_EQ (StepNames::describe (reset), "Parametric EQ B, 8 settings");
    reset.push_back ({ "/channel/2/delay", "/channel/2/delay fi 0.00 0", "/channel/2/delay fi 1.00 0" });
    EXPECT_EQ (StepNames::describe (reset), "9 settings");
}

TEST (StepNamesTest, valuesOfALineSkipItsAddressAndTypeTags)
{
    EXPECT_EQ (StepNames::valuesOf ("/channel/1/limiter fff  100 100.0  50.0"),
               (std::vector<std::string> { "100", "100.0", "50.0" }));
    EXPECT_TRUE (StepNames::valuesOf ("/ampmode").empty());
}
