#include "NumberText.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace
{
    std::string fmt (const char* format, double value)
    {
        char buffer[64];
        const int n = formatText (buffer, sizeof (buffer), format, value);
        EXPECT_EQ (n, (int) std::strlen (buffer));
        return buffer;
    }

    std::string fmtInt (const char* format, int value)
    {
        char buffer[64];
        formatText (buffer, sizeof (buffer), format, value);
        return buffer;
    }

    struct Sample
    {
        double value;
        const char* text;
    };

    void expectSamples (const char* format, std::initializer_list<Sample> samples)
    {
        for (const auto& s : samples)
            EXPECT_EQ (fmt (format, s.value), s.text) << format << " of " << s.value;
    }

    struct FloatRead
    {
        const char* text;
        float value;
        int consumed;
    };
}

TEST (NumberText, ParameterFormatTables)
{
    expectSamples ("%k1f", { { 20, "20.0" },
                             { 99.96, "100.0" },
                             { 999.94, "999.9" },
                             { 999.96, "1k00" },
                             { 1234.5, "1k23" },
                             { 2000, "2k00" },
                             { 10000, "10k00" },
                             { 19999, "19k99" },
                             { 20000, "20k00" } });
    expectSamples ("%+5.1f",
                   { { 0, " +0.0" }, { 3.5, " +3.5" }, { -3.5, " -3.5" }, { 15, "+15.0" }, { -15, "-15.0" } });
    expectSamples (
        "%5.1f",
        { { 0, "  0.0" }, { -30, "-30.0" }, { 50, " 50.0" }, { 100, "100.0" }, { 1000, " 1000" }, { 4000, " 4000" } });
    expectSamples ("%6.2f", { { 0, "  0.00" }, { 12.35, " 12.35" }, { 300, "300.00" } });
    expectSamples ("%4.1f", { { 0.1, " 0.1" }, { 50, "50.0" }, { 100, " 100" }, { 165, " 165" } });
    expectSamples ("%3.1f", { { 2, "2.0" }, { 5, "5.0" }, { 10, " 10" }, { 12.5, " 12" }, { 100, "100" } });
    expectSamples ("%4.2f", { { 0.1, "0.10" }, { 1, "1.00" }, { 9.99, "9.99" }, { 10, "10.0" } });

    EXPECT_EQ (fmtInt ("%d", 0), "0");
    EXPECT_EQ (fmtInt ("%d", 180), "180");
    EXPECT_EQ (fmtInt ("%d", -5), "-5");
}

TEST (NumberText, FixedPointEdges)
{
    EXPECT_EQ (fmt ("%3.1f", 1000), "1000");      // integer digits are never cut
    EXPECT_EQ (fmt ("%+5.1f", -0.04), " -0.0");   // the sign follows the input
    EXPECT_EQ (fmt ("%05.1f", -3.2), "-03.2");
    EXPECT_EQ (fmt ("%f", 2.7), "3");
    EXPECT_EQ (fmt ("%.3f", 1.2344), "1.234");
    EXPECT_EQ (fmt ("%.5f", 0.5), "0.50000");   // no rounding constant from four decimals up
    EXPECT_EQ (fmt ("%+k1f", 1500), "+1k50");
    EXPECT_EQ (fmt ("%6k1f", 999.0), " 999.0");
    EXPECT_EQ (fmt ("value=%5.1f dB", -6.5), "value= -6.5 dB");
}

TEST (NumberText, NonFiniteAndHugeValuesStayBounded)
{
    char buffer[16];
    for (double v : { 1.0 / 0.0, -1.0 / 0.0, 0.0 / 0.0, 3.0e38, -3.0e38, 1.0e300 })
    {
        std::memset (buffer, 'Z', sizeof (buffer));
        const int n = formatText (buffer, 8, "%k1f", v);
        EXPECT_LE (n, 7);
        EXPECT_EQ (buffer[n], '\0');
        EXPECT_EQ (buffer[8], 'Z');   // nothing beyond the capacity
    }
    EXPECT_EQ (fmt ("%f", 3.0e38).size(), 39u);   // 39 integer digits, no hang
}

TEST (NumberText, IntegerConversions)
{
    EXPECT_EQ (fmtInt ("%5d", 42), "   42");
    EXPECT_EQ (fmtInt ("%05d", -42), "-0042");
    EXPECT_EQ (fmtInt ("%+d", 7), "+7");
    EXPECT_EQ (fmtInt ("%4x", 255), "  ff");
    EXPECT_EQ (fmtInt ("%1d", 12345), "12345");   // digits above the field are never cut
    EXPECT_EQ (fmtInt ("%d", INT32_MIN), "-2147483648");
    EXPECT_EQ (fmtInt ("%x", -1), "ffffffff");
    EXPECT_EQ (fmtInt ("%c", 'Q'), "Q");
}

