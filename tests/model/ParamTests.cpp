#include "Cparam.h"
#include "CommonParams.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

namespace
{
    using ParamPtr = std::unique_ptr<Cparam>;

    ParamPtr frequency()
    {
        return ParamPtr (commonParams::makeFrequency (NodeKind::peq));
    }
    ParamPtr quality()
    {
        return ParamPtr (commonParams::makeQuality (NodeKind::peq));
    }
    ParamPtr eqGain()
    {
        return ParamPtr (commonParams::makeEqGain ("gain", NodeKind::peq));
    }

    const char* const peqLabels[] = { "OFF", "PEQ", "LS6", "LS12", "HS6", "HS12" };

    std::string text (Cparam& p)
    {
        char buffer[nodeTextCapacity];
        const int n = p.toText (buffer, sizeof (buffer));
        EXPECT_EQ (n, (int) std::string (buffer).size());
        return buffer;
    }
}

TEST (Param, LogScaleSteps)
{
    auto f = frequency();
    EXPECT_EQ (f->kind, (std::uint32_t) NodeKind::logParam);
    EXPECT_EQ (f->id, (std::int32_t) NodeKind::peq);
    EXPECT_EQ (f->maxStep, 600000);

    f->setValue (2000.0f);
    EXPECT_EQ (f->step, 400000);
    EXPECT_EQ (f->getStep(), 400);
    f->setStep (0);
    f->setStep (400);
    EXPECT_EQ (f->step, 400000);
    EXPECT_NEAR (f->getValue(), 2000.0f, 0.01f);

    f->setValue (1000.0f);
    EXPECT_EQ (f->step, 339794);
    EXPECT_EQ (f->getStep(), 339);
    f->setValue (10000.0f);
    EXPECT_EQ (f->step, 539794);
    f->setValue (440.0f);
    EXPECT_EQ (f->step, 268485);

    auto q = quality();
    q->setValue (1.0f);
    EXPECT_EQ (q->step, 50000);
}

TEST (Param, LogScaleEnds)
{
    auto f = frequency();
    f->setValue (20000.0f);
    EXPECT_EQ (f->step, 600000);
    EXPECT_EQ (f->getValue(), 20000.0f);   // never above the top
    f->setValue (1.0e9f);
    EXPECT_EQ (f->step, 600000);
    f->setValue (std::numeric_limits<float>::infinity());
    EXPECT_EQ (f->step, 600000);

    for (float bad :
         { 10.0f, 0.0f, -5.0f, std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity() })
    {
        f->setStep (300);
        f->setValue (bad);
        EXPECT_EQ (f->step, 0) << bad;
    }
    EXPECT_EQ (f->getValue(), 20.0f);
}

