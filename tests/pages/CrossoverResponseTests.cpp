// The crossover's type table (families and slopes) and its display sections at 96 kHz,
// checked against the analogue prototypes they are made from.

#include "CrossoverResponse.h"
#include "CrossoverTypes.h"

#include <gtest/gtest.h>
#include <cmath>
#include <complex>
#include <vector>

using namespace CrossoverTypes;

namespace
{
    constexpr double fs = 96000.0;

    // |H|^2 of one prototype section at x = (evaluation frequency) / (section corner), both
    // pre-warped: first order 1 / (1 + x^2), second order 1 / ((1 - x^2)^2 + d^2 x^2); a
    // high-pass multiplies by x^2 per order.
    struct Prototype
    {
        int order;
        double damping;
        double cornerFactor;   // the section's corner is tan (cornerFactor * f / fs)
    };

    double prototypePower (const std::vector<Prototype>& sections, double corner, double f, bool highPass)
    {
        double power = 1.0;
        for (const auto& s : sections)
        {
            const double x = std::tan (M_PI * f / fs) / std::tan (s.cornerFactor * corner / fs);
            const double x2 = x * x;
            double p = s.order == 1 ? 1.0 / (1.0 + x2) : 1.0 / ((1.0 - x2) * (1.0 - x2) + s.damping * s.damping * x2);
            if (highPass)
                p *= s.order == 1 ? x2 : x2 * x2;
            power *= p;
        }
        return power;
    }

    std::vector<Prototype> prototypeOf (int code, bool highPass)
    {
        const double pi = M_PI;
        const auto bw = [] (int n, int i) { return 2.0 * std::cos ((2 * i + 1) * M_PI / (2.0 * n)); };
        switch (code)
        {
            case 1: return { { 1, 0, pi } };
            case 2: return { { 2, std::sqrt (2.0), pi } };
            case 3: return { { 2, std::sqrt (3.0), pi } };
            case 4: return { { 1, 0, pi }, { 1, 0, pi } };
            case 5: return { { 1, 0, pi }, { 2, 1.0, pi } };
            case 6: return { { 2, bw (4, 0), pi }, { 2, bw (4, 1), pi } };
            case 7:
                return { { 2, highPass ? 1.2414059 : 1.9159489, pi * 1.0588 },
                         { 2, highPass ? 1.9159489 : 1.2414059, pi * 0.9444 } };
            case 8: return { { 2, std::sqrt (2.0), pi }, { 2, std::sqrt (2.0), pi } };
            case 9: return { { 2, bw (8, 0), pi }, { 2, bw (8, 1), pi }, { 2, bw (8, 2), pi }, { 2, bw (8, 3), pi } };
            case 10: return { { 2, bw (4, 0), pi }, { 2, bw (4, 1), pi }, { 2, bw (4, 0), pi }, { 2, bw (4, 1), pi } };
            default: return {};
        }
    }

    // |H(e^jw)|^2 of four sections of a channel, straight from the transfer function.
    double sectionsPower (const CrossoverResponse& model, int channel, int firstSlot, double f)
    {
        const std::complex<double> z1 = std::polar (1.0, -2.0 * M_PI * f / fs);
        double power = 1.0;
        for (int slot = firstSlot; slot < firstSlot + CrossoverResponse::sectionsPerFilter; ++slot)
        {
            const auto& s = model.section (channel, slot);
            const auto h = ((double) s.b0 + (double) s.b1 * z1 + (double) s.b2 * z1 * z1)
                           / (1.0 + (double) s.a1 * z1 + (double) s.a2 * z1 * z1);
            power *= std::norm (h);
        }
        return power;
    }

    double db (double power)
    {
        return 10.0 * std::log10 (power);
    }
}

TEST (CrossoverTypes, EachFamilyOffersItsOwnSlopesAndStartsAtTheFirst)
{
    const auto besselSlopes = slopesOf (bessel);
    ASSERT_EQ (besselSlopes.count, 2);
    EXPECT_EQ (besselSlopes.slopes[0], slope12);
    EXPECT_EQ (besselSlopes.slopes[1], slope24);
    EXPECT_EQ (defaultSlope (bessel), slope12);

    const auto lr = slopesOf (linkwitzRiley);
    ASSERT_EQ (lr.count, 3);
    EXPECT_EQ (lr.slopes[2], slope48);
    EXPECT_EQ (defaultSlope (linkwitzRiley), slope12);

    EXPECT_EQ (slopesOf (butterworth).count, 5);
    EXPECT_EQ (defaultSlope (butterworth), slope6);
    EXPECT_EQ (slopesOf (off).count, 0);

    // Combinations that do not exist, and nonsense, give no code at all.
    EXPECT_EQ (typeCode (bessel, slope18), -1);
    EXPECT_EQ (typeCode (linkwitzRiley, slope6), -1);
    EXPECT_EQ (typeCode (familyCount, slope12), -1);
    EXPECT_EQ (typeCode (butterworth, -1), -1);
    EXPECT_EQ (typeCode (off, slope48), 0);
}

TEST (CrossoverTypes, EveryCodeMapsBackToTheFamilyAndSlopeThatMakeIt)
{
    const char* const labels[] = { "OFF",   "BUT6",  "BUT12", "BES12", "LR12", "BUT18",
                                   "BUT24", "BES24", "LR24",  "BUT48", "LR48" };
    const char* const familyPrefix[] = { "OFF", "BUT", "BES", "LR" };
    const int slopeDb[] = { 6, 12, 18, 24, 48 };
    for (int code = 1; code <= 10; ++code)
    {
        const auto family = familyOf (code);
        const auto slope = slopeOf (code);
        EXPECT_EQ (typeCode (family, slope), code);
        EXPECT_EQ (std::string (familyPrefix[family]) + std::to_string (slopeDb[slope]), labels[code]);
    }
    EXPECT_EQ (familyOf (0), off);
    EXPECT_EQ (familyOf (11), off);
    EXPECT_EQ (familyOf (-3), off);
}