TEST (NumberText, TextAndSpecialConversions)
{
    char buffer[32];
    formatText (buffer, sizeof (buffer), "%3s", "abcdef");
    EXPECT_STREQ (buffer, "abc");
    formatText (buffer, sizeof (buffer), "%5s|", "ab");
    EXPECT_STREQ (buffer, "ab   |");
    formatText (buffer, sizeof (buffer), "%s", "whole text");
    EXPECT_STREQ (buffer, "whole text");
    formatText (buffer, sizeof (buffer), "%4n-");
    EXPECT_STREQ (buffer, "----");
    formatText (buffer, sizeof (buffer), "a%n-b");
    EXPECT_STREQ (buffer, "a-b");   // no width: nothing, the next character is copied
    formatText (buffer, sizeof (buffer), "a%3n");
    EXPECT_STREQ (buffer, "a");   // the format ends after "n": output ends
    formatText (buffer, sizeof (buffer), "%q");
    EXPECT_STREQ (buffer, "?");
    formatText (buffer, sizeof (buffer), "50%%");
    EXPECT_STREQ (buffer, "50%");
    EXPECT_EQ (formatText (buffer, sizeof (buffer), "ab%"), 3);
    EXPECT_STREQ (buffer, "ab?");
    EXPECT_EQ (formatText (buffer, sizeof (buffer), "x%+5"), 2);
    EXPECT_STREQ (buffer, "x?");
}

TEST (NumberText, NeverWritesPastCapacity)
{
    char buffer[12];
    std::memset (buffer, 'Z', sizeof (buffer));
    EXPECT_EQ (formatText (buffer, 4, "%5.1f", 123.4), 3);
    EXPECT_STREQ (buffer, "123");
    EXPECT_EQ (buffer[4], 'Z');

    std::memset (buffer, 'Z', sizeof (buffer));
    EXPECT_EQ (formatText (buffer, 5, "%999999999999n="), 4);   // absurd width: bounded, no hang
    EXPECT_STREQ (buffer, "====");
    EXPECT_EQ (buffer[5], 'Z');

    EXPECT_EQ (formatText (buffer, 6, "%.999999999f", 1.0), 5);
    EXPECT_STREQ (buffer, "1.000");

    buffer[0] = 'Z';
    EXPECT_EQ (formatText (buffer, 0, "%d", 5), 0);
    EXPECT_EQ (buffer[0], 'Z');
    EXPECT_EQ (formatText (buffer, 1, "%d", 5), 0);
    EXPECT_EQ (buffer[0], '\0');
}

TEST (NumberText, ParseInt)
{
    int v = 99;
    EXPECT_EQ (parseIntText ("180", v), 3);
    EXPECT_EQ (v, 180);
    EXPECT_EQ (parseIntText ("-", v), 1);
    EXPECT_EQ (v, 0);
    v = 99;
    EXPECT_EQ (parseIntText ("x", v), 0);
    EXPECT_EQ (v, 0);
    EXPECT_EQ (parseIntText (" 5", v), 0);
    EXPECT_EQ (parseIntText ("", v), 0);
    EXPECT_EQ (parseIntText ("-42abc", v), 3);
    EXPECT_EQ (v, -42);
    EXPECT_EQ (parseIntText ("+7", v), 2);
    EXPECT_EQ (v, 7);
    EXPECT_EQ (parseIntText ("99999999999999999999", v), 20);   // saturates, no overflow
    EXPECT_EQ (v, INT32_MAX);
    EXPECT_EQ (parseIntText ("-2147483648", v), 11);
    EXPECT_EQ (v, INT32_MIN);
}

TEST (NumberText, ParseFloat)
{
    const FloatRead reads[] = {
        { "1k", 1000.0f, 2 },      { "2k00", 2000.0f, 4 },  { "1k5", 1500.0f, 3 },  { "1k05", 1050.0f, 4 },
        { "15k001", 15001.0f, 6 }, { "-1k5", -1500.0f, 4 }, { "30.01", 30.01f, 5 }, { "+3.0", 3.0f, 4 },
        { "3.1.4", 3.1f, 3 },      { "12kk", 12000.0f, 3 }, { "5k.3", 5000.0f, 2 }, { "40.0 +0.0", 40.0f, 4 },
        { "", 0.0f, 0 },           { "abc", 0.0f, 0 },      { "-", 0.0f, 1 },       { ".5", 0.5f, 2 },
    };
    for (const auto& r : reads)
    {
        float v = 123.0f;
        EXPECT_EQ (parseFloatText (r.text, v), r.consumed) << r.text;
        EXPECT_FLOAT_EQ (v, r.value) << r.text;
    }
}

TEST (NumberText, FrequencyTextReadsBack)
{
    // Every value the frequency parameters can show reads back within the shown decimals.
    for (float f = 20.0f; f <= 20000.0f; f *= 1.0117f)
    {
        char text[32];
        formatText (text, sizeof (text), "%k1f", (double) f);
        float back = 0.0f;
        ASSERT_EQ (parseFloatText (text, back), (int) std::strlen (text)) << text;
        const float tolerance = f >= 1000.0f ? 10.0f : 0.1f;
        EXPECT_NEAR (back, f, tolerance) << text;
    }
}
