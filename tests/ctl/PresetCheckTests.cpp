// What a push reports: values the program clamped or could not read on the way in, lines
// that reach no block, and blocks the amplifier answered with other values.

#include "PresetCheck.h"
#include "PresetText.h"
#include "TestModel.h"
#include <gtest/gtest.h>
#include <cstring>

namespace
{
    class PresetCheckTest : public ::testing::Test
    {
    protected:
        std::vector<std::string> findings (const std::string& line)
        {
            std::vector<std::string> out;
            for (const auto& f : PresetCheck::applyLine (root, line))
                out.push_back (f.address + " | " + f.what);
            return out;
        }

        TestModel model;
        Croot& root = model.root;
    };
}

TEST_F (PresetCheckTest, ValuesInRangeAndBetweenStepsAreNoFinding)
{
    EXPECT_TRUE (findings ("/channel/1/delay fi   2.50 1").empty());
    EXPECT_TRUE (findings ("/channel/1/peq/3 sfff PEQ 1k23 -15.0 1.0").empty());   // a bound, not past it
    EXPECT_TRUE (findings ("/channel/1/delay fi 1.5").empty());                    // fewer values: the rest stay
    EXPECT_TRUE (findings ("").empty());
}

TEST_F (PresetCheckTest, ValuesPastTheirRangeAreClampedAndSaidSoWithTheValueKept)
{
    EXPECT_EQ (findings ("/channel/1/delay fi 999 0"),
               (std::vector<std::string> { "/channel/1/delay | del: 999 clamped to 300.00" }));
    EXPECT_EQ (findings ("/channel/2/peq/8 sfff HS12 10k -40 1.0"),
               (std::vector<std::string> { "/channel/2/peq/8 | gain: -40 clamped to -15.0" }));
}

TEST_F (PresetCheckTest, UnreadableValuesAndLinesThatReachNoBlockAreFindings)
{
    EXPECT_EQ (findings ("/channel/1/xover/hp sf BOGUS 100.0"),
               (std::vector<std::string> { "/channel/1/xover/hp | type: \"BOGUS\" is not one of its choices" }));
    EXPECT_EQ (findings ("/channel/1/delay fi fast 0"),
               (std::vector<std::string> { "/channel/1/delay | del: \"fast\" is not a number" }));
    EXPECT_EQ (findings ("/channel/3/delay fi 1 0").size(), 1u);
    EXPECT_EQ (findings ("/channel/1/delay ff 1 0").front(),
               "/channel/1/delay | not applied: no such block, or a type-tag word other than its own");
}

TEST_F (PresetCheckTest, AWholeTextCountsTheBlocksItReachesAndNeedsItsMarkers)
{
    const auto lines = PresetText::splitLines (PresetText::defaultPreset, std::strlen (PresetText::defaultPreset));
    int blocks = -1;
    EXPECT_TRUE (PresetCheck::applyText (root, lines, blocks).empty());
    EXPECT_EQ (blocks, 39);

    const std::vector<std::string> unmarked { "Name", "/channel/1/delay fi 1 0" };
    const auto found = PresetCheck::applyText (root, unmarked, blocks);
    EXPECT_EQ (blocks, 0);
    ASSERT_EQ (found.size(), 1u);
    EXPECT_EQ (found[0].what, "not a preset file: no BEGIN_OSC_DATA ... END_OSC_DATA");

    const std::vector<std::string> mixed { "N", "BEGIN_OSC_DATA", "/channel/1/delay fi 999 0", "/nothing s X",
                                           "END_OSC_DATA" };
    EXPECT_EQ (PresetCheck::applyText (root, mixed, blocks).size(), 2u);
    EXPECT_EQ (blocks, 1);
}

TEST_F (PresetCheckTest, BlocksAnsweredOtherwiseThanSentAreNamedWithBothTexts)
{
    findings ("/channel/1/delay fi 2.50 1");
    const auto sent = PresetCheck::snapshot (root);
    EXPECT_EQ (sent.size(), 39u);
    EXPECT_TRUE (PresetCheck::compare (sent, root).empty());

    // The amplifier applied a shorter delay and its own polarity.
    findings ("/channel/1/delay fi 1.00 0");
    const auto differences = PresetCheck::compare (sent, root);
    ASSERT_EQ (differences.size(), 1u);
    EXPECT_EQ (differences[0].address, "/channel/1/delay");
    EXPECT_EQ (differences[0].what, "sent \"2.50 1\", the amplifier applied \"1.00 0\"");
}
