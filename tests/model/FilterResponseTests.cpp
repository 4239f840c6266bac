// The display filters against the figures the amplifier's own display shows: the response
// at chosen frequencies for each band type, and the Dynamic EQ band's level gains.

#include "FilterResponse.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstring>

namespace
{
    // Every test starts from the tables as the program starts with them.
    class FilterResponseTest : public ::testing::Test
    {
    protected:
        ScopedGlobal<PeqFilterTable> peqTable { globals::peqFilterTable, flatPeqFilterTable() };
        ScopedGlobal<DeqFilterTable> deqTable { globals::deqFilterTable, DeqFilterTable {} };
        ScopedGlobal<DeqLevelGainTable> levelGains { globals::deqLevelGain, DeqLevelGainTable {} };
        ScopedGlobal<int> peqChannel { globals::peqVisibleChannel, 0 };
        ScopedGlobal<int> deqChannel { globals::deqVisibleChannel, 0 };
        ScopedGlobal<std::int32_t> selected { globals::selectedHandle, 0 };
    };

    enum PeqType
    {
        off,
        peq,
        ls6,
        ls12,
        hs6,
        hs12
    };
}

TEST_F (FilterResponseTest, EachChannelsResponseCanBeReadWhicheverIsShown)
{
    computePeqFilter (1, 0, peq, 1000.0f, 6.0f, 1.41f);
    globals::peqVisibleChannel = 0;
    EXPECT_NEAR (peqChannelResponse (1, 1000.0f), 12.00f, 0.005f);
    EXPECT_NEAR (peqChannelResponse (0, 1000.0f), 0.0f, 0.005f);
    EXPECT_EQ (peqResponse (0, 1000.0f), peqChannelResponse (0, 1000.0f));
    globals::peqVisibleChannel = 1;
    EXPECT_EQ (peqResponse (0, 1000.0f), peqChannelResponse (1, 1000.0f));
}

TEST_F (FilterResponseTest, PeqBandTypesGiveTheAmplifiersFigures)
{
    // Twice the level in dB: +6 dB reads 12 at the centre.
    computePeqFilter (0, 3, peq, 1000.0f, 6.0f, 1.41f);
    EXPECT_NEAR (peqResponse (0, 1000.0f), 12.00f, 0.005f);
    EXPECT_NEAR (peqResponse (0, 100.0f), 0.07f, 0.005f);
    EXPECT_NEAR (peqResponse (0, 10000.0f), 0.06f, 0.005f);
    EXPECT_EQ (globals::selectedHandle, 0) << "the page selects the handle, not the model";
    EXPECT_EQ (globals::peqFilterTable[0][3].freq, 1000.0f);

    computePeqFilter (0, 3, ls6, 100.0f, -12.0f, 1.0f);
    EXPECT_NEAR (peqResponse (0, 20.0f), -23.7f, 0.05f);
    EXPECT_NEAR (peqResponse (0, 100.0f), -18.5f, 0.05f);
    EXPECT_NEAR (peqResponse (0, 1000.0f), -1.2f, 0.05f);

    computePeqFilter (0, 3, hs12, 5000.0f, 9.0f, 1.0f);
    EXPECT_NEAR (peqResponse (0, 20.0f), 0.0f, 0.05f);
    EXPECT_NEAR (peqResponse (0, 5000.0f), 13.0f, 0.05f);
    EXPECT_NEAR (peqResponse (0, 20000.0f), 18.0f, 0.05f);
}

TEST_F (FilterResponseTest, ShelvesAreMirrorImagesAndZeroGainIsFlatForEveryType)
{
    // A cut shelf takes the other branch of the formulas: it must still mirror the boost.
    for (int type : { ls6, ls12, hs6, hs12 })
    {
        computePeqFilter (0, 0, type, 500.0f, 9.0f, 1.0f);
        const float boost20 = peqResponse (0, 20.0f), boost20k = peqResponse (0, 20000.0f);
        computePeqFilter (0, 0, type, 500.0f, -9.0f, 1.0f);
        EXPECT_NEAR (peqResponse (0, 20.0f), -boost20, 0.01f) << type;
        EXPECT_NEAR (peqResponse (0, 20000.0f), -boost20k, 0.01f) << type;
        const bool low = type == ls6 || type == ls12;
        EXPECT_NEAR (low ? boost20 : boost20k, 18.0f, 0.3f) << type;   // the full gain on its side
    }

    for (int type = off; type <= hs12; ++type)
    {
        computePeqFilter (1, 7, type, 2000.0f, 0.0f, 0.15f);
        globals::peqVisibleChannel = 1;
        for (float f : { 20.0f, 200.0f, 2000.0f, 20000.0f })
            EXPECT_NEAR (peqResponse (0, f), 0.0f, 0.001f) << "type " << type << " at " << f;
    }
}