TEST (CrossoverResponse, EveryTypeMatchesItsPrototypeAtTheCornerAndAroundIt)
{
    for (int code = 1; code <= 10; ++code)
        for (bool highPass : { true, false })
            for (double corner : { 40.0, 632.46, 12000.0 })
            {
                CrossoverResponse model;
                const int filter = highPass ? 2 : 3;   // channel B this time
                model.computeFilter (filter, code, (float) corner);
                EXPECT_FLOAT_EQ (model.frequency (filter), (float) corner);
                for (double ratio : { 0.25, 1.0, 4.0 })
                {
                    const double f = corner * ratio;
                    if (f >= fs / 2)
                        continue;
                    const double expected = db (prototypePower (prototypeOf (code, highPass), corner, f, highPass));
                    const double got = db (sectionsPower (model, 1, highPass ? 0 : 4, f));
                    // Single-precision coefficients blur the response close to 0 Hz a little.
                    const double tolerance = (f < 50.0 ? 0.1 : 0.01) + 1e-4 * std::abs (expected);
                    EXPECT_NEAR (got, expected, tolerance)
                        << "code " << code << (highPass ? " HP " : " LP ") << corner << " Hz at " << f;
                }
            }
}

TEST (CrossoverResponse, CornerLevelsOfTheFamilies)
{
    // What a user reads off the graph at the corner: Butterworth -3 dB, Linkwitz-Riley
    // -6 dB, the 12 dB Bessel -4.8 dB, at any corner.
    const struct
    {
        int code;
        double cornerDb;
    } cases[] = { { 1, -3.01 }, { 2, -3.01 }, { 5, -3.01 },  { 6, -3.01 }, { 9, -3.01 },
                  { 4, -6.02 }, { 8, -6.02 }, { 10, -6.02 }, { 3, -4.77 } };
    for (const auto& c : cases)
        for (int filter = 0; filter < 2; ++filter)
        {
            CrossoverResponse model;
            model.computeFilter (filter, c.code, 1000.0f);
            EXPECT_NEAR (db (sectionsPower (model, 0, filter == 0 ? 0 : 4, 1000.0)), c.cornerDb, 0.01)
                << "code " << c.code << " filter " << filter;
        }
}

TEST (CrossoverResponse, UnusedSlotsPassEverythingAndAnUncomputedFilterNothing)
{
    CrossoverResponse model;
    for (int slot = 0; slot < CrossoverResponse::sectionsPerChannel; ++slot)
        EXPECT_EQ (model.section (0, slot).b0, 0.0f);

    model.computeFilter (1, 2, 1000.0f);   // BUT12: one section, three pass-through
    for (int slot = 5; slot < 8; ++slot)
    {
        const auto& s = model.section (0, slot);
        EXPECT_EQ (s.b0, 1.0f);
        EXPECT_EQ (s.b1 + s.b2 + s.a1 + s.a2, 0.0f);
    }
    model.computeFilter (0, 0, 1000.0f);   // OFF: four pass-through
    EXPECT_NEAR (sectionsPower (model, 0, 0, 77.0), 1.0, 1e-12);

    // A type code the table lacks is "OFF"; a filter outside 0..3 changes nothing.
    model.computeFilter (0, 42, 500.0f);
    EXPECT_NEAR (sectionsPower (model, 0, 0, 77.0), 1.0, 1e-12);
    model.computeFilter (4, 2, 500.0f);
    model.computeFilter (-1, 2, 500.0f);
    EXPECT_EQ (model.frequency (4), 0.0f);
    EXPECT_EQ (model.section (1, 0).b0, 0.0f);
}

TEST (CrossoverResponse, CurveValuesAreTwiceTheLevelOfBothFiltersPlusTheGain)
{
    // The curve at a channel's corner, against the prototypes: one filter set, the other
    // OFF, in the graph's doubled units (LR24 at -12 for -6 dB, Butterworth at -6 for -3 dB).
    for (int code = 1; code <= 10; ++code)
        for (int filter : { 2, 3 })
        {
            CrossoverResponse model;
            model.computeFilter (filter, code, 2500.0f);
            model.computeFilter (filter == 2 ? 3 : 2, 0, 100.0f);
            model.setGain (1, -1.5f);
            const bool highPass = filter == 2;
            for (double f : { 2500.0, 625.0, 10000.0 })
            {
                const double expected = 2.0 * db (prototypePower (prototypeOf (code, highPass), 2500.0, f, highPass))
                                        + 2.0 * -1.5;
                EXPECT_NEAR (model.value (1, (float) f), expected, 0.02 + 2e-4 * std::abs (expected))
                    << "code " << code << " filter " << filter << " at " << f;
            }
        }

    CrossoverResponse lr24;
    lr24.computeFilter (0, 8, 1000.0f);
    lr24.computeFilter (1, 8, 1000.0f);   // LR24 high-pass and low-pass at one corner: -6 dB each
    EXPECT_NEAR (lr24.value (0, 1000.0f), -24.08f, 0.02f);
    EXPECT_EQ (lr24.value (1, 1000.0f), CrossoverResponse::floorValue);
}
