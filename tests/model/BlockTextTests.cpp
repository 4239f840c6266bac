#include "ModelTestSupport.h"

#include <gtest/gtest.h>

TEST (BlockText, BandText)
{
    TestModel t;
    auto& band = *t.root.channels[0]->peq->bands[2];
    EXPECT_EQ (blockText (band), " OFF 20.0 -15.0 0.10");

    EXPECT_EQ (band.fromText (" PEQ 1k +3.0 2.00"), 0);
    EXPECT_STREQ (band.type->label(), "PEQ");
    EXPECT_EQ (band.freq->getStep(), 339);
    EXPECT_EQ (band.gain->step, 36);
    EXPECT_EQ (band.qual->getStep(), 65);
    EXPECT_EQ (blockText (band), " PEQ 1k00  +3.0 2.00");
}

TEST (BlockText, ShortTextSetsWhatItHas)
{
    TestModel t;
    auto& band = *t.root.channels[0]->peq->bands[0];
    band.gain->setStep (50);
    EXPECT_EQ (band.fromText (" PEQ 1k"), 0);
    EXPECT_EQ (band.type->step, 1);
    EXPECT_EQ (band.freq->getStep(), 339);
    EXPECT_EQ (band.gain->step, 50);

    // A value followed by something other than a space ends the text.
    EXPECT_EQ (band.fromText ("LS6 2k00;+9.0"), 0);
    EXPECT_EQ (band.type->step, 2);
    EXPECT_EQ (band.freq->getStep(), 400);
    EXPECT_EQ (band.gain->step, 50);
}

TEST (BlockText, UnreadableValueFails)
{
    TestModel t;
    auto& band = *t.root.channels[0]->peq->bands[0];
    EXPECT_EQ (band.fromText ("XYZ"), -1);
    EXPECT_EQ (allSteps (band), (std::vector<int> { 0, 0, 0, 0 }));

    // Values before the failing one keep their new values; the rest are untouched.
    band.qual->setStep (7);
    EXPECT_EQ (band.fromText (" HS6 abc +3.0 2.00"), -1);
    EXPECT_EQ (band.type->step, 4);
    EXPECT_EQ (band.freq->step, 0);
    EXPECT_EQ (band.gain->step, 0);
    EXPECT_EQ (band.qual->getStep(), 7);

    EXPECT_EQ (band.fromText (""), -1);
    EXPECT_EQ (band.fromText (nullptr), -1);
}

TEST (BlockText, OtherBlockShapes)
{
    TestModel t;
    auto& delay = *t.root.channels[1]->delay;
    EXPECT_EQ (delay.fromText ("12.35 180"), 0);
    EXPECT_EQ (blockText (delay), "  12.35 180");

    auto& limiter = *t.root.channels[0]->limiter;
    EXPECT_EQ (blockText (limiter), "  0.1  20.0   0.0");
    EXPECT_EQ (limiter.fromText (" 165  4000  2000"), 0);
    EXPECT_EQ (blockText (limiter), "  165  4000  2000");

    auto& ampmode = *t.root.ampmode;
    EXPECT_EQ (ampmode.fromText (" BIAMP2"), 0);
    EXPECT_EQ (ampmode.mode->step, 3);

    auto& comp = *t.root.channels[0]->deq->bands[0]->comp;
    EXPECT_EQ (blockText (comp), " -15.0 -60.0 2.0");

    Ciosiggen siggen;
    EXPECT_EQ (blockText (siggen), " 0 -40.0 20.0 5");
    Ciospeaker speaker;
    EXPECT_EQ (speaker.fromText ("8"), 0);
    EXPECT_EQ (blockText (speaker), " 8");
}

TEST (BlockText, FoldersHaveNoValues)
{
    TestModel t;
    auto& section = *t.root.channels[0]->peq;
    EXPECT_EQ (blockText (section), "");
    EXPECT_EQ (section.fromText (" PEQ 1k"), 0);
    EXPECT_EQ (blockText (*t.root.channels[0]->peq->bands[0]), " OFF 20.0 -15.0 0.10");
}

TEST (BlockText, EveryBlockReadsBackItsOwnText)
{
    // What a preset file stores must load back to the same text, for any step, so that saving
    // and loading again and again never moves a value.
    TestModel source, target;
    std::vector<Cnode*> sourceBlocks, targetBlocks;
    forEachLeaf (&source.root, [&] (Cnode* b) { sourceBlocks.push_back (b); });
    forEachLeaf (&target.root, [&] (Cnode* b) { targetBlocks.push_back (b); });
    ASSERT_EQ (sourceBlocks.size(), targetBlocks.size());

    for (int round = 0; round < 200; ++round)
    {
        for (std::size_t i = 0; i < sourceBlocks.size(); ++i)
        {
            int k = 0;
            sourceBlocks[i]->forEachChild (
                [&] (Cnode& child)
                {
                    auto& p = static_cast<Cparam&> (child);
                    const auto spread = (std::uint32_t) (round * 7919 + (int) i * 104729 + k++ * 1299709);
                    p.step = p.minStep + (int) (spread % (std::uint32_t) (p.maxStep - p.minStep + 1));
                });

            const auto text = blockText (*sourceBlocks[i]);
            ASSERT_EQ (targetBlocks[i]->fromText (text.c_str()), 0) << text;
            ASSERT_EQ (blockText (*targetBlocks[i]), text) << sourceBlocks[i]->address;
        }
    }
}

TEST (BlockText, SmallBufferIsNeverOverrun)
{
    TestModel t;
    auto& band = *t.root.channels[0]->peq->bands[0];
    band.fromText (" HS12 12k34 +3.5 1.00");
    const std::string whole = blockText (band);

    for (int capacity = 0; capacity <= (int) whole.size() + 1; ++capacity)
    {
        char buffer[64];
        std::memset (buffer, 'Z', sizeof (buffer));
        EXPECT_EQ (band.toText (buffer, capacity), 0);
        if (capacity > 0)
        {
            const std::string written = buffer;
            EXPECT_LT ((int) written.size(), capacity);
            EXPECT_EQ (whole.compare (0, written.size(), written), 0) << capacity;
        }
        EXPECT_EQ (buffer[capacity], 'Z') << capacity;
    }
}