TEST_F (FilterResponseTest, BandsMultiplyAndEachChannelKeepsItsOwn)
{
    computePeqFilter (0, 0, peq, 1000.0f, 6.0f, 1.41f);
    computePeqFilter (0, 5, peq, 1000.0f, 6.0f, 1.41f);
    EXPECT_NEAR (peqResponse (0, 1000.0f), 24.0f, 0.01f);

    globals::peqVisibleChannel = 1;
    EXPECT_EQ (peqResponse (0, 1000.0f), 0.0f);   // channel B still flat

    // Out-of-range indices (a corrupt call) change nothing and do not write past the table.
    const auto before = globals::peqFilterTable;
    computePeqFilter (2, 0, peq, 1000.0f, 6.0f, 1.0f);
    computePeqFilter (0, 8, peq, 1000.0f, 6.0f, 1.0f);
    computePeqFilter (-1, -1, peq, 1000.0f, 6.0f, 1.0f);
    EXPECT_EQ (std::memcmp (&before, &globals::peqFilterTable, sizeof before), 0);
}

TEST_F (FilterResponseTest, DeqLevelGainsFollowTheKneeForCutAndBoost)
{
    const float cut[] = { 0.780372f, 0.727455f, 0.661789f, 0.580301f, 0.506009f, 0.501187f };
    const float boost[] = { 1.995263f, 1.995263f, 1.963552f, 1.559677f, 1.272545f, 1.132720f };
    const auto cutGains = FilterResponse::deqLevelGains (-6.0f, -20.0f, 4.0f);
    const auto boostGains = FilterResponse::deqLevelGains (6.0f, -20.0f, 4.0f);
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_NEAR (cutGains[(size_t) i], cut[i], 1.5e-6f) << i;
        EXPECT_NEAR (boostGains[(size_t) i], boost[i], 1.5e-6f) << i;
    }

    // No make-up gain: the band does nothing at any level.
    for (float gain : FilterResponse::deqLevelGains (0.0f, -30.0f, 10.0f))
        EXPECT_FLOAT_EQ (gain, 1.0f);
}

TEST_F (FilterResponseTest, DeqBandPassCurvesAtTheCentreAndAway)
{
    const float cut[] = { -52.15f, -42.76f, -33.59f, -24.73f, -15.92f, -6.00f };
    const float boost[] = { -44.00f, -34.00f, -24.14f, -16.14f, -7.91f, 1.08f };

    computeDeqFilter (1, 1, 1, 1000.0f, 1.0f, -6.0f, -20.0f, 4.0f);
    EXPECT_EQ (globals::deqVisibleChannel, 0) << "the page shows a channel, not the model";
    globals::deqVisibleChannel = 1;
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_NEAR (deqResponseBand2 (i, 1000.0f), cut[i], 0.005f) << i;
        // Far from the band the curve lies at its input level.
        EXPECT_NEAR (deqResponseBand2 (i, 20.0f), FilterResponse::deqLevelDb[i], 0.05f) << i;
    }

    computeDeqFilter (1, 0, 1, 1000.0f, 1.0f, 6.0f, -20.0f, 4.0f);
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR (deqResponseBand1 (i, 1000.0f), boost[i], 0.005f) << i;

    // A level index out of range reads as the top level rather than past the table.
    EXPECT_EQ (deqResponseBand1 (6, 1000.0f), deqResponseBand1 (5, 1000.0f));
    EXPECT_EQ (deqResponseBand1 (-1, 1000.0f), deqResponseBand1 (5, 1000.0f));
}

TEST_F (FilterResponseTest, DeqFilterOffIsFlatButStillStoresItsLevelGains)
{
    for (int i = 0; i < 6; ++i)   // before any band was computed, too
        EXPECT_NEAR (deqResponseBand1 (i, 1000.0f), FilterResponse::deqLevelDb[i], 0.001f);

    computeDeqFilter (0, 0, 0, 1000.0f, 1.0f, -6.0f, -20.0f, 4.0f);
    EXPECT_NEAR (globals::deqLevelGain[0][0][0], 0.780372f, 1.5e-6f);
    EXPECT_EQ (globals::deqFilterTable[0][0].freq, 1000.0f);
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR (deqResponseBand1 (i, 1000.0f), FilterResponse::deqLevelDb[i], 0.001f);
}

TEST_F (FilterResponseTest, DeqPassFiltersPassTheirSideAndStopTheOther)
{
    struct Case
    {
        int type;
        float passAt, stopAt, minStop;
    };
    // 6 dB and 12 dB per octave: five octaves from the corner to either end, 30 and 60 dB.
    for (auto c : { Case { 2, 20.0f, 20000.0f, 25.0f }, Case { 3, 20.0f, 20000.0f, 55.0f },
                    Case { 4, 20000.0f, 20.0f, 25.0f }, Case { 5, 20000.0f, 20.0f, 55.0f } })
    {
        const auto filter = FilterResponse::deqSection (c.type, 632.0f, 1.0f, 0.0f);
        EXPECT_NEAR (FilterResponse::biquadPowerGain (filter, c.passAt), 1.0f, 0.01f) << c.type;
        EXPECT_NEAR (FilterResponse::biquadPowerGain (filter, 632.0f), 0.5f, 0.01f) << c.type;   // -3 dB
        EXPECT_LT (10.0f * std::log10 (FilterResponse::biquadPowerGain (filter, c.stopAt)), -c.minStop) << c.type;
    }
    EXPECT_EQ (FilterResponse::biquadPowerGain (FilterResponse::deqSection (0, 632.0f, 1.0f, 0.0f), 632.0f), 0.0f);
}