TEST (Param, LinearScaleSteps)
{
    auto g = eqGain();
    g->setValue (0.24f);
    EXPECT_EQ (g->step, 30);
    EXPECT_EQ (g->getValue(), 0.0f);
    g->setValue (0.26f);
    EXPECT_EQ (g->step, 31);
    EXPECT_EQ (g->getValue(), 0.5f);
    g->setValue (-100.0f);
    EXPECT_EQ (g->step, 0);
    g->setValue (100.0f);
    EXPECT_EQ (g->step, 60);
    EXPECT_EQ (g->getValue(), 15.0f);
    g->setValue (std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ (g->step, 0);

    ParamPtr ratio (Cparam::makeLinear ("ratio", NodeKind::deq, 2.0f, 100.0f, 196, "%3.1f"));
    ratio->setValue (2.25f);   // 0.25 x 196 / 98 + 0.5 is exactly 1
    EXPECT_EQ (ratio->step, 1);
    EXPECT_EQ (ratio->getValue(), 2.5f);

    ParamPtr delay (Cparam::makeLinear ("del", NodeKind::delay, 0.0f, 300.0f, 30000, "%6.2f"));
    delay->setValue (12.345f);
    EXPECT_EQ (delay->step, 1235);
    EXPECT_EQ (text (*delay), " 12.35");
    delay->setValue (0.0f);
    EXPECT_EQ (text (*delay), "  0.00");
    delay->setValue (300.0f);
    EXPECT_EQ (text (*delay), "300.00");

    ParamPtr threshold (Cparam::makeLinear ("thres", NodeKind::limiter, 0.1f, 165.0f, 16490, "%4.1f"));
    threshold->setValue (165.0f);
    EXPECT_EQ (threshold->step, 16490);
    threshold->setValue (0.05f);
    EXPECT_EQ (threshold->step, 0);
    EXPECT_EQ (threshold->getValue(), 0.1f);
}

TEST (Param, IntAndEnumSteps)
{
    ParamPtr pol (Cparam::makeInt ("pol", NodeKind::delay, 0, 180, "%d"));
    pol->setValue (90.9f);
    EXPECT_EQ (pol->step, 90);
    pol->setValue (-3.0f);
    EXPECT_EQ (pol->step, 0);
    pol->setStep (270);
    EXPECT_EQ (pol->step, 180);
    pol->stepBy (1);
    EXPECT_EQ (pol->step, 180);
    pol->setStep (std::numeric_limits<int>::min());
    EXPECT_EQ (pol->step, 0);

    ParamPtr scan (Cparam::makeInt ("scan", NodeKind::io, 5, 30, "%d"));
    EXPECT_EQ (scan->step, 5);   // starts at its lowest step
    scan->setStep (0);
    EXPECT_EQ (scan->step, 5);

    ParamPtr type (Cparam::makeEnum ("type", NodeKind::peq, peqLabels, 6));
    EXPECT_EQ (type->maxStep, 5);
    EXPECT_STREQ (type->label(), "OFF");
    type->setValue (4.7f);
    EXPECT_EQ (type->step, 4);
    EXPECT_EQ (type->getValue(), 4.0f);
    EXPECT_STREQ (type->label(), "HS6");
}

TEST (Param, StepByWholeSteps)
{
    auto f = frequency();
    f->setStep (2);
    f->stepBy (-3);
    EXPECT_EQ (f->step, 0);
    f->stepBy (5);
    EXPECT_EQ (f->step, 5000);
    f->setValue (1000.0f);   // a step between whole steps moves by whole steps
    f->stepBy (1);
    EXPECT_EQ (f->step, 340794);
    f->stepBy (std::numeric_limits<int>::max());
    EXPECT_EQ (f->step, 600000);
    f->setStep (std::numeric_limits<int>::max());
    EXPECT_EQ (f->step, 600000);
}

TEST (Param, EnumText)
{
    ParamPtr type (Cparam::makeEnum ("type", NodeKind::peq, peqLabels, 6));
    EXPECT_EQ (type->fromText ("LS12 40.0"), 4);
    EXPECT_EQ (type->step, 3);
    EXPECT_EQ (text (*type), "LS12");
    EXPECT_EQ (type->fromText ("XYZ"), 0);
    EXPECT_EQ (type->step, 3);
    EXPECT_EQ (type->fromText ("HS12"), 4);   // not taken for "HS6"
    EXPECT_EQ (type->step, 5);
    EXPECT_EQ (type->fromText (""), 0);
    EXPECT_EQ (type->fromText (nullptr), 0);
    EXPECT_EQ (type->step, 5);
}

TEST (Param, NumberText)
{
    auto f = frequency();
    EXPECT_EQ (text (*f), "20.0");
    EXPECT_EQ (f->fromText ("1k"), 2);
    EXPECT_EQ (f->step, 339794);
    EXPECT_EQ (text (*f), "1k00");
    EXPECT_EQ (f->fromText ("10k00 rest"), 5);
    EXPECT_EQ (text (*f), "10k00");

    // Unreadable text keeps the value (it must not fall back to the bottom of the range).
    EXPECT_EQ (f->fromText ("abc"), 0);
    EXPECT_EQ (text (*f), "10k00");

    auto q = quality();
    EXPECT_EQ (text (*q), "0.10");
    q->setValue (10.0f);
    EXPECT_EQ (text (*q), "10.0");

    ParamPtr pol (Cparam::makeInt ("pol", NodeKind::delay, 0, 180, "%d"));
    EXPECT_EQ (pol->fromText ("180 x"), 3);
    EXPECT_EQ (pol->step, 180);
    EXPECT_EQ (text (*pol), "180");
    EXPECT_EQ (pol->fromText ("-"), 1);
    EXPECT_EQ (pol->step, 0);
}

TEST (Param, FrequencyTextReadsBackUnchanged)
{
    // The step nearest to 11900 Hz shows as "11k89"; reading "11k90" keeps showing "11k90".
    auto f = frequency();
    f->setValue (11900.0f);
    EXPECT_EQ (text (*f), "11k89");
    EXPECT_EQ (f->fromText ("11k90"), 5);
    EXPECT_EQ (text (*f), "11k90");
    EXPECT_NEAR (f->getValue(), 11900.0f, 0.2f);

    // Below a thousand nothing needs moving: the text keeps its rounding.
    EXPECT_EQ (f->fromText ("1k"), 2);
    EXPECT_EQ (f->step, 339794);

    // And the top stays the top.
    EXPECT_EQ (f->fromText ("20k00"), 5);
    EXPECT_EQ (f->step, 600000);
}

TEST (Param, IntegerTextIsClampedAndFailureKeepsTheValue)
{
    ParamPtr pol (Cparam::makeInt ("pol", NodeKind::delay, 0, 180, "%d"));
    EXPECT_EQ (pol->fromText ("270"), 3);
    EXPECT_EQ (pol->step, 180);
    EXPECT_EQ (pol->fromText ("-90"), 3);
    EXPECT_EQ (pol->step, 0);

    ParamPtr scan (Cparam::makeInt ("scan", NodeKind::io, 5, 30, "%d"));
    scan->setStep (12);
    EXPECT_EQ (scan->fromText ("x"), 0);
    EXPECT_EQ (scan->step, 12);
}

TEST (Param, TextNeverPassesCapacity)
{
    auto f = frequency();
    f->setValue (12345.0f);
    char buffer[8] = { 'Z', 'Z', 'Z', 'Z', 'Z', 'Z', 'Z', 'Z' };
    EXPECT_EQ (f->toText (buffer, 3), 2);
    EXPECT_STREQ (buffer, "12");
    EXPECT_EQ (buffer[3], 'Z');

    ParamPtr type (Cparam::makeEnum ("type", NodeKind::peq, peqLabels, 6));
    type->setStep (5);
    EXPECT_EQ (type->toText (buffer, 2), 1);
    EXPECT_STREQ (buffer, "H");
    EXPECT_EQ (type->toText (buffer, 0), 0);
}
