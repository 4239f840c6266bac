#include "ModelTestSupport.h"

#include <gtest/gtest.h>

TEST (BlockDecode, ParametricBand)
{
    TestModel t;
    (Inbound ("/channel/2/peq/8") << "HS12" << 10000.0f << 0.0f << 1.0f).deliverTo (t.root);

    auto& band = *t.root.channels[1]->peq->bands[7];
    EXPECT_EQ (band.type->step, 5);
    EXPECT_EQ (band.freq->step, 539794);
    EXPECT_EQ (band.freq->getStep(), 539);
    EXPECT_EQ (band.gain->step, 30);
    EXPECT_EQ (band.qual->step, 50000);
    EXPECT_EQ (blockText (band), " HS12 10k00  +0.0 1.00");

    // Nothing else in the tree moved.
    auto steps = allSteps (t.root);
    TestModel fresh;
    auto& other = *fresh.root.channels[1]->peq->bands[7];
    other.type->step = 5;
    other.freq->step = 539794;
    other.gain->step = 30;
    other.qual->step = 50000;
    EXPECT_EQ (steps, allSteps (fresh.root));
}

TEST (BlockDecode, DynamicBandBlocks)
{
    TestModel t;
    auto& band = *t.root.channels[0]->deq->bands[1];
    (Inbound ("/channel/1/deq/2/comp") << -3.0f << -20.0f << 4.0f).deliverTo (t.root);
    EXPECT_EQ (band.comp->mgain->step, 24);
    EXPECT_EQ (band.comp->thres->step, 40);
    EXPECT_EQ (band.comp->ratio->step, 4);

    (Inbound ("/channel/1/deq/2/time") << 10.0f << 100.0f).deliverTo (t.root);
    EXPECT_EQ (band.time->att->step, 20);
    EXPECT_EQ (band.time->rel->step, 32);

    (Inbound ("/channel/1/deq/2/filt") << "LP12" << 2000.0f << 0.1f).deliverTo (t.root);
    EXPECT_EQ (band.filt->type->step, 3);
    EXPECT_EQ (band.filt->freq->step, 400000);
    EXPECT_EQ (band.filt->qual->step, 0);
}

TEST (BlockDecode, CrossoverDelayLimiter)
{
    TestModel t;
    auto& ch = *t.root.channels[1];
    (Inbound ("/channel/2/xover/lp") << "LR24" << 2000.0f).deliverTo (t.root);
    EXPECT_EQ (ch.xover->lp->type->step, 8);
    EXPECT_EQ (ch.xover->lp->freq->step, 400000);
    EXPECT_EQ (ch.xover->hp->freq->step, 0);

    (Inbound ("/channel/2/xover/gain") << 6.5f).deliverTo (t.root);
    EXPECT_EQ (ch.xover->gain->gain->step, 37);

    (Inbound ("/channel/2/limiter") << 165.0f << 100.0f << 50.0f).deliverTo (t.root);
    EXPECT_EQ (ch.limiter->thres->step, 16490);
    EXPECT_EQ (ch.limiter->rel->step, 32);
    EXPECT_EQ (ch.limiter->hold->step, 20);
    (Inbound ("/channel/2/limiter") << 0.05f << 100.0f << 50.0f).deliverTo (t.root);
    EXPECT_EQ (ch.limiter->thres->step, 0);
}

TEST (BlockDecode, DelayPolarityIsClamped)
{
    TestModel t;
    auto& delay = *t.root.channels[0]->delay;
    (Inbound ("/channel/1/delay") << 12.345f << (osc::int32) 180).deliverTo (t.root);
    EXPECT_EQ (delay.del->step, 1235);
    EXPECT_EQ (delay.pol->step, 180);
    EXPECT_EQ (blockText (delay), "  12.35 180");

    (Inbound ("/channel/1/delay") << 1.0f << (osc::int32) 270).deliverTo (t.root);
    EXPECT_EQ (delay.pol->step, 180);
    (Inbound ("/channel/1/delay") << 1.0f << (osc::int32) -90).deliverTo (t.root);
    EXPECT_EQ (delay.pol->step, 0);
}

TEST (BlockDecode, AmplifierMode)
{
    TestModel t;
    auto& mode = *t.root.ampmode->mode;
    (Inbound ("/ampmode") << "STEREO").deliverTo (t.root);
    EXPECT_EQ (mode.step, 1);
    (Inbound ("/ampmode") << "BRIDGED").deliverTo (t.root);
    EXPECT_EQ (mode.step, 4);
    (Inbound ("/ampmode") << "MONO").deliverTo (t.root);
    EXPECT_EQ (mode.step, 4);
    (Inbound ("/ampmode") << "").deliverTo (t.root);
    EXPECT_EQ (mode.step, 4);

    EXPECT_THROW ((Inbound ("/ampmode")).deliverTo (t.root), osc::MissingArgumentException);
    EXPECT_THROW ((Inbound ("/ampmode") << "DUAL"
                                        << "DUAL")
                      .deliverTo (t.root),
                  osc::ExcessArgumentException);
    EXPECT_THROW ((Inbound ("/ampmode") << (osc::int32) 0).deliverTo (t.root), osc::WrongArgumentTypeException);
    EXPECT_EQ (mode.step, 4);
}

TEST (BlockDecode, StandaloneBlocks)
{
    Ciosiggen siggen;
    siggen.scan->setStep (17);
    (Inbound ("/siggen") << (osc::int32) 2 << -6.5f << 440.0f).decodeInto (siggen);
    EXPECT_EQ (siggen.input->step, 2);
    EXPECT_EQ (siggen.gain->step, 67);
    EXPECT_EQ (siggen.freq->step, 268485);
    EXPECT_EQ (siggen.freq->getStep(), 268);
    EXPECT_EQ (siggen.scan->step, 17);

    (Inbound ("/siggen") << (osc::int32) 9 << 5.0f << 0.0f).decodeInto (siggen);
    EXPECT_EQ (siggen.input->step, 3);
    EXPECT_EQ (siggen.gain->step, 80);
    EXPECT_EQ (siggen.freq->step, 0);

    Ciospeaker speaker;
    (Inbound ("/speaker") << (osc::int32) 120).decodeInto (speaker);
    EXPECT_EQ (speaker.value->step, 100);
    (Inbound ("/speaker") << (osc::int32) -4).decodeInto (speaker);
    EXPECT_EQ (speaker.value->step, 0);
    (Inbound ("/speaker") << (osc::int32) 8).decodeInto (speaker);
    EXPECT_EQ (speaker.value->step, 8);
}

TEST (BlockDecode, BadArgumentsRaiseAndChangeNothing)
{
    TestModel t;
    t.root.channels[0]->peq->bands[0]->fromText (" PEQ 1k +3.0 2.00");
    t.root.channels[0]->delay->fromText ("5.00 180");
    t.root.channels[0]->deq->bands[1]->comp->fromText ("+1.0 -10.0 3.0");
    const auto before = allSteps (t.root);

    EXPECT_THROW ((Inbound ("/channel/1/deq/2/comp") << 1.0f << 2.0f).deliverTo (t.root),
                  osc::MissingArgumentException);
    EXPECT_THROW ((Inbound ("/channel/1/delay") << 1.0f << 2.0f).deliverTo (t.root), osc::WrongArgumentTypeException);
    EXPECT_THROW ((Inbound ("/channel/1/delay") << 1.0f).deliverTo (t.root), osc::MissingArgumentException);
    EXPECT_THROW ((Inbound ("/channel/1/peq/1") << "OFF" << 1.0f << 2.0f << 3.0f << 4.0f).deliverTo (t.root),
                  osc::ExcessArgumentException);
    EXPECT_THROW ((Inbound ("/channel/1/peq/1") << 1.0f << 1.0f << 2.0f << 3.0f).deliverTo (t.root),
                  osc::WrongArgumentTypeException);
    EXPECT_THROW ((Inbound ("/channel/1/peq/1") << "OFF" << 1.0f << (osc::int32) 2 << 3.0f).deliverTo (t.root),
                  osc::WrongArgumentTypeException);
    EXPECT_THROW ((Inbound ("/channel/1/peq/1") << "OFF" << 100.0 << 0.0f << 3.0f).deliverTo (t.root),
                  osc::WrongArgumentTypeException);   // a double is not a float32
    EXPECT_THROW ((Inbound ("/channel/1/xover/hp")).deliverTo (t.root), osc::MissingArgumentException);

    EXPECT_EQ (allSteps (t.root), before);

    Ciosiggen siggen;
    const auto siggenBefore = allSteps (siggen);
    EXPECT_THROW ((Inbound ("/siggen") << 2.0f << -6.5f << 440.0f).decodeInto (siggen),
                  osc::WrongArgumentTypeException);
    EXPECT_THROW ((Inbound ("/siggen") << (osc::int32) 2 << -6.5f << 440.0f << (osc::int32) 20).decodeInto (siggen),
                  osc::ExcessArgumentException);
    EXPECT_EQ (allSteps (siggen), siggenBefore);

    Ciospeaker speaker;
    EXPECT_THROW ((Inbound ("/speaker") << 8.0f).decodeInto (speaker), osc::WrongArgumentTypeException);
    EXPECT_EQ (speaker.value->step, 0);
}

TEST (BlockDecode, FoldersAndParametersIgnoreMessages)
{
    TestModel t;
    const auto before = allSteps (t.root);
    EXPECT_NO_THROW ((Inbound ("/channel/1/peq") << "PEQ" << 1000.0f).deliverTo (t.root));
    EXPECT_NO_THROW ((Inbound ("/channel/1/deq/1") << 1.0f).deliverTo (t.root));
    EXPECT_NO_THROW ((Inbound ("/channel/1/peq/1/freq") << 1000.0f).deliverTo (t.root));
    EXPECT_EQ (allSteps (t.root), before);
}

TEST (BlockDecode, EveryValueTheBlockSendsDecodesToTheSameStep)
{
    // The amplifier answers an edit with the values it applied: decoding our own values must
    // land on the step we sent, or every answer would move the control.
    TestModel t;
    auto check = [] (Cparam& p, int stride)
    {
        for (int s = p.minStep; s <= p.maxStep; s += stride)
        {
            p.step = s;
            p.setValue (p.getValue());
            ASSERT_EQ (p.step, s) << p.address;
        }
    };

    auto& ch = *t.root.channels[0];
    auto& band = *ch.peq->bands[0];
    check (*band.freq, 1);
    check (*band.gain, 1);
    check (*band.qual, 1);
    auto& dyn = *ch.deq->bands[0];
    for (auto* p : { dyn.comp->mgain, dyn.comp->thres, dyn.comp->ratio, dyn.time->att, dyn.time->rel })
        check (*p, 1);
    check (*ch.xover->gain->gain, 1);
    check (*ch.delay->del, 1);
    for (auto* p : { ch.limiter->thres, ch.limiter->rel, ch.limiter->hold })
        check (*p, 1);
    Ciosiggen siggen;
    check (*siggen.gain, 1);
    check (*siggen.freq, 1);
}
